// The command line that edits: rows named by a stable id or a unique name, new values checked as a
// download checks them, and check's verdict for every file, folders included.
#include <fstream>
#include <set>

#include "CliFolderTest.h"

namespace clitest {
namespace {

using dt::cli::Json;

struct Result {
    int rc;
    std::string out;
    std::string err;
};

class CliEdit : public CliFolder {
protected:
    Result Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int rc = dt::cli::Run(args, out, err, dir_ + "/text.ini");
        return {rc, out.str(), err.str()};
    }
    // The shown value of a row of FILE, by id.
    std::string ValueOf(const std::string& file, const std::string& id) {
        const Json sheet = Output({"show", "--json", file});
        for (const Json& row : sheet.at("rows"))
            if (row.at("id") == id) return row.at("value");
        return "(none)";
    }
    std::string Copy(const std::string& sample, const std::string& to) {
        std::filesystem::copy_file(Sample(sample), to);
        return to;
    }
};

TEST_F(CliEdit, IdsAreUniqueAndTheSameInEveryLanguage) {
    for (const char* sample : {"standard-a.foc", "standard-b.foc", "foc.ged"}) {
        const Json en = Output({"--lang", "en", "show", "--json", Sample(sample)});
        const Json cn = Output({"--lang", "cn", "show", "--json", Sample(sample)});
        ASSERT_EQ(en.at("rows").size(), cn.at("rows").size());
        std::set<std::string> ids;
        for (size_t i = 0; i < en.at("rows").size(); ++i) {
            const Json& e = en.at("rows")[i];
            EXPECT_EQ(e.at("id"), cn.at("rows")[i].at("id"));
            EXPECT_EQ(e.at("id"), e.at("set").get<std::string>() + "." + std::to_string(e.at("row").get<int>()));
            ids.insert(e.at("id").get<std::string>());
        }
        EXPECT_EQ(ids.size(), en.at("rows").size()) << sample;
    }
}

TEST_F(CliEdit, SetWritesTheChangedSetAfterTheDownloadsCheck) {
    const std::string out = dir_ + "/out.foc";
    Result r = Run({"set", Sample("standard-b.foc"), "ParameterSettings.46=500", "-o", out});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "Acceleration (rpm/s)  300  ->  500\n");
    EXPECT_EQ(ValueOf(out, "ParameterSettings.46"), "500");
    EXPECT_EQ(ValueOf(out, "ParameterSettings.47"), ValueOf(Sample("standard-b.foc"), "ParameterSettings.47"));

    // A name in either language, in any case in English; a voltage pick writes its rows as the window's does.
    const Json cn = Output({"--lang", "cn", "show", "--json", Sample("standard-b.foc")});
    std::string chinese;
    for (const Json& row : cn.at("rows"))
        if (row.at("id") == "ParameterSettings.46") chinese = row.at("name");
    ASSERT_EQ(Run({"set", Sample("standard-b.foc"), "acceleration (rpm/s)=400", chinese + "=450", "-o", out}).rc, 0);
    EXPECT_EQ(ValueOf(out, "ParameterSettings.46"), "450");
    ASSERT_EQ(Run({"set", Sample("standard-b.foc"), "ParameterSettings.6=72", "-o", out}).rc, 0);
    EXPECT_EQ(ValueOf(out, "ParameterSettings.6"), "72");
    EXPECT_NE(ValueOf(out, "ParameterSettings.7"), ValueOf(Sample("standard-b.foc"), "ParameterSettings.7"));

    const std::string ged = dir_ + "/out.ged";
    ASSERT_EQ(Run({"set", Sample("foc.ged"), "FocSettings.9=50", "-o", ged}).rc, 0);
    EXPECT_EQ(ValueOf(ged, "FocSettings.9"), "50");

