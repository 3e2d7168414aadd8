// drivetune-cli offline commands on the shipped sample files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CliMain.h"

namespace {

std::string Sample(const std::string& name) { return std::string(DT_SOURCE_DIR) + "/samples/" + name; }

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

    Result Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        int rc = dt::cli::Run(args, out, err, dir_ + "/text.ini");
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
        const char* head;
        int records;  // records of kind other than 0 in grid order
    };
    const Case cases[] = {
        {"standard-b.foc", "{\"kind\": \"standard\", \"modelWord\": 1324, \"variant\": \"B\", \"dataValid\": true", 36 + 26},
        {"standard-a.foc", "{\"kind\": \"standard\", \"modelWord\": 1284, \"variant\": \"A\", \"dataValid\": true", 36 + 18},
        {"foc.ged", "{\"kind\": \"foc\", \"modelWord\": 65534, \"variant\": null, \"dataValid\": false", 12},
    };
    for (const Case& c : cases) {
        Result r = Run({"show", Sample(c.file), "--json"});
        ASSERT_EQ(r.rc, 0) << c.file << r.err;
        EXPECT_EQ(r.out.rfind(c.head, 0), 0u) << c.file << "\n" << r.out.substr(0, 120);
        size_t n = 0;
        for (size_t p = r.out.find("\"set\":"); p != std::string::npos; p = r.out.find("\"set\":", p + 1)) ++n;
        EXPECT_EQ(n, static_cast<size_t>(c.records)) << c.file;
    }
    Result r = Run({"show", "--json", Sample("standard-b.foc")});
    EXPECT_NE(r.out.find("{\"set\": \"ParameterSettings\", \"row\": 6, \"name\": \"Nominal battery voltage (V)\", "
                         "\"value\": \"60\", \"readOnly\": false}"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"row\": 49, \"name\": \"Warranty Date\", \"value\": \"202612\", \"readOnly\": true"),
              std::string::npos);
}

TEST_F(Cli, InvalidIdentityShowsEmptyValuesAndErr) {
    Result r = Run({"show", Sample("invalid.foc"), "--json"});
    ASSERT_EQ(r.rc, 0);
    EXPECT_NE(r.out.find("\"dataValid\": false"), std::string::npos);
    EXPECT_NE(r.out.find("\"row\": 7, \"name\": \"High voltage protection value (V)\", \"value\": \"\""),
              std::string::npos);
    EXPECT_NE(r.out.find("\"value\": \"Err\""), std::string::npos);
    // Nothing is range-checked without a valid identity.
    EXPECT_EQ(Run({"check", Sample("invalid.foc")}).rc, 0);
}

TEST_F(Cli, CheckAcceptsTheSamplesSilently) {
    for (const char* f : {"standard-a.foc", "standard-b.foc", "foc.ged"}) {
        Result r = Run({"check", Sample(f)});
        EXPECT_EQ(r.rc, 0) << f << r.out;
        EXPECT_EQ(r.out, "") << f;
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

TEST_F(Cli, DiffListsChangedRows) {
    std::string changed = Patched("standard-b.foc", 241, 500, "fast.foc");  // acceleration
    Result r = Run({"diff", Sample("standard-b.foc"), changed});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "Acceleration (rpm/s)  300  ->  500\n");
    r = Run({"diff", Sample("standard-b.foc"), changed, "--json"});
    EXPECT_EQ(r.out,
              "{\"rows\": [\n  {\"set\": \"ParameterSettings\", \"row\": 46, \"name\": \"Acceleration (rpm/s)\", "
              "\"a\": \"300\", \"b\": \"500\"}\n]}\n");
    EXPECT_EQ(Run({"diff", Sample("standard-b.foc"), Sample("standard-b.foc")}).out, "");
}

TEST_F(Cli, BadFilesAndUsageExitTwoWithAMessage) {
    auto bytes = Read(Sample("standard-b.foc"));
    const std::string upper = Write("params.FOC", bytes);
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
        {{"check"}, "check takes FILE"},
        {{"frobnicate"}, "unknown command"},
        {{"--lang", "de", "show", shortFile}, "--lang takes en or cn"},
        {{"tables"}, "tables takes --json"},
        {{}, "no command"},
    };
    for (const Case& c : cases) {
        Result r = Run(c.args);
        EXPECT_EQ(r.rc, 2) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(Cli, LanguageFollowsTextIniUnlessForced) {
    const std::string sample = Sample("standard-b.foc");
    EXPECT_NE(Run({"show", sample}).out.find("Motor parameters"), std::string::npos);
    // Distributors write GBK: "电机" is B5 E7 BB FA.
    std::ofstream(dir_ + "/text.ini") << "9000=\xB5\xE7\xBB\xFA\r\n";
    EXPECT_NE(Run({"show", sample}).out.find("[电机]"), std::string::npos);
    EXPECT_NE(Run({"--lang", "en", "show", sample}).out.find("[Motor parameters]"), std::string::npos);
    EXPECT_NE(Run({"--lang=cn", "show", sample}).out.find("1: 开启"), std::string::npos);
}

TEST_F(Cli, TablesJsonHoldsTheFiveBuiltInSets) {
    Result r = Run({"tables", "--json"});
    ASSERT_EQ(r.rc, 0);
    size_t p = 0;
    for (const char* name : {"ParameterSettings", "FunctionSettingsA", "FunctionSettingsB", "ProfessionalSettings",
                             "FocSettings"}) {
        size_t at = r.out.find(std::string("{\"name\": \"") + name + "\"", p);
        ASSERT_NE(at, std::string::npos) << name;
        p = at;
    }
    EXPECT_NE(r.out.find("\"hint_en\": \"Controller has its maximum allowable input voltage,\\n\\nwhen higher"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"groups\": []}"), std::string::npos) << "FocSettings has no groups";
}

}  // namespace
