// The commands that work on files alone: tables, show, check, diff of two files.
#include <algorithm>
#include <filesystem>

#include "Commands.h"
#include "ControllerProfile.h"
#include "ExitStatus.h"
#include "ExtraTexts.h"
#include "Json.h"
#include "ParamTables.h"
#include "RangeRules.h"
#include "ValueCodec.h"
#include "RowDiff.h"
#include "Sheet.h"
#include "ToolState.h"

namespace dt::cli {

namespace {

Json OrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

Json TableRowJson(const ParamRowData& r, int index) {
    auto text = [](const char* s) { return std::string(s ? s : ""); };
    ParamDescriptor d;
    d.name_en = text(r.name_en);
    RangeBounds fixed;
    const bool bounded = FixedRuleBounds(r.range, fixed);
    return {{"row", index},
            {"nameCn", text(r.name_cn)},
            {"nameEn", d.name_en},
            {"kind", r.kind},
            {"readOnly", r.read_only == 1},
            {"word", r.word},
            {"bit", r.bit},
            {"format", r.format},
            {"formatName", FormatName(r.format)},
            {"unit", OrNull(UnitOf(d))},
            {"range", r.range},
            {"min", bounded ? Json(fixed.min) : Json(nullptr)},
            {"max", bounded ? Json(fixed.max) : Json(nullptr)},
            {"hintCn", text(r.hint_cn)},
            {"hintEn", text(r.hint_en)}};
}

Json TableSetJson(const TableData& t) {
    auto text = [](const char* s) { return std::string(s ? s : ""); };
    Json rows = Json::array();
    for (int i = 0; i < t.rowCount; ++i) rows.push_back(TableRowJson(t.rows[i], i));
    Json groups = Json::array();
    for (int g = 0; g < t.groupCount; ++g)
        groups.push_back({{"titleCn", text(t.groups[g].title_cn)}, {"titleEn", text(t.groups[g].title_en)},
                          {"rows", t.groups[g].rows}});
    return {{"name", t.name}, {"rows", std::move(rows)}, {"groups", std::move(groups)}};
}

// Several files are each headed by their name, as head(1) does.
void FileHeading(const Context& c, const std::string& path, bool& first) {
    c.out << (first ? "" : "\n") << "==> " << path << " <==\n";
    first = false;
}

// Runs each(path, state) on every file loaded into a state of its own. A file that cannot be
// read is reported and skipped. The worst status wins: unreadable over refused over success.
template <typename Each>
int EachFile(const Context& c, Each&& each) {
    int rc = kOk;
    for (const std::string& path : c.opt.files) {
        ToolState s;
        c.SetUp(s);
        rc = std::max(rc, LoadOrReport(s, path, c.err, &c.in) ? each(path, s) : kUsage);
    }
    return rc;
}

// The operands with each folder replaced by its .foc and .ged files in name order. A folder
// without any is reported.
bool FilesAndFolders(const Context& c, std::vector<std::string>& paths) {
    namespace fs = std::filesystem;
    for (const std::string& operand : c.opt.files) {
        std::error_code ec;
        if (operand == "-" || !fs::is_directory(operand, ec)) {
            paths.push_back(operand);
            continue;
        }
        std::vector<std::string> found;
        // The folder as given, then the name: the same text on every system.
        const char last = operand.back();
        const std::string folder = last == '/' || last == '\\' ? operand : operand + "/";
        for (fs::directory_iterator it(operand, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec) && ProfileOfFileAnyCase(it->path().string()))
                found.push_back(folder + it->path().filename().string());
        if (found.empty()) {
            c.err << "drivetune-cli: " << operand << ": no .foc or .ged files in this folder\n";
            return false;
        }
        std::sort(found.begin(), found.end());
        paths.insert(paths.end(), found.begin(), found.end());
    }
    return true;
}

}  // namespace

int RunTables(const Context& c) {
    if (!c.opt.json) {
        c.err << "drivetune-cli: tables takes --json\nTry 'drivetune-cli tables --help' for more information.\n";
        return kUsage;
    }
    Json sets = Json::array();
    for (const TableData* t : {&ParameterSettingsData(), &FunctionSettingsAData(), &FunctionSettingsBData(),
                               &ProfessionalSettingsData(), &FocSettingsData()})
        sets.push_back(TableSetJson(*t));
    Json document = Document();
    document["sets"] = std::move(sets);
    PrintJson(c.out, document);
    return kOk;
}

int RunShow(const Context& c) {
    bool first = true;
    Json sheets = Json::array();
    const int rc = EachFile(c, [&](const std::string& path, ToolState& s) {
        const ValueCells cells = ShowValues(s);
        if (c.opt.json) {
            Json sheet = SheetJson(s, cells);
            if (c.opt.files.size() > 1) {
                Json named = {{"file", path}};
                named.update(sheet);
                sheet = std::move(named);
            }
            sheets.push_back(std::move(sheet));
        } else {
            if (c.opt.files.size() > 1) FileHeading(c, path, first);
            PrintSheet(c.out, s, cells);
        }
        return kOk;
    });
    if (c.opt.json && c.opt.files.size() > 1) PrintJson(c.out, sheets);
    else if (c.opt.json && !sheets.empty()) PrintJson(c.out, sheets[0]);
    return rc;
}

int RunCheck(const Context& c) {
    std::vector<std::string> paths;
    if (!FilesAndFolders(c, paths)) return kUsage;
    bool first = true;
    Json files = Json::array();
    int rc = kOk;
    for (const std::string& path : paths) {
        ToolState s;
        c.SetUp(s);
        if (!LoadOrReport(s, path, c.err, &c.in)) {
            rc = std::max(rc, kUsage);
            continue;
        }
        ValueCells cells = ShowValues(s);
        StoreValues(s, cells);
        const ValidationResult v = ValidateAll(s, cells);
        // A standard set whose identity fails its parse opens every range: nothing was checked.
        const bool checked = ProfileOf(s).RangesKnown(s);
        if (!checked) c.err << "drivetune-cli: " << FillIn(s.Extra(XTX_CHECK_IMPOSSIBLE), path) << "\n";
        if (c.opt.json) {
            Json outcome = CheckJson(s, cells, v, path);
            outcome["checked"] = checked;
            files.push_back(std::move(outcome));
        } else if (v.refused || checked) {
            if (paths.size() > 1) FileHeading(c, path, first);
            c.out << (v.refused ? v.message : std::string("ok")) << "\n";
        }
        if (v.refused) rc = std::max(rc, kRefused);
    }
    if (c.opt.json) {
        Json document = Document();
        document["files"] = std::move(files);
        PrintJson(c.out, document);
    }
    return rc;
}

int RunDiff(const Context& c) {
    const size_t wanted = c.opt.hasPort ? 1 : 2;
    if (c.opt.files.size() != wanted) {
        c.err << "drivetune-cli: diff takes two files A B, or --port P and one FILE\n"
                 "Try 'drivetune-cli diff --help' for more information.\n";
        return kUsage;
    }
    if (c.opt.hasPort) return RunDiffWithController(c);
    ToolState a, b;
    c.SetUp(a);
    c.SetUp(b);
    if (!LoadOrReport(a, c.opt.files[0], c.err, &c.in) || !LoadOrReport(b, c.opt.files[1], c.err, &c.in))
        return kUsage;
    const std::vector<ShownRow> ra = ShownRows(a), rb = ShownRows(b);
    const std::vector<RowChange> changes = ChangedRows(ra, rb);
    if (c.opt.json) PrintChangesJson(c.out, changes, {"a", "b"});
    else PrintChanges(c.out, changes);
    return changes.empty() ? kOk : kDiffer;
}

}  // namespace dt::cli
