#include "CliMain.h"

#include <algorithm>
#include <iostream>
#include <map>

#include "Json.h"
#include "LanguageSetup.h"
#include "Online.h"
#include "ParamTables.h"
#include "Settings.h"
#include "Sheet.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace dt::cli {

namespace {
constexpr int kOk = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

std::string Usage() {
    return "usage: drivetune-cli [--lang en|cn] COMMAND ...\n"
           "\n"
           "offline commands:\n"
           "  tables --json            every built-in parameter table as JSON\n"
           "  show FILE [--json]       the values of a .foc or .ged file, as shown after an upload\n"
           "  check FILE               range check as before a download (exit 1 and the message when refused)\n"
           "  diff A B [--json]        the rows whose shown values differ\n" +
           OnlineUsage() +
           "\n"
           "--lang en uses the English texts, --lang cn the Chinese ones (with text.ini when present);\n"
           "without it, text.ini in the working directory chooses Chinese, its absence English.\n"
           "exit status: 0 success, 1 refused, 2 usage error or unreadable file\n";
}

int UsageError(std::ostream& err, const std::string& why) {
    err << "drivetune-cli: " << why << "\n\n" << Usage();
    return kUsage;
}

void PrintTableSet(std::ostream& out, const TableData& t) {
    auto text = [](const char* s) { return JsonString(s ? s : ""); };
    out << "{\"name\": \"" << t.name << "\", \"rows\": [";
    for (int i = 0; i < t.rowCount; ++i) {
        const ParamRowData& r = t.rows[i];
        out << (i ? ",\n    " : "\n    ") << "{\"row\": " << i << ", \"name_cn\": " << text(r.name_cn)
            << ", \"name_en\": " << text(r.name_en) << ", \"kind\": " << r.kind << ", \"read_only\": " << r.read_only
            << ", \"word\": " << r.word << ", \"bit\": " << r.bit << ", \"format\": " << r.format
            << ", \"range\": " << r.range << ", \"hint_cn\": " << text(r.hint_cn) << ", \"hint_en\": " << text(r.hint_en)
            << "}";
    }
    out << "\n  ], \"groups\": [";
    for (int g = 0; g < t.groupCount; ++g) {
        out << (g ? ", " : "") << "{\"title_cn\": " << text(t.groups[g].title_cn)
            << ", \"title_en\": " << text(t.groups[g].title_en) << ", \"rows\": " << t.groups[g].rows << "}";
    }
    out << "]}";
}

int Tables(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1 || args[0] != "--json") return UsageError(err, "tables takes --json");
    const TableData* sets[] = {&ParameterSettingsData(), &FunctionSettingsAData(), &FunctionSettingsBData(),
                               &ProfessionalSettingsData(), &FocSettingsData()};
    out << "{\"sets\": [\n  ";
    for (size_t i = 0; i < 5; ++i) {
        if (i) out << ",\n  ";
        PrintTableSet(out, *sets[i]);
    }
    out << "\n]}\n";
    return kOk;
}

// FILE plus an optional --json, in any order.
bool FileAndJson(const std::vector<std::string>& args, size_t files, std::vector<std::string>& paths, bool& json,
                 bool allowJson) {
    json = false;
    for (const std::string& a : args) {
        if (a == "--json" && allowJson) json = true;
        else if (!a.empty() && a[0] == '-' && a != "-") return false;
        else paths.push_back(a);
    }
    return paths.size() == files;
}

int Load(ToolState& s, const std::string& path, std::ostream& err) {
    std::string why;
    LoadStatus st = LoadParameterFile(s, path, &why);
    if (st == LoadStatus::Ok) return kOk;
    err << "drivetune-cli: " << LoadError(st, path, why) << "\n";
    return kUsage;
}

int Show(const std::vector<std::string>& args, ToolState& s, std::ostream& out, std::ostream& err) {
    std::vector<std::string> paths;
    bool json = false;
    if (!FileAndJson(args, 1, paths, json, true)) return UsageError(err, "show takes FILE [--json]");
    if (int rc = Load(s, paths[0], err)) return rc;
    ValueCells cells = ShowValues(s);
    if (json) PrintSheetJson(out, s, cells);
    else PrintSheet(out, s, cells);
    return kOk;
}

int Check(const std::vector<std::string>& args, ToolState& s, std::ostream& out, std::ostream& err) {
    std::vector<std::string> paths;
    bool json = false;
    if (!FileAndJson(args, 1, paths, json, false)) return UsageError(err, "check takes FILE");
    if (int rc = Load(s, paths[0], err)) return rc;
    ValueCells cells = ShowValues(s);
    StoreValues(s, cells);
    ValidationResult v = ValidateAll(s, cells);
    if (!v.refused) return kOk;
    out << v.message << "\n";
    return kRefused;
}

struct Keyed {
    std::string name;
    std::string value;
};

std::map<std::pair<std::string, int>, Keyed> ShownRows(ToolState& s) {
    std::map<std::pair<std::string, int>, Keyed> rows;
    ValueCells cells = ShowValues(s);
    std::vector<GridRow> layout = GridLayout(s);
    for (size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].desc->kind == 0) continue;
        rows[{SetName(layout[i].set), layout[i].record}] = {layout[i].desc->Name(s.language),
                                                             i < cells.size() ? TrimLeft(cells[i]) : ""};
    }
    return rows;
}

