// Files the tool writes and reads: a failed write leaves the old file as it was, and a folder or a
// missing file is refused with the system's reason.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "Backups.h"
#include "BlockBuilder.h"
#include "LanguageSetup.h"
#include "ParameterFiles.h"
#include "Settings.h"
#include "WriteFailure.h"

// A file system without the no-replace rename (some network and FUSE ones), while set: this
// program's renameat2 takes the place of the C library's.
static bool gNoRenameNoReplace = false;

extern "C" int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                         unsigned flags) noexcept {
    if (gNoRenameNoReplace) {
        errno = EINVAL;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_renameat2, olddirfd, oldpath, newdirfd, newpath, flags));
}

// While set, every fsync is noted with the path its descriptor names.
static std::vector<std::string>* gSynced = nullptr;

extern "C" int fsync(int fd) noexcept {
    if (gSynced) {
        char target[4096];
        const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target - 1);
        gSynced->push_back(n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string());
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace dt {
namespace {

using test::TempDir;
using Bytes = std::vector<unsigned char>;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(old_); }

private:
    mode_t old_;
};

size_t FilesIn(const std::string& dir) {
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(dir); it != std::filesystem::directory_iterator(); ++it) ++n;
    return n;
}

TEST(AtomicFile, AFailedWriteKeepsTheOldFileByteForByte) {
    TempDir dir;
    const std::string path = dir.File("keep.foc");
    test::WriteFile(path, std::string(1024, 'K'));
    std::string why;
    {
        test::FileSizeLimit limit(100);  // the 1024-byte write runs out of room
        EXPECT_FALSE(WriteFileAtomically(path, Bytes(1024, 0x55), why));
    }
    EXPECT_EQ(why, "File too large");
    EXPECT_EQ(test::ReadFile(path), std::string(1024, 'K'));
    EXPECT_EQ(FilesIn(dir.path()), 1u) << "the temporary file is removed";

    // A new file is not created half written either.
    {
        test::FileSizeLimit limit(100);
        EXPECT_FALSE(WriteFileAtomically(dir.File("new.foc"), Bytes(1024, 0x55), why));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.foc")));

    ASSERT_TRUE(WriteFileAtomically(path, Bytes(1024, 0x55), why)) << why;
    EXPECT_EQ(test::ReadFile(path), std::string(1024, 'U'));
}

TEST(AtomicFile, FoldersAndMissingFilesAreRefusedWithTheirReason) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("x.foc"));
    std::string why;
    EXPECT_FALSE(WriteFileAtomically(dir.File("x.foc"), Bytes(4, 1), why));
    EXPECT_EQ(why, "Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("x.foc")));

    Bytes content;
    EXPECT_FALSE(ReadFileChecked(dir.File("x.foc"), content, why));
    EXPECT_EQ(why, "Is a directory");
    EXPECT_FALSE(ReadFileChecked(dir.File("absent.foc"), content, why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/folder/a.foc"), Bytes(4, 1), why));
    EXPECT_EQ(why, "No such file or directory");

    test::WriteFile(dir.File("long.foc"), std::string(3000, 'L'));
    ASSERT_TRUE(ReadFileChecked(dir.File("long.foc"), content, why, 1024));
    EXPECT_EQ(content.size(), 1024u);
}

TEST(AtomicFile, SettingsSurviveAFailedSave) {
    TempDir dir;
    const std::string path = dir.File("DriveTune/DriveTune.ini");
    Settings s;
    s.UartPort = 7;
    ASSERT_TRUE(SaveSettings(path, s));
    const std::string before = test::ReadFile(path);
    s.UartPort = 9;
    {
        test::FileSizeLimit limit(5);
        EXPECT_FALSE(SaveSettings(path, s));
    }
    EXPECT_EQ(test::ReadFile(path), before);
    EXPECT_EQ(LoadSettings(path).UartPort, 7);

    // A folder where the settings file belongs: nothing written, defaults read, no crash.
    std::filesystem::create_directories(dir.File("other/DriveTune.ini"));
    EXPECT_FALSE(SaveSettings(dir.File("other/DriveTune.ini"), s));
    EXPECT_EQ(LoadSettings(dir.File("other/DriveTune.ini")).UartPort, 1);
}

TEST(AtomicFile, AFolderNamedTextIniIsNoTextIni) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("text.ini"));
    ToolState s;
    ApplyLanguage(s, dir.File("text.ini"));
    EXPECT_EQ(s.language, LANG_ENGLISH);
}

