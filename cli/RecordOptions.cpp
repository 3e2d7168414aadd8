#include "RecordOptions.h"

#include <CLI/CLI.hpp>

#include "Attempt.h"
#include "RecordTable.h"
#include "Report.h"

namespace dt::cli {

void AddRecordOptions(CLI::App& sub, RecordOptions& o) {
    CLI::Option* csv = sub.add_flag("--csv", o.csv, "print comma-separated values with a header line");
    if (CLI::Option* json = sub.get_option_no_throw("--json")) csv->excludes(json);
    sub.add_option("--since", o.since, "only attempts started on or after DATE (UTC: 2026-12-08 or 2026-12-08T13:30)")
        ->type_name("DATE")
        // A transform, so the normal form is what the command gets ("2026-12-08 13:30" compares as
        // "2026-12-08T13:30"); check() would change a copy.
        ->transform(CLI::Validator(
            [](std::string& text) {
                return NormalSince(text)
                           ? std::string()
                           : "not a UTC date or date and time such as 2026-12-08 or 2026-12-08T13:30: " + text;
            },
            ""));
    sub.add_option("--outcome", o.outcome, "only attempts that ended so: pass, fail, error, interrupted or started")
        ->type_name("O")
        ->check(CLI::Validator(
            [](std::string& text) {
                record::Outcome outcome;
                return record::OutcomeFromWord(text, outcome)
                           ? std::string()
                           : "not an outcome: " + text + " (pass, fail, error, interrupted, started)";
            },
            ""));
    sub.add_option("--port", o.port, "only attempts on port P, as the listing shows it")->type_name("P");
    sub.add_option("--to", o.to, "the plant database's libpq connection string (push, server-init)")
        ->type_name("CONNINFO");
    sub.add_option("--from", o.from, "report: a libpq connection string, or a journal file (.sqlite)")
        ->type_name("CONNINFO|FILE");
    sub.add_option("--by", o.by, "report: one group per day, recipe, station or operator")
        ->type_name("day|recipe|station|operator")
        ->check(CLI::Validator(
            [](std::string& text) {
                record::ReportBy by;
                return record::ReportByFromWord(text, by)
                           ? std::string()
                           : "not a grouping: " + text + " (day, recipe, station, operator)";
            },
            ""));
}

}  // namespace dt::cli
