// drivetune-cli offline commands on the shipped sample files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CliMain.h"
#include "Interrupts.h"
#include "Json.h"
#include "SupportLog.h"
#include "Version.h"

namespace {

// Columns a UTF-8 line takes (every code point one column: the help is English).
size_t Utf8Columns(const std::string& line) {
    size_t n = 0;
    for (unsigned char c : line) n += (c & 0xC0) != 0x80;
    return n;
}

using dt::cli::Json;

std::string Sample(const std::string& name) { return std::string(DT_SOURCE_DIR) + "/samples/" + name; }

// The row of a sheet's JSON with this set and record index; null when there is none.
Json SheetRow(const Json& sheet, const std::string& set, int row) {
    for (const Json& r : sheet.at("rows"))
        if (r.at("set") == set && r.at("row") == row) return r;
    return nullptr;
}

struct Result {
    int rc;
    std::string out;
    std::string err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/dtcliXXXXXX";
        dir_ = mkdtemp(tmpl);
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    Result Run(std::vector<std::string> args, size_t helpWidth = 80) {
        std::ostringstream out, err;
        int rc = dt::cli::Run(args, out, err, dir_ + "/text.ini", helpWidth);
        return {rc, out.str(), err.str()};
    }

    std::vector<unsigned char> Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }
    std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) {
        std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    // A copy of a sample with one big-endian word changed (index: section*100 + word).
    std::string Patched(const std::string& sample, int index, int value, const std::string& name) {
        auto bytes = Read(Sample(sample));
        int o = (index / 100) * 256 + (index % 100) * 2;
        bytes[o] = static_cast<unsigned char>(value >> 8);
        bytes[o + 1] = static_cast<unsigned char>(value & 0xFF);
        return Write(name, bytes);
    }

    std::string dir_;
};

