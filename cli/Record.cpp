// The record command: the station's journal listed and exported, and the plant's database
// (RecordPlant.cpp).
#include <filesystem>

#include "Commands.h"
#include "ExitStatus.h"
#include "Journal.h"
#include "Json.h"
#include "RecordTable.h"

namespace dt::cli {

int RunRecordPush(const Context& c);
int RunRecordServerInit(const Context& c);
int RunRecordReport(const Context& c);

namespace {

// Which options each action takes; the rest are refused rather than silently ignored.
struct RecordAction {
    const char* name;
    int (*run)(const Context&);
    bool list, to, report;  // --since/--outcome/--port; --to; --from/--by (and --since)
    bool output;            // --json, --csv
};

int RunRecordList(const Context& c);

const RecordAction kActions[] = {
    {"", RunRecordList, true, false, false, true},
    {"push", RunRecordPush, false, true, false, false},
    {"server-init", RunRecordServerInit, false, true, false, false},
    {"report", RunRecordReport, false, false, true, true},
};

// The first option the action does not take, or "".
std::string Misplaced(const RecordAction& a, const CliOptions& o) {
    const RecordOptions& r = o.record;
    const std::pair<bool, const char*> given[] = {
        {!r.outcome.empty() && !a.list, "--outcome"},
        {!r.port.empty() && !a.list, "--port"},
        {!r.since.empty() && !a.list && !a.report, "--since"},
        {!r.to.empty() && !a.to, "--to"},
        {!r.from.empty() && !a.report, "--from"},
        {!r.by.empty() && !a.report, "--by"},
        {o.json && !a.output, "--json"},
        {r.csv && !a.output, "--csv"},
    };
    for (const auto& [wrong, name] : given)
        if (wrong) return name;
    return std::string();
}

Json TextOrNull(const std::string& text) { return text.empty() ? Json() : Json(text); }

Json AttemptJson(const record::Attempt& a) {
    Json rounded = Json::parse(a.roundedJson, nullptr, false);
    if (rounded.is_discarded()) rounded = Json();
    return {{"attempt", a.id},
            {"started", a.started},
            {"ended", TextOrNull(a.ended)},
            {"outcome", record::OutcomeWord(a.outcome)},
            {"cause", TextOrNull(a.cause)},
            {"port", a.port},
            {"label", TextOrNull(a.label)},
            {"recipe", a.recipeFile},
            {"recipeSha256", a.recipeSha256},
            {"writtenSha256", TextOrNull(a.writtenSha256)},
            {"readBackSha256", TextOrNull(a.readBackSha256)},
            {"identity", TextOrNull(a.identity)},
            {"rounded", rounded},
            {"operator", TextOrNull(a.operatorName)},
            {"station", a.station}};
}

std::vector<std::string> CsvFields(const record::Attempt& a) {
    return {a.id,           a.started,       a.ended,          record::OutcomeWord(a.outcome),
            a.cause,        a.port,          a.label,          a.recipeFile,
            a.recipeSha256, a.writtenSha256, a.readBackSha256, a.identity,
            a.roundedJson,  a.operatorName,  a.station};
}

void PrintAttempts(const Context& c, const std::string& path, const std::vector<record::Attempt>& rows) {
    if (c.opt.json) {
        Json list = Json::array();
        for (const record::Attempt& a : rows) list.push_back(AttemptJson(a));
        Json document = Document();
        document["journal"] = path;
        document["attempts"] = std::move(list);
        PrintJson(c.out, document);
    } else if (c.opt.record.csv) {
        PrintCsvLine(c.out,
                     {"attempt", "started", "ended", "outcome", "cause", "port", "label", "recipe", "recipeSha256",
                      "writtenSha256", "readBackSha256", "identity", "rounded", "operator", "station"});
        for (const record::Attempt& a : rows) PrintCsvLine(c.out, CsvFields(a));
    } else {
        std::vector<std::vector<std::string>> table;
        auto dash = [](const std::string& s) { return s.empty() ? std::string("-") : s; };
        for (const record::Attempt& a : rows)
            table.push_back({a.started, record::OutcomeWord(a.outcome), dash(a.port), dash(a.label), dash(a.recipeFile),
                             dash(a.operatorName), dash(a.station), a.cause});
        PrintColumns(c.out, table);
    }
}

int RunRecordList(const Context& c) {
    const std::string path = record::Journal::DefaultPath();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        if (!c.opt.quiet) c.err << "drivetune-cli: no attempts recorded yet (" << path << ")\n";
        PrintAttempts(c, path, {});
        return kOk;
    }
    record::Journal journal;
    std::string error;
    if (!journal.OpenForReading(path, error)) {
        c.err << "drivetune-cli: " << error << "\n";
        return kUsage;
    }
    record::JournalFilter filter{c.opt.record.since, c.opt.record.outcome, c.opt.record.port, 0};
    const std::vector<record::Attempt> rows = journal.List(filter, error);
    if (!error.empty()) {
        c.err << "drivetune-cli: " << error << "\n";
        return kUsage;
    }
    PrintAttempts(c, path, rows);
    return kOk;
}

}  // namespace

int RunRecord(const Context& c) {
    const std::string word = c.opt.files.empty() ? std::string() : c.opt.files[0];
    for (const RecordAction& a : kActions) {
        if (word != a.name) continue;
        const std::string misplaced = Misplaced(a, c.opt);
        if (!misplaced.empty()) {
            c.err << "drivetune-cli: record" << (word.empty() ? "" : " ") << word << " does not take " << misplaced
                  << "\nTry 'drivetune-cli record --help' for more information.\n";
            return kUsage;
        }
        return a.run(c);
    }
    c.err << "drivetune-cli: record has no action \"" << word
          << "\" (push, server-init, report)\nTry 'drivetune-cli record --help' for more information.\n";
    return kUsage;
}

}  // namespace dt::cli