    // To standard output: the set's bytes alone, as the file holds them.
    ASSERT_EQ(Run({"set", Sample("standard-b.foc"), "ParameterSettings.46=500", "-o", out}).rc, 0);
    r = Run({"set", Sample("standard-b.foc"), "ParameterSettings.46=500", "-o", "-"});
    EXPECT_EQ(r.rc, 0) << r.err;
    std::ifstream written(out, std::ios::binary);
    EXPECT_EQ(r.out, std::string(std::istreambuf_iterator<char>(written), {}));
}

TEST_F(CliEdit, SetRefusesAndWritesNothing) {
    const std::string out = dir_ + "/out.foc";
    struct Case {
        std::vector<std::string> assignments;
        int rc;
        const char* says;
    } cases[] = {
        {{"ParameterSettings.46=5000"}, 1, "Acceleration (rpm/s): 50.0 ≤ x ≤ 800.0"},
        {{"ParameterSettings.46=500", "ParameterSettings.3=1"}, 1, "Number of pole pairs: 2.0 ≤ x ≤ 28.0"},
        {{"Cruise mode throttle minimum voltage (V)=2"}, 2, "names several rows; use one of the ids FunctionSettings."},
        {{"Nope=1"}, 2, "no row is called \"Nope\""},
        {{"ParameterSettings.46"}, 2, "expected ID=VALUE"},
        {{"ParameterSettings.14=maybe"}, 2, "takes one of: \"0:Disable\" \"1:Enable\"; not \"maybe\""},
        {{"ParameterSettings.49=202701"}, 2, "(Warranty Date) is read-only"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"set", Sample("standard-b.foc")};
        args.insert(args.end(), c.assignments.begin(), c.assignments.end());
        args.insert(args.end(), {"-o", out});
        const Result r = Run(args);
        EXPECT_EQ(r.rc, c.rc) << c.says;
        EXPECT_NE((c.rc == 1 ? r.out : r.err).find(c.says), std::string::npos) << r.err << r.out;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.says;
    }
    EXPECT_EQ(Run({"set", Sample("standard-b.foc"), "ParameterSettings.46=500"}).rc, 2) << "no -o";
    EXPECT_EQ(Run({"set", Sample("standard-b.foc"), "ParameterSettings.46=500", "-o", dir_ + "/x.ged"}).rc, 2);
    EXPECT_EQ(Run({"set", Sample("standard-b.foc"), "-o", out}).rc, 2) << "nothing to set";
    const Result unwritable = Run({"set", Sample("standard-b.foc"), "ParameterSettings.46=500", "-o", dir_ + "/no/out.foc"});
    EXPECT_EQ(unwritable.rc, 2);
    EXPECT_NE(unwritable.err.find("cannot write " + dir_ + "/no/out.foc"), std::string::npos) << unwritable.err;
    // A refusal in JSON, on standard output as check prints it.
    const Result json = Run({"set", Sample("standard-b.foc"), "ParameterSettings.46=5000", "-o", out, "--json"});
    EXPECT_EQ(json.rc, 1);
    EXPECT_EQ(Json::parse(json.out).at("accepted"), false) << json.out;
}

TEST_F(CliEdit, CheckSaysOkPerFileTakesFoldersAndNamesWhatItCannotCheck) {
    const std::string folder = dir_ + "/sets";
    std::filesystem::create_directories(folder);
    Copy("standard-b.foc", folder + "/b.foc");
    Copy("invalid.foc", folder + "/c.foc");
    Copy("foc.ged", folder + "/a.GED");
    std::ofstream(folder + "/notes.txt") << "not a set";
    Result r = Run({"check", folder});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "==> " + folder + "/a.GED <==\nok\n\n==> " + folder + "/b.foc <==\nok\n");
    EXPECT_EQ(r.err, "drivetune-cli: " + folder +
                         "/c.foc: the values cannot be checked, its identity words (calibration, for example) are "
                         "not valid, so every value would pass\n");

    const Json json = Output({"check", "--json", folder, Sample("standard-a.foc")});
    std::vector<bool> checked;
    for (const Json& f : json.at("files")) checked.push_back(f.at("checked"));
    EXPECT_EQ(checked, (std::vector<bool>{true, true, false, true}));
}

}  // namespace
}  // namespace clitest