TEST_F(Cli, ShowPrintsTheSheetAsAfterAnUpload) {
    Result r = Run({"show", Sample("standard-b.foc")});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(r.out.find("== Controller Parameter settings =="), std::string::npos);
    EXPECT_NE(r.out.find("[Voltage parameter settings]"), std::string::npos);
    EXPECT_NE(r.out.find("Nominal battery voltage (V)                      60\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("[3-Gears Func setting]"), std::string::npos) << "variant B groups";
}

TEST_F(Cli, ShowJsonNamesKindVariantAndEveryRecord) {
    struct Case {
        const char* file;
        const char* kind;
        int modelWord;
        Json variant;
        bool dataValid;
        size_t records;  // records of kind other than 0 in grid order
    };
    const Case cases[] = {
        {"standard-b.foc", "standard", 1324, "B", true, 36 + 26},
        {"standard-a.foc", "standard", 1284, "A", true, 36 + 18},
        {"foc.ged", "foc", 65534, nullptr, false, 12},
    };
    for (const Case& c : cases) {
        Result r = Run({"show", Sample(c.file), "--json"});
        ASSERT_EQ(r.rc, 0) << c.file << r.err;
        const Json sheet = Json::parse(r.out);
        EXPECT_EQ(sheet.at("kind"), c.kind) << c.file;
        EXPECT_EQ(sheet.at("modelWord"), c.modelWord) << c.file;
        EXPECT_EQ(sheet.at("variant"), c.variant) << c.file;
        EXPECT_EQ(sheet.at("dataValid"), c.dataValid) << c.file;
        EXPECT_EQ(sheet.at("rows").size(), c.records) << c.file;
    }
    const Json sheet = Json::parse(Run({"show", "--json", Sample("standard-b.foc")}).out);
    EXPECT_EQ(SheetRow(sheet, "ParameterSettings", 6),
              Json::parse(R"j({"id": "ParameterSettings.6", "set": "ParameterSettings", "row": 6, "name": "Nominal battery voltage (V)",
                  "value": "60", "readOnly": false, "detail": {"text": "60", "word": null, "number": 60,
                  "unit": "V", "min": null, "max": null}})j"));
    const Json warranty = SheetRow(sheet, "ParameterSettings", 49);
    EXPECT_EQ(warranty.at("name"), "Warranty Date");
    EXPECT_EQ(warranty.at("value"), "202612");
    EXPECT_EQ(warranty.at("readOnly"), true);
}

TEST_F(Cli, InvalidIdentityShowsEmptyValuesAndErr) {
    Result r = Run({"show", Sample("invalid.foc"), "--json"});
    ASSERT_EQ(r.rc, 0);
    const Json sheet = Json::parse(r.out);
    EXPECT_EQ(sheet.at("dataValid"), false);
    EXPECT_EQ(SheetRow(sheet, "ParameterSettings", 7).at("name"), "High voltage protection value (V)");
    EXPECT_EQ(SheetRow(sheet, "ParameterSettings", 7).at("value"), "");
    EXPECT_NE(r.out.find("\"value\": \"Err\""), std::string::npos);
    // Nothing is range-checked without a valid identity.
    EXPECT_EQ(Run({"check", Sample("invalid.foc")}).rc, 0);
}

TEST_F(Cli, CheckSaysOkForEachSample) {
    for (const char* f : {"standard-a.foc", "standard-b.foc", "foc.ged"}) {
        Result r = Run({"check", Sample(f)});
        EXPECT_EQ(r.rc, 0) << f << r.out;
        EXPECT_EQ(r.out, "ok\n") << f;
        EXPECT_EQ(r.err, "") << f;
    }
}

TEST_F(Cli, CheckPrintsTheWholeRefusalFunctionRowsFirst) {
    // Pole pairs 1 (rule 2..28) and a forward speed ratio of 30 % (rule 45..100).
    auto bytes = Read(Sample("standard-b.foc"));
    auto setWord = [&](int index, int v) {
        int o = (index / 100) * 256 + (index % 100) * 2;
        bytes[o] = static_cast<unsigned char>(v >> 8);
        bytes[o + 1] = static_cast<unsigned char>(v & 0xFF);
    };
    setWord(202, 1);
    setWord(107, 30);
    Result r = Run({"check", Write("bad.foc", bytes)});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out,
              "Input data is not legitimate\n\n"
              "Forword Speed ratio (%): 45.0 ≤ x ≤ 100.0\n\n"
              "Number of pole pairs: 2.0 ≤ x ≤ 28.0\n");
    r = Run({"--lang", "cn", "check", Write("bad2.foc", bytes)});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out.rfind("输入数据不合法\n\n正转速度比例 (%): 45.0 ≤ x ≤ 100.0\n\n极对数: 2.0 ≤ x ≤ 28.0", 0), 0u)
        << r.out;
}

TEST_F(Cli, FocRefusalLines) {
    auto bytes = Read(Sample("foc.ged"));
    bytes[1] = 5;   // PAS ratio below 10
    bytes[2] = 30;  // no such nominal voltage
    Result r = Run({"check", Write("bad.ged", bytes)});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out,
              "Input data is not legitimate\n\n"
              "PAS Ratio ( 0.1 times )=5 : 10 ≤ x ≤ 100\n\n"
              "Nominal battery voltage (V)=30 : {48, 36, 24}\n");
}

