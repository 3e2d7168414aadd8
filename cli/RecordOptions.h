#pragma once
// The options of the record command: the journal's listing, the push to the plant's database,
// its set-up and the reports.
#include <string>

namespace CLI {
class App;
}

namespace dt::cli {

struct RecordOptions {
    bool csv = false;
    std::string since;    // a date, or a date and time, in UTC
    std::string outcome;  // an outcome word
    std::string port;     // as the journal holds it
    std::string to;       // the plant database's connection string
    std::string from;     // a connection string or a journal file
    std::string by;       // day, recipe, station or operator
};

void AddRecordOptions(CLI::App& sub, RecordOptions& o);

}  // namespace dt::cli
