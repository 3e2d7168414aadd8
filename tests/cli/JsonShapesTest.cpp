// docs/json.md against the programs: every shape it shows is what the command prints, member for
// member, in order, of the same types.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "Backups.h"
#include "CliFolderTest.h"
#include "Journal.h"
#include "JsonShapes.h"
#include "Json.h"
#include "ScopedXdgHome.h"
#include "ToolState.h"

namespace {

using dt::cli::Json;

using clitest::Sample;

using jsonshapes::DocumentedShapes;
using jsonshapes::ExpectShape;

using JsonShapes = clitest::CliFolder;

TEST_F(JsonShapes, EveryDocumentedShapeIsWhatTheCommandPrints) {
    // A set the range check refuses: one pole pair.
    std::ifstream sample(Sample("standard-b.foc"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(sample)), {});
    bytes[2 * 256 + 2 * 2] = 0, bytes[2 * 256 + 2 * 2 + 1] = 1;
    const std::string bad = dir_ + "/bad.foc";
    std::ofstream(bad, std::ios::binary) << bytes;
    // One backup, and one bound port.
    dt::ToolState s;
    std::string path;
    ASSERT_TRUE(dt::SaveBackup(s, dt::BackupReason::Read, dt::DefaultBackupDir(), 0, path)) << path;
    std::filesystem::create_directories(dir_ + "/config/DriveTune/ports");
    std::filesystem::create_symlink("/dev/null", dir_ + "/config/DriveTune/ports/com7");
    // One attempt that failed, in the station's journal.
    record::Journal journal;
    record::Attempt attempt;
    attempt.id = record::NewAttemptId();
    attempt.started = "2026-12-08T13:30:47.123Z";
    ASSERT_TRUE(journal.Open(record::Journal::DefaultPath(), path) && journal.Begin(attempt, path)) << path;
    attempt.outcome = record::Outcome::Fail;
    attempt.cause = "read back differs";
    attempt.roundedJson = "[]";
    ASSERT_TRUE(journal.Complete(attempt, path)) << path;

    const std::map<std::string, std::vector<std::string>> runs = {
        {"tables --json", {"tables", "--json"}},
        {"show FILE --json", {"show", Sample("standard-b.foc"), "--json"}},
        {"check FILE... --json", {"check", bad, Sample("foc.ged"), "--json"}},
        {"diff A B --json", {"diff", "--json", Sample("standard-a.foc"), Sample("standard-b.foc")}},
        {"backups --json", {"backups", "--json"}},
        {"ports --json", {"ports", "--json"}},
        {"record --json", {"record", "--json"}},
        {"record report --json", {"record", "report", "--json", "--by", "day", "--since", "2026-12-01"}},
    };
    const std::map<std::string, int> status = {{"check FILE... --json", 1}, {"diff A B --json", 1}};
    // Shapes of the commands that need a controller; the integration tests check them.
    const std::set<std::string> online = {"program FILE --port P --json"};
    const std::map<std::string, Json> shapes = DocumentedShapes();
    std::vector<std::string> documented;
    for (const auto& [heading, shape] : shapes) {
        if (online.count(heading)) continue;
        documented.push_back(heading);
        ASSERT_TRUE(runs.count(heading)) << "a shape no test runs: " << heading;
        const Json out = Output(runs.at(heading), status.count(heading) ? status.at(heading) : 0);
        ExpectShape(shape, out, heading);
        EXPECT_EQ(out.begin().key(), "schema") << heading;
        EXPECT_EQ(out.at("schema"), 1) << heading;
        // Every list the example shows holds something here, or its shape would go unchecked.
        for (const auto& item : out.items()) {
            if (item.value().is_array()) {
                EXPECT_FALSE(item.value().empty()) << heading << "." << item.key();
            }
        }
    }
    EXPECT_EQ(documented.size(), runs.size()) << "every command with JSON is described";
}

}  // namespace
