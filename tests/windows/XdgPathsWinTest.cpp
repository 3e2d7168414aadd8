// Where the tool's files live on Windows: %APPDATA%, unless an absolute XDG folder is given.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Backups.h"
#include "Settings.h"
#include "XdgPaths.h"

using namespace dt;

namespace {

class XdgPathsWin : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        had_ = old != nullptr;
        old_ = old ? old : "";
        oldAppData_ = std::getenv("APPDATA") ? std::getenv("APPDATA") : "";
    }
    void TearDown() override {
        if (had_) setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
    }
    bool had_ = false;
    std::string old_;
    std::string oldAppData_;
};

TEST_F(XdgPathsWin, AbsoluteFoldersWinOthersGiveAppData) {
    struct Case {
        const char* value;
        bool kept;
    } cases[] = {
        {"C:\\Tools\\cfg", true}, {"d:/cfg", true}, {"\\\\server\\share", true}, {"/cfg", true},
        {"relative\\cfg", false}, {"C:", false}, {"", false},
    };
    for (const Case& c : cases) {
        setenv("XDG_CONFIG_HOME", c.value, 1);
        const std::string dir = XdgBaseDir("XDG_CONFIG_HOME", ".config");
        if (c.kept) {
            EXPECT_EQ(dir, c.value);
        } else {
            EXPECT_NE(dir, c.value) << c.value;
            EXPECT_EQ(dir.find(".config"), std::string::npos) << dir;
        }
    }
}

TEST_F(XdgPathsWin, SettingsAndBackupsSitUnderDriveTuneInAppData) {
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    const std::string appData = XdgBaseDir("XDG_CONFIG_HOME", ".config");
    ASSERT_FALSE(appData.empty());
    EXPECT_NE(appData.find(":"), std::string::npos) << appData;  // a drive, not a home-relative path
    EXPECT_EQ(DefaultSettingsPath(), appData + "/DriveTune/DriveTune.ini");
    EXPECT_EQ(DefaultBackupDir(), appData + "/DriveTune/backups");
}

}  // namespace
