// The backup store: names that sort by time and say what the file is, no backup replacing
// another, the newest 1000 kept, and a listing that ignores what is not a backup.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "Backups.h"
#include "BlockBuilder.h"
#include "EditSheet.h"
#include "GridPasses.h"
#include "ParameterFiles.h"
#include "ToolState.h"

namespace dt {
namespace {

using test::TempDir;

std::time_t At(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

std::string Name(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// `count` one-byte backups named <year><0101 + i>-120000-read-c1-v300-B.foc in dir/b.
void FillWithBackups(const TempDir& dir, const char* year, int count) {
    std::filesystem::create_directories(dir.File("b"));
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%04d-120000-read-c1-v300-B.foc", year, 101 + i);
        std::ofstream(dir.File("b/") + name) << "x";
    }
}

TEST(Backups, NamesSayWhenWhatAndWhichController) {
    TempDir dir;
    ToolState standard = test::ReferenceController();
    standard.modelWord = 0x0400 | 300;  // customer 1, version 300
    standard.variant = VariantFor(standard.modelWord);
    const std::time_t t = At(2026, 12, 7, 22, 41, 7);
    std::string a, b, c, d;
    ASSERT_TRUE(SaveBackup(standard, BackupReason::Read, dir.File("backups"), t, a)) << a;
    const std::vector<unsigned char> first = ExportBytes(standard);
    standard.block.WriteWord(203, 3501);
    ASSERT_TRUE(SaveBackup(standard, BackupReason::Read, dir.File("backups"), t, b)) << b;
    standard.block.WriteWord(203, 3502);
    ASSERT_TRUE(SaveBackup(standard, BackupReason::Written, dir.File("backups"), t + 1, c)) << c;
    EXPECT_EQ(Name(a), "20261207-224107-read-c1-v300-B.foc");
    EXPECT_EQ(Name(b), "20261207-224107-read-c1-v300-B-2.foc") << "a second within the same second";
    EXPECT_EQ(Name(c), "20261207-224108-written-c1-v300-B.foc");
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(ReadParameterFile(a, bytes));
    EXPECT_TRUE(bytes == first) << "the bytes an Export writes";

    ToolState foc;
    foc.kind = ControllerKind::Foc;
    foc.foc.SetWord(22, 53);
    ASSERT_TRUE(SaveBackup(foc, BackupReason::Read, dir.File("backups"), t + 2, d)) << d;
    EXPECT_EQ(Name(d), "20261207-224109-read-foc.ged");
    ASSERT_TRUE(ReadParameterFile(d, bytes));
    EXPECT_EQ(bytes.size(), 32u);

    const std::vector<BackupEntry> list = ListBackups(dir.File("backups"));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].path, d);
    EXPECT_EQ(list[0].kind, ControllerKind::Foc);
    EXPECT_EQ(list[0].identity, "foc");
    EXPECT_EQ(list[1].path, c);
    EXPECT_EQ(list[1].reason, BackupReason::Written);
    EXPECT_EQ(list[2].path, b);
    EXPECT_EQ(list[3].path, a);
    EXPECT_EQ(list[3].time, "2026-12-07 22:41:07");
    EXPECT_EQ(list[3].identity, "c1-v300-B");
}

// The names read as the technician's clock: local time, whatever the zone.
TEST(Backups, NamesAreStampedInLocalTime) {
    const char* saved = std::getenv("TZ");
    const std::string before = saved ? saved : "";
    setenv("TZ", "XYZ-3", 1);  // three hours ahead of UTC
    tzset();
    TempDir dir;
    const std::time_t utc2241 = 1796683267;  // 2026-12-07 22:41:07 UTC
    std::string path;
    const bool saved2 = SaveBackup(test::ReferenceController(), BackupReason::Read, dir.File("b"), utc2241, path);
    if (saved) setenv("TZ", before.c_str(), 1);
    else unsetenv("TZ");
    tzset();
    ASSERT_TRUE(saved2) << path;
    EXPECT_EQ(Name(path).substr(0, 15), "20261208-014107");
}

TEST(Backups, ASetAlreadyKeptForTheSameControllerIsNotWrittenAgain) {
    TempDir dir;
    const std::string folder = dir.File("backups");
    ToolState s = test::ReferenceController();
    const std::time_t t = At(2026, 12, 8, 9, 0, 0);
    std::string first, again, changed, back;
    bool kept = true;
    ASSERT_TRUE(SaveBackup(s, BackupReason::Read, folder, t, first, kBackupsKept, &kept));
    EXPECT_FALSE(kept);
    ASSERT_TRUE(SaveBackup(s, BackupReason::Written, folder, t + 5, again, kBackupsKept, &kept));
    EXPECT_TRUE(kept);
    EXPECT_EQ(again, first);
    // Another set is kept; the first one again is then not the newest, so it is kept anew.
    s.block.WriteWord(203, 3600);
    ASSERT_TRUE(SaveBackup(s, BackupReason::Written, folder, t + 10, changed, kBackupsKept, &kept));
    EXPECT_FALSE(kept);
    s.block.WriteWord(203, 3500);
    ASSERT_TRUE(SaveBackup(s, BackupReason::Read, folder, t + 20, back, kBackupsKept, &kept));
    EXPECT_FALSE(kept);
    EXPECT_EQ(ListBackups(folder).size(), 3u);

    // The same values from another controller of the same kind and version: its own backup.
    test::IdentityWords other;
    other.ebsRev = 99;
    ToolState second = test::ReferenceController(other);
    second.block.WriteWord(203, 3500);
    std::string secondPath;
    ASSERT_TRUE(SaveBackup(second, BackupReason::Read, folder, t + 30, secondPath, kBackupsKept, &kept));
    EXPECT_FALSE(kept);
    EXPECT_EQ(ListBackups(folder).size(), 4u);
    // The first controller again: its own newest backup holds the set, whatever the other's holds.
    std::string firstAgain;
    ASSERT_TRUE(SaveBackup(s, BackupReason::Read, folder, t + 40, firstAgain, kBackupsKept, &kept));
    EXPECT_TRUE(kept);
    EXPECT_EQ(firstAgain, back);
}

// A station backs up a batch of one model on several threads at once: within one second each
// unit's set gets a name of its own, and a controller read again is still recognised.
TEST(Backups, ABatchBackedUpOnSeveralThreadsWithinOneSecond) {
    TempDir dir;
    const std::string folder = dir.File("b");
    const std::time_t t = At(2026, 12, 8, 9, 0, 0);
    std::vector<ToolState> units;
    for (int i = 0; i < 12; ++i) {
        test::IdentityWords words;
        words.ebsRev = static_cast<uint16_t>(10 + i);
        units.push_back(test::ReferenceController(words));
    }
    std::vector<std::string> paths(units.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < units.size(); ++i)
        threads.emplace_back([&, i] { SaveBackup(units[i], BackupReason::Read, folder, t, paths[i]); });
    for (std::thread& th : threads) th.join();
    std::set<std::string> names;
    for (size_t i = 0; i < units.size(); ++i) {
        std::vector<unsigned char> bytes;
        ASSERT_TRUE(ReadParameterFile(paths[i], bytes)) << paths[i];
        EXPECT_EQ(bytes, ExportBytes(units[i]));
        names.insert(Name(paths[i]));
    }
    EXPECT_EQ(names.size(), 12u);
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.find("-12.") != n.npos; }), 1);
    std::string again;
    bool kept = false;
    ASSERT_TRUE(SaveBackup(units[3], BackupReason::Read, folder, t + 60, again, kBackupsKept, &kept));
    EXPECT_TRUE(kept);
    EXPECT_EQ(again, paths[3]);
}