TEST(AtomicFile, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
    TempDir dir;
    std::string why;
    {
        ScopedUmask mask(077);  // a customer's set must not become readable by every user
        ASSERT_TRUE(WriteFileAtomically(dir.File("private.foc"), Bytes(4, 1), why)) << why;
        EXPECT_EQ(ModeOf(dir.File("private.foc")), 0600u);
    }
    ScopedUmask mask(022);
    ASSERT_TRUE(WriteFileAtomically(dir.File("shared.foc"), Bytes(4, 1), why)) << why;
    EXPECT_EQ(ModeOf(dir.File("shared.foc")), 0644u);

    ::chmod(dir.File("private.foc").c_str(), 0600);
    ASSERT_TRUE(WriteFileAtomically(dir.File("private.foc"), Bytes(4, 2), why)) << why;
    EXPECT_EQ(ModeOf(dir.File("private.foc")), 0600u);
    ::chmod(dir.File("shared.foc").c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(dir.File("shared.foc"), Bytes(4, 2), why)) << why;
    EXPECT_EQ(ModeOf(dir.File("shared.foc")), 0640u);
}

TEST(AtomicFile, ANameOfTheFullLengthCanBeWritten) {
    TempDir dir;
    const std::string path = dir.File(std::string(251, 'n') + ".foc");  // 255 bytes
    std::string why;
    ASSERT_TRUE(WriteFileAtomically(path, Bytes(1024, 7), why)) << why;
    ASSERT_TRUE(WriteFileAtomically(path, Bytes(1024, 8), why)) << why;
    EXPECT_EQ(test::ReadFile(path), std::string(1024, 8));
    EXPECT_EQ(FilesIn(dir.path()), 1u);
}

// The rename is the last step; when it fails (here: a sticky folder where another user's file
// may not be replaced) the old file stays and no temporary file is left behind.
TEST(AtomicFile, AFailedRenameIsReportedAndLeavesNoTemporaryFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const std::string sticky = dir.File("shared");
    ::mkdir(sticky.c_str(), 0755);
    ::chmod(sticky.c_str(), 01777);
    const std::string path = sticky + "/root.foc";
    test::WriteFile(path, "root's");
    ::chmod(path.c_str(), 0666);

    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
        std::string why;
        if (WriteFileAtomically(path, Bytes(4, 1), why)) ::_exit(11);
        ::_exit(why == "Operation not permitted" ? 0 : 12);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: could not become nobody, 11: reported success, 12: other reason";
    EXPECT_EQ(test::ReadFile(path), "root's");
    EXPECT_EQ(FilesIn(sticky), 1u) << "the temporary file is removed";
}

TEST(AtomicFile, ANewFileNeverReplacesOneThatIsThere) {
    TempDir dir;
    const std::string path = dir.File("taken.foc");
    test::WriteFile(path, "first");
    std::string why;
    bool taken = false;
    EXPECT_FALSE(WriteNewFileAtomically(path, Bytes(4, 1), why, taken));
    EXPECT_TRUE(taken);
    EXPECT_EQ(test::ReadFile(path), "first");
    EXPECT_EQ(FilesIn(dir.path()), 1u);

    EXPECT_FALSE(WriteNewFileAtomically(dir.File("no/folder.foc"), Bytes(4, 1), why, taken));
    EXPECT_FALSE(taken);
    EXPECT_EQ(why, "No such file or directory");
    ASSERT_TRUE(WriteNewFileAtomically(dir.File("fresh.foc"), Bytes(4, 1), why, taken)) << why;
    EXPECT_EQ(test::ReadFile(dir.File("fresh.foc")), std::string(4, 1));
}

TEST(AtomicFile, WithoutTheNoReplaceRenameANewNameIsStillTakenOnceAndNoTemporaryStays) {
    TempDir dir;
    gNoRenameNoReplace = true;
    std::string why;
    bool taken = false;
    const bool first = WriteNewFileAtomically(dir.File("a.foc"), Bytes(4, 1), why, taken);
    const bool second = WriteNewFileAtomically(dir.File("a.foc"), Bytes(4, 2), why, taken);
    gNoRenameNoReplace = false;
    EXPECT_TRUE(first);
    EXPECT_FALSE(second);
    EXPECT_TRUE(taken);
    EXPECT_EQ(test::ReadFile(dir.File("a.foc")), std::string(4, 1));
    EXPECT_EQ(FilesIn(dir.path()), 1u) << "a temporary file was left";
}