TEST_F(Cli, DiffExitsAsDiffDoes) {
    const std::string same = Sample("standard-b.foc");
    const std::string changed = Patched("standard-b.foc", 241, 500, "fast.foc");  // acceleration
    Result r = Run({"diff", same, changed});
    EXPECT_EQ(r.rc, 1) << r.err;
    EXPECT_EQ(r.out, "Acceleration (rpm/s)  300  ->  500\n");
    r = Run({"diff", same, changed, "--json"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(Json::parse(r.out),
              Json::parse(R"j({"schema": 1, "rows": [{"set": "ParameterSettings", "name": "Acceleration (rpm/s)",
                  "a": {"id": "ParameterSettings.46", "row": 46, "name": "Acceleration (rpm/s)", "value": "300", "detail": {"text": "300",
                        "word": 300, "number": 300, "unit": "rpm/s", "min": 50, "max": 800}},
                  "b": {"id": "ParameterSettings.46", "row": 46, "name": "Acceleration (rpm/s)", "value": "500", "detail": {"text": "500",
                        "word": 500, "number": 500, "unit": "rpm/s", "min": 50, "max": 800}}}]})j"));

    r = Run({"diff", same, same});
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Json::parse(Run({"diff", "--json", same, same}).out), Json::parse(R"j({"schema": 1, "rows": []})j"));

    for (const std::vector<std::string>& args : {std::vector<std::string>{"diff", same, dir_ + "/none.foc"},
                                                 std::vector<std::string>{"diff", same},
                                                 std::vector<std::string>{"diff", same, same, same}}) {
        r = Run(args);
        EXPECT_EQ(r.rc, 2) << args.size();
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(Cli, DiffPairsRowsByNameAcrossFunctionVariants) {
    Result r = Run({"diff", Sample("standard-a.foc"), Sample("standard-b.foc"), "--json"});
    EXPECT_EQ(r.rc, 1) << r.err;
    const Json rows = Json::parse(r.out).at("rows");
    auto find = [&](const std::string& name) {
        for (const Json& row : rows)
            if (row.at("name") == name) return row;
        return Json();
    };
    // Same name, same value, different positions: not a difference.
    EXPECT_TRUE(find("Cruise Control Enable").is_null()) << r.out;
    EXPECT_TRUE(find("Cruise mode throttle minimum voltage (V)").at("a").is_null()) << "B's second row of the name";
    const Json onlyA = find("Speed limit enable");
    // A bit row gives its whole word, and a list entry no number.
    EXPECT_EQ(onlyA.at("a"), Json::parse(R"j({"id": "FunctionSettings.9", "row": 9, "name": "Speed limit enable", "value": "0:Disable",
        "detail": {"text": "0:Disable", "word": 40016, "number": null, "unit": null, "min": null, "max": null}})j"));
    EXPECT_TRUE(onlyA.at("b").is_null());
    const Json onlyB = find("3-Gears enable");
    EXPECT_TRUE(onlyB.at("a").is_null());
    EXPECT_EQ(onlyB.at("b").at("value"), "1:Enable");
    for (const Json& row : rows) {
        if (!row.at("a").is_null() && !row.at("b").is_null()) {
            EXPECT_EQ(row.at("a").at("name"), row.at("b").at("name"));
        }
    }

    r = Run({"diff", Sample("standard-a.foc"), Sample("standard-b.foc")});
    EXPECT_NE(r.out.find("Speed limit enable                        0:Disable  ->  (none)\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("3-Gears enable                            (none)  ->  1:Enable\n"), std::string::npos);
    EXPECT_EQ(r.out.find("Cruise Control Enable"), std::string::npos);

    // An FOC set and a standard one share no row: every row is one-sided.
    r = Run({"diff", "--json", Sample("foc.ged"), Sample("standard-b.foc")});
    EXPECT_EQ(r.rc, 1);
    // The parsed document must outlive the loop over its rows.
    const Json oneSided = Json::parse(r.out);
    for (const Json& row : oneSided.at("rows")) EXPECT_TRUE(row.at("a").is_null() || row.at("b").is_null());
}

TEST_F(Cli, ShowAndCheckTakeSeveralFiles) {
    const std::string a = Sample("standard-a.foc"), b = Sample("standard-b.foc"), foc = Sample("foc.ged");
    const std::string single = Run({"show", b}).out;
    Result r = Run({"show", a, b});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out.rfind("==> " + a + " <==\n== Controller Parameter settings ==\n", 0), 0u) << r.out.substr(0, 200);
    EXPECT_NE(r.out.find("\n\n==> " + b + " <==\n" + single), std::string::npos);

    r = Run({"show", "--json", a, foc});
    const Json sheets = Json::parse(r.out);
    ASSERT_TRUE(sheets.is_array());
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].at("file"), a);
    EXPECT_EQ(sheets[1].at("kind"), "foc");
    EXPECT_FALSE(Json::parse(Run({"show", "--json", a}).out).contains("file")) << "one file: one object, as ever";

    // An unreadable file is named and skipped; the others are still shown.
    r = Run({"show", a, dir_ + "/none.foc", b});
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find("none.foc"), std::string::npos);
    EXPECT_NE(r.out.find("==> " + b + " <=="), std::string::npos);

    const std::string bad = Patched("standard-b.foc", 202, 1, "bad.foc");  // pole pairs out of range
    r = Run({"check", a, bad, foc});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out, "==> " + a + " <==\nok\n\n==> " + bad +
                         " <==\nInput data is not legitimate\n\nNumber of pole pairs: 2.0 ≤ x ≤ 28.0\n\n==> " + foc +
                         " <==\nok\n");
    EXPECT_EQ(Run({"check", a, b, foc}).rc, 0);
}