TEST(Backups, ABackupComparedWithTheSheet) {
    TempDir dir;
    ToolState s = test::ReferenceController();
    ShowOnSheet(s);
    std::string path;
    ASSERT_TRUE(SaveBackup(s, BackupReason::Read, dir.File("b"), At(2026, 12, 8, 9, 0, 0), path));
    BackupComparison same = CompareWithSheet(s, path);
    EXPECT_TRUE(same.comparable);
    EXPECT_TRUE(same.rows.empty());

    const int row = 46;  // acceleration
    const std::string held = s.sheet.Text(row);
    s.sheet.SetCell(row, "700");
    BackupComparison differs = CompareWithSheet(s, path);
    ASSERT_EQ(differs.rows.size(), 1u);
    EXPECT_EQ(differs.rows[0].row, row);
    EXPECT_EQ(differs.rows[0].shown, "700");
    EXPECT_EQ(differs.rows[0].kept, held);

    test::IdentityWords variantA;
    variantA.modelWord = 0x04D2;
    ToolState other = test::ReferenceController(variantA);
    ShowOnSheet(other);
    BackupComparison refused = CompareWithSheet(other, path);
    EXPECT_FALSE(refused.comparable);
    EXPECT_EQ(refused.refusal,
              "File does not match with the controller\nThe file is of function variant B; the controller is of variant A");
    EXPECT_FALSE(CompareWithSheet(s, dir.File("missing.foc")).comparable);
}

