#pragma once
// Where the window finds its files: the settings file, and text.ini and logo.png in the
// working directory.
#include <string>

#include "Backups.h"
#include "Settings.h"

struct AppPaths {
    std::string settingsPath;
    std::string textIniPath = "text.ini";
    std::string logoPath = "logo.png";
    std::string backupDir;  // "" keeps no backups (tests)

    static AppPaths Default() {
        AppPaths p;
        p.settingsPath = dt::DefaultSettingsPath();
        p.backupDir = dt::DefaultBackupDir();
        return p;
    }
};