TEST_F(Cli, BadFilesAndUsageExitTwoWithAMessage) {
    auto bytes = Read(Sample("standard-b.foc"));
    const std::string upper = Write("params.FOCX", bytes);
    bytes.resize(1023);
    const std::string shortFile = Write("short.foc", bytes);
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const Case cases[] = {
        {{"show", dir_ + "/missing.foc"}, "cannot read"},
        {{"show", shortFile}, "too short"},
        {{"show", upper}, "unknown file type"},
        {{"check"}, "FILE is required"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"--lang", "de", "show", shortFile}, "--lang: de not in {en,cn}"},
        {{"show", shortFile, "--lang", "de"}, "--lang: de not in {en,cn}"},
        {{"show", "--frob", shortFile}, "not expected: --frob"},
        {{"tables"}, "tables takes --json"},
        {{"backups", "restore", "1", "2"}, "At Most 2 required but received 3"},
        // An unknown option is named before a required one is missed.
        {{"upload", "--bogus"}, "not expected: --bogus\nTry 'drivetune-cli upload --help'"},
        {{"download", "--bogus=1", "a.foc"}, "not expected: --bogus\n"},
        // Each command takes its own options and operands only.
        {{"download", "--port", "COM9", "a.foc", "b.foc"}, "FILE: At Most 1 required but received 2"},
        {{"download", "--port", "COM9", "--repeat", "a.foc"}, "not expected: --repeat"},
        {{"program", "--port", "COM9", "--set", "X=1", "a.foc"}, "not expected: --set"},
        {{"--frob", "show", shortFile}, "not expected: --frob\nTry 'drivetune-cli show --help'"},
    };
    for (const Case& c : cases) {
        Result r = Run(c.args);
        EXPECT_EQ(r.rc, 2) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        // Bad usage points to --help; a bad file is about the file alone.
        const bool badFile = c.args.size() == 2 && c.args[0] == "show";
        EXPECT_EQ(r.err.find("--help' for more information") == std::string::npos, badFile) << r.err;
        EXPECT_LT(r.err.size(), 300u) << "points to --help instead of printing it";
        EXPECT_EQ(r.out, "");
    }
}