// A power cut right after a save must find the new file under its name: the content reaches the
// disk before the rename, the new name with its folder after it.
TEST(AtomicFile, TheContentAndThenTheFolderReachTheDisk) {
    TempDir dir;
    const std::string folder = std::filesystem::canonical(dir.path()).string();
    std::vector<std::string> synced;
    std::string why;
    bool taken = false;
    gSynced = &synced;
    const bool replaced = WriteFileAtomically(dir.File("a.foc"), Bytes(4, 1), why);
    const bool created = WriteNewFileAtomically(dir.File("b.foc"), Bytes(4, 2), why, taken);
    gSynced = nullptr;
    ASSERT_TRUE(replaced && created) << why;
    ASSERT_EQ(synced.size(), 4u);
    for (size_t i : {0u, 2u}) {
        EXPECT_EQ(synced[i].rfind(folder + "/.dt-", 0), 0u) << synced[i];
        EXPECT_EQ(synced[i + 1], folder);
    }
}

// What is not a regular file could block for ever (a FIFO) or never end (/dev/zero); a huge
// parameter file is read no further than its block.
TEST(AtomicFile, OnlyRegularFilesAreReadAndParameterFilesOnlyAsFarAsTheirBlock) {
    TempDir dir;
    ::mkfifo(dir.File("fifo.foc").c_str(), 0600);
    Bytes content;
    std::string why;
    EXPECT_FALSE(ReadFileChecked(dir.File("fifo.foc"), content, why));
    EXPECT_EQ(why, "Not a regular file");
    EXPECT_FALSE(ReadParameterFile("/dev/zero", content, why));
    EXPECT_EQ(why, "Not a regular file");

    const std::string huge = dir.File("huge.foc");
    const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(::ftruncate(fd, 2LL * 1024 * 1024 * 1024), 0);  // sparse: costs no disk
    ::close(fd);
    ASSERT_TRUE(ReadParameterFile(huge, content, why)) << why;
    EXPECT_EQ(content.size(), 1025u);
}

TEST(AtomicFile, ATextIniThatIsADeviceAFifoOrHugeLeavesTheBuiltInTexts) {
    TempDir dir;
    std::filesystem::create_symlink("/dev/zero", dir.File("text.ini"));
    ::mkfifo(dir.File("fifo.ini").c_str(), 0600);
    for (const char* name : {"text.ini", "fifo.ini"}) {
        ToolState s;
        ApplyLanguage(s, dir.File(name));
        EXPECT_EQ(s.language, LANG_CHINESE) << name;
        EXPECT_EQ(s.Message(MSG_TIMEOUT), "超时无响应") << name;
    }
    // Far larger than any text table: not read at all, so its overrides do not apply either.
    test::WriteFile(dir.File("huge.ini"), "2000=overridden\r\n" + std::string(4 * 1024 * 1024, '#'));
    ToolState s;
    ApplyLanguage(s, dir.File("huge.ini"));
    EXPECT_EQ(s.language, LANG_CHINESE);
    EXPECT_NE(s.texts.messages[LANG_CHINESE][0], "overridden");
    test::WriteFile(dir.File("small.ini"), "2000=overridden\r\n");
    ApplyLanguage(s, dir.File("small.ini"));
    EXPECT_EQ(s.texts.messages[LANG_CHINESE][0], "overridden") << "the same line in a small file applies";

    // A settings path that is a FIFO reads as the defaults.
    EXPECT_EQ(LoadSettings(dir.File("fifo.ini")).UartPort, 1);
}

// Two benches reading controllers of the same identity in the same second: both sets are kept.
TEST(BackupStore, TwoProcessesInTheSameSecondNeverShareAName) {
    TempDir dir;
    const std::string folder = dir.File("b");
    ToolState s = test::ReferenceController();
    const std::time_t now = std::time_t(1796720400);
    constexpr int kEach = 40;
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        const pid_t child = ::fork();
        if (child == 0) {
            std::string path;
            // A set of its own each time: the same set again would not be kept again.
            for (int i = 0; i < kEach; ++i) {
                s.block.WriteWord(203, static_cast<uint16_t>(1000 + p * kEach + i));
                if (!SaveBackup(s, BackupReason::Read, folder, now, path)) ::_exit(1);
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::vector<BackupEntry> list = ListBackups(folder);
    std::set<std::string> names;
    for (const BackupEntry& e : list) names.insert(std::filesystem::path(e.path).filename().string());
    EXPECT_EQ(names.size(), 80u);
    for (const BackupEntry& e : list) EXPECT_EQ(test::ReadFile(e.path).size(), 1024u) << e.path;
}

}  // namespace
}  // namespace dt