int Diff(const std::vector<std::string>& args, ToolState& a, ToolState& b, std::ostream& out, std::ostream& err) {
    std::vector<std::string> paths;
    bool json = false;
    if (!FileAndJson(args, 2, paths, json, true)) return UsageError(err, "diff takes A B [--json]");
    if (int rc = Load(a, paths[0], err)) return rc;
    if (int rc = Load(b, paths[1], err)) return rc;
    PrintDiff(out, a, b, json);
    return kOk;
}
}  // namespace

void PrintDiff(std::ostream& out, ToolState& a, ToolState& b, bool json) {
    auto ra = ShownRows(a);
    auto rb = ShownRows(b);
    std::map<std::pair<std::string, int>, bool> keys;
    for (auto& kv : ra) keys[kv.first] = true;
    for (auto& kv : rb) keys[kv.first] = true;
    // Grid order: parameter rows, function rows, FOC rows.
    auto order = [](const std::string& set) { return set == "ParameterSettings" ? 0 : set == "FunctionSettings" ? 1 : 2; };
    std::vector<std::pair<std::string, int>> sorted;
    for (auto& kv : keys) sorted.push_back(kv.first);
    std::stable_sort(sorted.begin(), sorted.end(), [&](auto& x, auto& y) {
        return order(x.first) != order(y.first) ? order(x.first) < order(y.first) : x.second < y.second;
    });
    int width = 0;
    struct Row { std::string set; int row; std::string name; const Keyed* a; const Keyed* b; };
    std::vector<Row> diffs;
    for (auto& k : sorted) {
        auto ia = ra.find(k), ib = rb.find(k);
        const Keyed* ka = ia == ra.end() ? nullptr : &ia->second;
        const Keyed* kb = ib == rb.end() ? nullptr : &ib->second;
        if (ka && kb && ka->value == kb->value && ka->name == kb->name) continue;
        diffs.push_back({k.first, k.second, ka ? ka->name : kb->name, ka, kb});
        width = std::max(width, DisplayWidth(diffs.back().name));
    }
    if (json) {
        out << "{\"rows\": [";
        for (size_t i = 0; i < diffs.size(); ++i) {
            const Row& r = diffs[i];
            out << (i ? ",\n  " : "\n  ") << "{\"set\": \"" << r.set << "\", \"row\": " << r.row
                << ", \"name\": " << JsonString(r.name) << ", \"a\": " << (r.a ? JsonString(r.a->value) : "null")
                << ", \"b\": " << (r.b ? JsonString(r.b->value) : "null") << "}";
        }
        out << (diffs.empty() ? "]}\n" : "\n]}\n");
        return;
    }
    for (const Row& r : diffs) {
        std::string name = r.name + std::string(width - DisplayWidth(r.name), ' ');
        out << name << "  " << (r.a ? r.a->value : "(none)") << "  ->  " << (r.b ? r.b->value : "(none)") << "\n";
    }
}

namespace {

void SetUpLanguage(ToolState& s, const std::string& lang, const std::string& textIniPath) {
    s.settings = LoadSettings(DefaultSettingsPath());
    ApplyLanguage(s, textIniPath);
    if (lang == "en") s.language = LANG_ENGLISH;
    else if (lang == "cn") s.language = LANG_CHINESE;
    BuildChoiceLists(s.lists, s.optionTexts, s.language);
}
}  // namespace

int Run(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err, const std::string& textIniPath) {
    std::vector<std::string> args = argsIn;
    std::string lang;
    while (!args.empty() && args[0].rfind("--lang", 0) == 0) {
        std::string value;
        if (args[0] == "--lang" && args.size() >= 2) {
            value = args[1];
            args.erase(args.begin(), args.begin() + 2);
        } else if (args[0].rfind("--lang=", 0) == 0) {
            value = args[0].substr(7);
            args.erase(args.begin());
        } else {
            return UsageError(err, "--lang takes en or cn");
        }
        if (value != "en" && value != "cn") return UsageError(err, "--lang takes en or cn, not \"" + value + "\"");
        lang = value;
    }
    if (args.empty()) return UsageError(err, "no command given");
    const std::string cmd = args[0];
    args.erase(args.begin());
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        out << Usage();
        return kOk;
    }
    if (cmd == "tables") return Tables(args, out, err);

    ToolState s;
    SetUpLanguage(s, lang, textIniPath);
    if (cmd == "show") return Show(args, s, out, err);
    if (cmd == "check") return Check(args, s, out, err);
    if (cmd == "diff") {
        ToolState b;
        SetUpLanguage(b, lang, textIniPath);
        return Diff(args, s, b, out, err);
    }
    int rc = RunOnlineCommand(cmd, args, s, out, err);
    if (rc >= 0) return rc;
    return UsageError(err, "unknown command \"" + cmd + "\"");
}

int Main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return Run(args, std::cout, std::cerr);
}

}  // namespace dt::cli