// Arguments the parser lets through but no command can use: each names its option.
TEST_F(Cli, EmptyNamesBadNumbersAndAJsonSetAreUsageErrors) {
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const Case cases[] = {
        {{"upload", "--port", "COM9", "-o", ""}, "drivetune-cli: -o: the file name is empty\n"},
        {{"show", ""}, "drivetune-cli: FILE: a file name is empty\n"},
        {{"download", "--port", "COM9", ""}, "drivetune-cli: FILE: a file name is empty\n"},
        {{"upload", "--port", "COM9", "-o", "-", "--json"},
         "drivetune-cli: -o -: the set itself goes to standard output"},
        {{"upload", "--port", "COM9", "--timeout", "099"},
         "--timeout: Value 099 is not a decimal number from 100 to 600000"},
        {{"upload", "--port", "COM9", "--timeout", "600001"}, "--timeout: Value 600001"},
        {{"upload", "--port", "COM9", "--baud", "0x2580"}, "--baud: Value 0x2580"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        Result r = Run(c.args);
        EXPECT_EQ(r.rc, 2);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--help' for more information"), std::string::npos) << r.err;
    }
    // After "--" a name that starts with a dash is a file.
    Result r = Run({"show", "--", "-x.foc"});
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find("cannot read -x.foc"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("not expected"), std::string::npos) << r.err;
}

TEST_F(Cli, NamesInAnyCaseAreTakenAsTheirKind) {
    const auto bytes = Read(Sample("standard-b.foc"));
    const std::string lower = Run({"show", Write("params.foc", bytes)}).out;
    ASSERT_FALSE(lower.empty());
    for (const char* name : {"PARAMS.FOC", "Params.Foc"}) {
        Result r = Run({"show", Write(name, bytes)});
        EXPECT_EQ(r.rc, 0) << name << r.err;
        EXPECT_EQ(r.out, lower) << name;
    }
    EXPECT_EQ(Run({"check", Write("SET.GED", Read(Sample("foc.ged")))}).rc, 0);
}

// "-" stands for standard input; its length tells the kind of set.
TEST_F(Cli, ADashReadsStandardInput) {
    for (const char* sample : {"standard-b.foc", "foc.ged"}) {
        const auto bytes = Read(Sample(sample));
        std::istringstream in(std::string(bytes.begin(), bytes.end()));
        std::ostringstream out, err;
        EXPECT_EQ(dt::cli::Run({"show", "-"}, out, err, dir_ + "/text.ini", 80, &in), 0) << err.str();
        EXPECT_EQ(out.str(), Run({"show", Sample(sample)}).out) << sample;
    }
    const auto a = Read(Sample("standard-a.foc"));
    std::istringstream in(std::string(a.begin(), a.end()));
    std::ostringstream out, err;
    EXPECT_EQ(dt::cli::Run({"diff", "-", Sample("standard-a.foc")}, out, err, dir_ + "/text.ini", 80, &in), 0);
    std::istringstream shortInput(std::string(10, 'x'));
    EXPECT_EQ(dt::cli::Run({"check", "-"}, out, err, dir_ + "/text.ini", 80, &shortInput), 2);
    EXPECT_NE(err.str().find("too short"), std::string::npos) << err.str();
}

// Ctrl+C while a download waits for its set on standard input: stopped as anywhere else.
TEST_F(Cli, AnInterruptWhileTheSetIsTypedStopsTheDownload) {
    // Input that is interrupted as a terminal's is: the read ends early.
    struct Interrupting : std::streambuf {
        int_type underflow() override {
            dt::cli::RequestInterrupt();
            return traits_type::eof();
        }
    } interrupting;
    std::istream in(&interrupting);
    std::ostringstream out, err;
    const int rc = dt::cli::Run({"download", "--port", "COM9", "-"}, out, err, dir_ + "/text.ini", 80, &in);
    dt::cli::ClearInterrupt();
    EXPECT_EQ(rc, 130);
    EXPECT_EQ(err.str(), "drivetune-cli: Interrupted: nothing more was written to the controller or to a file.\n");
}

TEST_F(Cli, NoArgumentsPrintTheShortUsageWithTheCommands) {
    Result r = Run({});
    EXPECT_EQ(r.rc, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Usage: drivetune-cli [--lang en|cn] [--trace] [--quiet] COMMAND [OPTIONS] [FILE ...]\n", 0), 0u) << r.err;
    for (const char* cmd :
         {"tables", "show", "check", "set", "diff", "backups", "ports", "upload", "download", "store", "factory-reset"})
        EXPECT_NE(r.err.find(std::string("\n  ") + cmd + " "), std::string::npos) << cmd;
    EXPECT_NE(r.err.find("Try 'drivetune-cli --help' for more information."), std::string::npos);
    EXPECT_NE(r.err.find("\n  tables         every built-in"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\n  factory-reset  restore the controller's"), std::string::npos) << r.err;
}

// Help fits the width it is given: the terminal's, or 80 columns in a pipe.
TEST_F(Cli, HelpWrapsToTheWidth) {
    for (size_t width : {80u, 60u, 132u}) {
        for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"download", "--help"}}) {
            Result r = Run(args, width);
            ASSERT_EQ(r.rc, 0);
            size_t longest = 0;
            std::istringstream lines(r.out);
            for (std::string line; std::getline(lines, line);) longest = std::max(longest, Utf8Columns(line));
            EXPECT_LE(longest, width) << args[0] << " at " << width << "\n" << r.out;
            EXPECT_GT(longest, width - 20) << args[0] << " at " << width << ": the width is used";
        }
    }
    // Descriptions continue under their own column.
    EXPECT_NE(Run({"download", "--help"}, 60).out.find("\n                          "), std::string::npos);
}

TEST_F(Cli, HelpForEachCommandAndTheVersion) {
    Result r = Run({"--help"});
    EXPECT_EQ(r.rc, 0);
    for (const char* cmd : {"tables", "show", "check", "set", "diff", "ports", "upload", "download", "store", "factory-reset"}) {
        EXPECT_NE(r.out.find(std::string("\n  ") + cmd + " "), std::string::npos) << cmd;
        for (const char* where : {"before", "after"}) {
            Result h = std::string(where) == "before" ? Run({cmd, "--help"}) : Run({"--lang", "cn", cmd, "-h"});
            EXPECT_EQ(h.rc, 0) << cmd;
            EXPECT_NE(h.out.find(std::string("Usage: drivetune-cli ") + cmd), std::string::npos) << h.out;
        }
    }
    EXPECT_NE(Run({"download", "--help"}).out.find("--dry-run"), std::string::npos);
    EXPECT_EQ(Run({"check", Sample("foc.ged"), "--trace"}).rc, 0) << "global options after the command";
    dt::SetFrameTrace(false);
    r = Run({"--version"});
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.out, "drivetune-cli " DRIVETUNE_VERSION "\n");
}

