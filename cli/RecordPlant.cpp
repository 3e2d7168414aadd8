// record push, record server-init and record report: the plant's database.
#include <filesystem>

#include "Commands.h"
#include "ExitStatus.h"
#include "Journal.h"
#include "Json.h"
#include "PlantRecord.h"
#include "RecordTable.h"
#include "Report.h"
#include "Settings.h"

namespace dt::cli {

namespace {

int Refused(const Context& c, const std::string& error) {
    c.err << "drivetune-cli: " << error << "\n";
    return kRefused;
}

// --to, else the setting; "" with the reason printed when neither names a database.
std::string Destination(const Context& c) {
    if (!c.opt.record.to.empty()) return c.opt.record.to;
    const std::string settings = DefaultSettingsPath();
    const std::string configured = record::ConfiguredRecordServer(settings);
    if (configured.empty())
        c.err << "drivetune-cli: no plant database: give --to CONNINFO, or set RecordServer in " << settings << "\n";
    return configured;
}

// A journal file when it exists or is named so; a connection string otherwise.
bool IsJournalFile(const std::string& from) {
    std::error_code ec;
    const std::string ext = std::filesystem::path(from).extension().string();
    return std::filesystem::is_regular_file(from, ec) || ext == ".sqlite" || ext == ".db";
}

std::string Yield(const record::ReportGroup& g) {
    if (g.FirstPassYield() < 0) return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f %%", 100.0 * g.FirstPassYield());
    return text;
}

std::string CauseText(const std::string& cause) { return cause.empty() ? "(no cause given)" : cause; }

void PrintReportJson(const Context& c, const std::vector<record::ReportGroup>& groups) {
    Json list = Json::array();
    for (const record::ReportGroup& g : groups) {
        Json causes = Json::array();
        for (const auto& [cause, count] : g.causes) causes.push_back({{"cause", cause}, {"count", count}});
        list.push_back({{"group", g.key},
                        {"attempts", g.attempts},
                        {"passes", g.passes},
                        {"failures", g.failures},
                        {"interrupted", g.interrupted},
                        {"firstPassYield", g.FirstPassYield() < 0 ? Json() : Json(g.FirstPassYield())},
                        {"causes", std::move(causes)}});
    }
    Json document = Document();
    document["by"] = c.opt.record.by.empty() ? Json() : Json(c.opt.record.by);
    document["since"] = c.opt.record.since.empty() ? Json() : Json(c.opt.record.since);
    document["groups"] = std::move(list);
    PrintJson(c.out, document);
}

void PrintReport(const Context& c, const std::vector<record::ReportGroup>& groups) {
    if (c.opt.json) return PrintReportJson(c, groups);
    const bool csv = c.opt.record.csv;
    std::vector<std::vector<std::string>> table;
    table.push_back(
        {"group", "attempts", "passes", "failures", "interrupted", csv ? "firstPassYield" : "first-pass yield"});
    if (csv) table[0].push_back("causes");
    for (const record::ReportGroup& g : groups) {
        table.push_back({g.key, std::to_string(g.attempts), std::to_string(g.passes), std::to_string(g.failures),
                         std::to_string(g.interrupted), Yield(g)});
        std::string causes;
        for (const auto& [cause, count] : g.causes) {
            if (!csv) table.push_back({"  " + CauseText(cause), std::to_string(count)});
            else causes += (causes.empty() ? "" : "; ") + CauseText(cause) + " (" + std::to_string(count) + ")";
        }
        if (csv) {
            table.back()[5] = g.FirstPassYield() < 0 ? "" : std::to_string(g.FirstPassYield());
            table.back().push_back(causes);
        }
    }
    if (csv)
        for (const auto& row : table) PrintCsvLine(c.out, row);
    else PrintColumns(c.out, table);
}

bool Fetch(const Context& c, std::vector<record::Attempt>& rows, std::string& error) {
    const std::string& from = c.opt.record.from.empty() ? record::Journal::DefaultPath() : c.opt.record.from;
    if (!IsJournalFile(from)) {
        record::PlantRecord plant;
        return plant.Connect(from, error) && plant.CheckSchema(error) && plant.Fetch(c.opt.record.since, rows, error);
    }
    std::error_code ec;
    if (!std::filesystem::exists(from, ec)) {
        error = from + ": no such journal";
        return false;
    }
    record::Journal journal;
    if (!journal.OpenForReading(from, error)) return false;
    rows = journal.List({c.opt.record.since, "", "", 0}, error);
    return error.empty();
}

}  // namespace

int RunRecordPush(const Context& c) {
    const std::string to = Destination(c);
    if (to.empty()) return kUsage;
    record::Journal journal;
    std::string error;
    if (!journal.Open(record::Journal::DefaultPath(), error)) {
        c.err << "drivetune-cli: " << error << "\n";
        return kUsage;
    }
    record::PushResult result;
    const bool ok = record::PushJournal(journal, to, result, error);
    std::string left;
    const size_t waiting = journal.Unsent(0, left).size();
    if (!ok)
        return Refused(c, error + "\ndrivetune-cli: " + std::to_string(waiting) +
                              " attempts wait in the journal for the next push");
    if (!c.opt.quiet) {
        c.err << "drivetune-cli: " << result.sent << " attempts pushed to the plant database";
        if (result.sent != result.added) c.err << " (" << result.sent - result.added << " it held already)";
        c.err << "\n";
    }
    return kOk;
}

int RunRecordServerInit(const Context& c) {
    if (c.opt.record.to.empty()) {
        c.err << "drivetune-cli: record server-init needs --to CONNINFO (a role that may create tables and roles)\n";
        return kUsage;
    }
    record::PlantRecord plant;
    std::string note, error;
    if (!plant.Connect(c.opt.record.to, error) || !plant.Init(note, error)) return Refused(c, error);
    if (!c.opt.quiet) c.err << "drivetune-cli: " << note << "\n";
    return kOk;
}

int RunRecordReport(const Context& c) {
    std::vector<record::Attempt> rows;
    std::string error;
    if (!Fetch(c, rows, error)) return Refused(c, error);
    record::ReportBy by = record::ReportBy::All;
    record::ReportByFromWord(c.opt.record.by, by);
    PrintReport(c, record::Summarize(std::move(rows), by));
    return kOk;
}

}  // namespace dt::cli