TEST(Backups, TheStoreKeepsTheNewestThousand) {
    TempDir dir;
    FillWithBackups(dir, "2025", 1005);
    std::ofstream(dir.File("b/notes.txt")) << "kept";
    std::ofstream(dir.File("b/20250101-120000-read-.foc")) << "no identity: not a backup";
    ToolState s = test::ReferenceController();
    std::string path;
    ASSERT_TRUE(SaveBackup(s, BackupReason::Written, dir.File("b"), At(2026, 1, 1, 0, 0, 0), path)) << path;
    const std::vector<BackupEntry> list = ListBackups(dir.File("b"));
    ASSERT_EQ(list.size(), 1000u);
    EXPECT_EQ(list.front().path, path);
    EXPECT_EQ(Name(list.back().path), "20250107-120000-read-c1-v300-B.foc");  // the six oldest are gone
    EXPECT_TRUE(std::filesystem::exists(dir.File("b/notes.txt")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("b/20250101-120000-read-.foc")));
}

// A clock that was once ahead (or a time zone change) leaves names that sort after today's: the
// backup just written must survive the pruning all the same.
TEST(Backups, TheBackupJustWrittenSurvivesAThousandLaterStampedOnes) {
    TempDir dir;
    FillWithBackups(dir, "2030", 1000);
    ToolState s = test::ReferenceController();
    std::string path;
    ASSERT_TRUE(SaveBackup(s, BackupReason::Read, dir.File("b"), At(2026, 1, 1, 0, 0, 0), path)) << path;
    EXPECT_TRUE(std::filesystem::exists(path));
    const std::vector<BackupEntry> list = ListBackups(dir.File("b"));
    ASSERT_EQ(list.size(), 1000u);
    EXPECT_EQ(Name(list.back().path), Name(path));
}

TEST(Backups, AFolderThatCannotBeMadeIsReported) {
    TempDir dir;
    test::WriteFile(dir.File("file"), "in the way");
    ToolState s = test::ReferenceController();
    std::string why;
    EXPECT_FALSE(SaveBackup(s, BackupReason::Read, dir.File("file/backups"), 0, why));
    EXPECT_NE(why.find("Not a directory"), std::string::npos) << why;
    EXPECT_TRUE(ListBackups(dir.File("absent")).empty());
}

TEST(Backups, FolderFollowsXdgDataHome) {
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", "/tmp/dt-data", 1);
    EXPECT_EQ(DefaultBackupDir(), "/tmp/dt-data/DriveTune/backups");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/root", 1);
    EXPECT_EQ(DefaultBackupDir(), std::string(std::getenv("HOME")) + "/.local/share/DriveTune/backups");
    if (old) setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace dt