TEST_F(Cli, LanguageFollowsTextIniUnlessForced) {
    const std::string sample = Sample("standard-b.foc");
    EXPECT_NE(Run({"show", sample}).out.find("Motor parameters"), std::string::npos);
    // Distributors write GBK: "电机" is B5 E7 BB FA.
    std::ofstream(dir_ + "/text.ini", std::ios::binary) << "9000=\xB5\xE7\xBB\xFA\r\n";
    EXPECT_NE(Run({"show", sample}).out.find("[电机]"), std::string::npos);
    EXPECT_NE(Run({"--lang", "en", "show", sample}).out.find("[Motor parameters]"), std::string::npos);
    EXPECT_NE(Run({"--lang=cn", "show", sample}).out.find("1: 开启"), std::string::npos);
    EXPECT_NE(Run({"show", sample, "--lang", "en"}).out.find("[Motor parameters]"), std::string::npos);
}

TEST_F(Cli, JsonStaysValidWhateverTheTextsHold) {
    // A distributor's name with a quote, a backslash and a tab.
    std::ofstream(dir_ + "/text.ini", std::ios::binary) << "3006=Volt\"age\\ (V)\tnominal\r\n";
    Result r = Run({"show", Sample("standard-b.foc"), "--json"});
    ASSERT_EQ(r.rc, 0);
    const Json sheet = Json::parse(r.out);
    EXPECT_EQ(SheetRow(sheet, "ParameterSettings", 6).at("name"), "Volt\"age\\ (V)\tnominal");
    EXPECT_NO_THROW(Json::parse(Run({"diff", "--json", Sample("standard-a.foc"), Sample("standard-b.foc")}).out));
}

TEST_F(Cli, TablesJsonHoldsTheFiveBuiltInSets) {
    Result r = Run({"tables", "--json"});
    ASSERT_EQ(r.rc, 0);
    const Json sets = Json::parse(r.out).at("sets");
    std::vector<std::string> names;
    for (const Json& set : sets) names.push_back(set.at("name"));
    EXPECT_EQ(names, (std::vector<std::string>{"ParameterSettings", "FunctionSettingsA", "FunctionSettingsB",
                                               "ProfessionalSettings", "FocSettings"}));
    bool hintFound = false;
    for (const Json& row : sets[0].at("rows"))
        hintFound |= row.at("hintEn").get<std::string>().rfind(
                         "Controller has its maximum allowable input voltage,\n\nwhen higher", 0) == 0;
    EXPECT_TRUE(hintFound) << "hints keep their line breaks";
    EXPECT_TRUE(sets[4].at("groups").empty()) << "FocSettings has no groups";
}

}  // namespace
