// The settings file: exact private-profile text, defaults and the leading-integer rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "BlockBuilder.h"
#include "Settings.h"

namespace dt {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(Settings, FreshFileHasExactlyTheThreeKeys) {
    TempDir dir;
    const std::string path = dir.File("DriveTune/DriveTune.ini");  // folder created on demand
    EXPECT_TRUE(SaveSettings(path, Settings{3, 9600, 1}));
    EXPECT_EQ(ReadFile(path), "[Tavo GUI]\nUartPort=3\nBaudrate=9600\nLanguage=1\n");

    Settings back = LoadSettings(path);
    EXPECT_EQ(back.UartPort, 3);
    EXPECT_EQ(back.Baudrate, 9600);
    EXPECT_EQ(back.Language, 1);

    EXPECT_TRUE(SaveSettings(path, Settings{0, 115200, 0}));  // the port box may store 0
    EXPECT_EQ(ReadFile(path), "[Tavo GUI]\nUartPort=0\nBaudrate=115200\nLanguage=0\n");
}

TEST(Settings, MissingFileGivesDefaults) {
    TempDir dir;
    Settings s = LoadSettings(dir.File("none.ini"));
    EXPECT_EQ(s.UartPort, 1);
    EXPECT_EQ(s.Baudrate, 9600);
    EXPECT_EQ(s.Language, 0);
}

TEST(Settings, ValuesAreReadByTheLeadingIntegerRules) {
    struct Case {
        const char* file;
        int port, baud, language;
    };
    const Case cases[] = {
        {"[Tavo GUI]\nUartPort=COM3\nBaudrate=-5\nLanguage=7\n", 1, 9600, 0},
        {"[Tavo GUI]\nUartPort=0\nBaudrate=\nLanguage=\n", 1, 9600, 0},
        {"[Tavo GUI]\r\nUartPort= 12abc\r\nBaudrate=19200\r\nLanguage=1\r\n", 12, 19200, 1},
        {"[tavo gui]\nuartport=\"4\"\n", 4, 9600, 0},
        {"[Other]\nUartPort=5\nBaudrate=4800\nLanguage=1\n", 1, 9600, 0},
        {"[Tavo GUI]\nUartPort=-2\n[Other]\nBaudrate=4800\n", 1, 9600, 0},
        // Beyond the int range the value saturates rather than wrapping onto a small number; a
        // port beyond COM1024, which no port box or --port can name, is the first one.
        {"[Tavo GUI]\nUartPort=4294967299\nBaudrate=-4294957696\nLanguage=4294967297\n", 1, 9600, 0},
        {"[Tavo GUI]\nUartPort=1025\n", 1, 9600, 0},
        {"[Tavo GUI]\nUartPort=1024\n", 1024, 9600, 0},
    };
    TempDir dir;
    const std::string path = dir.File("DriveTune.ini");
    for (const Case& c : cases) {
        WriteFile(path, c.file);
        Settings s = LoadSettings(path);
        EXPECT_EQ(s.UartPort, c.port) << c.file;
        EXPECT_EQ(s.Baudrate, c.baud) << c.file;
        EXPECT_EQ(s.Language, c.language) << c.file;
    }
}

TEST(Settings, SavingKeepsEverythingElseInTheFile) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"[Other]\nKey=Value\n\n[Tavo GUI]\nUartPort=5\nExtra=1\n",
         "[Other]\nKey=Value\n\n[Tavo GUI]\nUartPort=3\nExtra=1\nBaudrate=9600\nLanguage=1\n"},
        {"[Tavo GUI]\nLanguage=0\nUartPort=5\n\n[Later]\nUartPort=9\n",
         "[Tavo GUI]\nLanguage=1\nUartPort=3\nBaudrate=9600\n\n[Later]\nUartPort=9\n"},
        {"; note\n[Other]\nA=1\n", "; note\n[Other]\nA=1\n[Tavo GUI]\nUartPort=3\nBaudrate=9600\nLanguage=1\n"},
    };
    TempDir dir;
    const std::string path = dir.File("DriveTune.ini");
    for (const Case& c : cases) {
        WriteFile(path, c.before);
        SaveSettings(path, Settings{3, 9600, 1});
        EXPECT_EQ(ReadFile(path), c.after);
    }
}

TEST(Settings, PathFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(DefaultSettingsPath(), "/tmp/xdg-test/DriveTune/DriveTune.ini");
    EXPECT_EQ(SettingsFolder(DefaultSettingsPath()), "/tmp/xdg-test/DriveTune");
    if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace dt
