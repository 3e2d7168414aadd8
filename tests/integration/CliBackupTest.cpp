// Nothing lost on the command line: backups of every set read and written, a restore that reads
// first, and a download that reads its set back to prove the controller kept it.
#include <filesystem>
#include <set>

#include "Backups.h"
#include "CliHarness.h"
#include "Json.h"

using namespace clitest;
using dt::cli::Json;

namespace {

std::vector<std::string> Verbose(const Kind& k) {
    std::vector<std::string> args = k.simArgs;
    args.push_back("--verbose");
    return args;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
    return n;
}

}  // namespace

TEST_F(CliOnline, VerifyCatchesAWriteTheControllerDidNotKeep) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        const std::string edited = WriteTemp(std::string("edited") + Extension(k), k.edit(ReadFile(Sample(k.sample))));
        std::vector<std::string> dropping = Verbose(k);
        dropping.push_back("--drop-write");
        StartSim(dropping);
        CliResult r = Cli({"download", "--port", sim().Path(), edited, "--verify"});
        EXPECT_EQ(r.rc, 1) << r.err;
        EXPECT_EQ(r.out, std::string(k.editedRow) + "  " + k.editedValue + "  ->  " + k.factoryValue + "\n");
        EXPECT_EQ(r.err, "Download parameters successfully\n1 values read back differ from those sent\n");

        StartSim(dropping);
        r = Cli({"--lang", "cn", "download", "--verify", "--json", "--port", sim().Path(), edited});
        EXPECT_EQ(r.rc, 1);
        const Json rows = Json::parse(r.out).at("rows");
        ASSERT_EQ(rows.size(), 1u) << r.out;
        EXPECT_EQ(rows[0].at("sent").at("value"), k.editedValue);
        EXPECT_EQ(rows[0].at("readBack").at("value"), k.factoryValue);
        EXPECT_NE(r.err.find("回读的参数中有 1 个与写入的不同\n"), std::string::npos) << r.err;

        // A controller that keeps what it is sent passes; without --verify nothing is read back.
        StartSim(Verbose(k));
        r = Cli({"download", "--port", sim().Path(), edited, "--verify"});
        EXPECT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "Download parameters successfully\nThe values read back are those sent\n");
        EXPECT_EQ(Count(sim().StopAndLog(), "rx 0x10"), 2u);
        StartSim(Verbose(k));
        EXPECT_EQ(Cli({"download", "--port", sim().Path(), edited}).rc, 0);
        EXPECT_EQ(Count(sim().StopAndLog(), "rx 0x10"), 1u);
    }
}

TEST_F(CliOnline, BackupsListEverySetReadAndWrittenNewestFirst) {
    EXPECT_EQ(Cli({"backups"}).out, "");
    for (const Kind& k : Kinds()) {
        StartSim(k.simArgs);
        ASSERT_EQ(Cli({"upload", "--port", sim().Path()}).rc, 0);
        const std::string edited = WriteTemp(std::string("edited") + Extension(k), k.edit(ReadFile(Sample(k.sample))));
        ASSERT_EQ(Cli({"download", "--port", sim().Path(), edited}).rc, 0);
    }
    CliResult r = Cli({"backups", "--json"});
    ASSERT_EQ(r.rc, 0) << r.err;
    const Json list = Json::parse(r.out);
    EXPECT_EQ(list.at("folder"), Dir() + "/data/DriveTune/backups");
    std::multiset<std::string> seen;
    std::string previousTime = "9999", writtenFoc;
    for (const Json& b : list.at("backups")) {
        seen.insert(b.at("reason").get<std::string>() + " " + b.at("kind").get<std::string>() + " " +
                    b.at("identity").get<std::string>());
        EXPECT_LE(b.at("time").get<std::string>(), previousTime) << "newest first";
        previousTime = b.at("time");
        if (b.at("reason") == "written" && b.at("kind") == "foc") writtenFoc = b.at("path");
    }
    // Each download reads the controller first (a set already kept is not kept again), then keeps
    // the set it writes.
    EXPECT_EQ(seen, (std::multiset<std::string>{"written foc foc", "read foc foc", "written standard c1-v300-B",
                                                "read standard c1-v300-B"}));
    EXPECT_EQ(ReadFile(writtenFoc), ReadFile(Dir() + "/edited.ged")) << "the set written, as a file";

    r = Cli({"backups"});
    EXPECT_EQ(Count(r.out, "\n"), 4u);
    EXPECT_NE(r.out.find("  written  foc       foc        " + writtenFoc + "\n"), std::string::npos) << r.out;
}

TEST_F(CliOnline, RestoreReadsAndKeepsTheSetItReplaces) {
    StartSim({"--verbose"});
    const std::string edited = WriteTemp("edited.foc", Kinds()[0].edit(ReadFile(Sample("standard-b.foc"))));
    ASSERT_EQ(Cli({"download", "--port", sim().Path(), edited}).rc, 0);
    const size_t before = dt::ListBackups(dt::DefaultBackupDir()).size();

    CliResult r = Cli({"restore", "--port", sim().Path()});
    ASSERT_EQ(r.rc, 0) << r.err;
    const auto backups = dt::ListBackups(dt::DefaultBackupDir());
    // The set replaced is the one the download kept; only the factory set read after is new.
    ASSERT_EQ(backups.size(), before + 1);
    EXPECT_EQ(ReadFile(backups[1].path), ReadFile(edited));
    EXPECT_TRUE(Contains(r.err, "The replaced set is kept in the backup " +
                                    std::filesystem::path(backups[1].path).filename().string() + "\n"))
        << r.err;

    r = Cli({"restore", "--port", sim().Path(), "--no-backup"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(dt::ListBackups(dt::DefaultBackupDir()).size(), before + 1) << "the factory set, kept already";
    sim().StopAndLog();

    // No read, no backup: nothing is restored.
    StartSim({"--silent", "--verbose"});
    r = Cli({"restore", "--port", sim().Path()});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.find("so no backup of them exists; the factory parameters were not restored"), std::string::npos)
        << r.err;
    EXPECT_EQ(sim().StopAndLog().find("rx 0x81"), std::string::npos);
}

// The read before a restore is there for its backup: when the backup cannot be written (the
// folder full, read-only, or a file in its place), nothing is restored unless --no-backup says so.
TEST_F(CliOnline, RestoreStopsWhenTheBackupCannotBeWritten) {
    const std::string folder = dt::DefaultBackupDir();
    std::system(("rm -rf '" + folder + "' && mkdir -p \"$(dirname '" + folder + "')\" && echo x > '" + folder + "'").c_str());
    StartSim({"--verbose"});
    CliResult r = Cli({"restore", "--port", sim().Path()});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.find("The backup of the controller's parameters could not be written, so the factory parameters "
                         "were not restored"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(sim().StopAndLog().find("rx 0x81"), std::string::npos) << "no factory reset was asked for";

    StartSim({"--verbose"});
    r = Cli({"restore", "--port", sim().Path(), "--no-backup"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(sim().StopAndLog().find("rx 0x81"), std::string::npos);
    std::remove(folder.c_str());
}
