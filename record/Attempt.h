// One programming attempt: what the station did to one unit, as the journal and the plant's
// record keep it. Plain values only, so every room (station, journal, push, reports) shares it.
#pragma once

#include <cstdint>
#include <string>

namespace record {

enum class Outcome { Started, Pass, Fail, Error, Interrupted };

// "started", "pass", "fail", "error", "interrupted": the words stored and printed.
const char* OutcomeWord(Outcome o);
// False for any other text.
bool OutcomeFromWord(const std::string& word, Outcome& out);

// A fresh attempt id: 128 bits from the system's entropy source, as 32 lower-case hex digits.
// Safe to call from any thread.
std::string NewAttemptId();

// The current time in UTC as `started` and `ended` hold it: 2026-12-08T13:30:47.123Z.
std::string UtcNow();

struct Attempt {
    std::string id;              // unique over every station and run (random 128-bit, hex)
    std::string recipeFile;      // the recipe's file name, no folder
    std::string recipeSha256;    // hex, of the recipe file's bytes
    std::string writtenSha256;   // hex, of the blocks written in the order written; "" if none
    std::string readBackSha256;  // hex, of the blocks read back; "" if none
    std::string identity;        // the unit's identity as the window's status shows it
    Outcome outcome = Outcome::Started;
    std::string cause;        // one line; "" on a pass
    std::string roundedJson;  // JSON array of {"id","name","recipe","unit"}; "[]" if none
    std::string label;        // scanned serial or order number
    std::string operatorName;
    std::string station;  // host name or --station
    std::string port;
    std::string started;  // UTC, ISO 8601 with milliseconds: 2026-12-08T13:30:47.123Z
    std::string ended;    // "" while started
};

}  // namespace record
