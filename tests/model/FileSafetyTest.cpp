// Files the tool writes and reads: a failed write leaves the old file as it was, and a folder or a
// missing file is refused with the system's reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "BlockBuilder.h"
#include "LanguageSetup.h"
#include "Settings.h"
#include "WriteFailure.h"

namespace dt {
namespace {

using test::TempDir;
using Bytes = std::vector<unsigned char>;

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

}  // namespace
}  // namespace dt
