#pragma once
// The small settings file: serial port, baud rate, language.
#include <string>

namespace dt {

// The highest COM number a port can have.
constexpr int kMaxPortNumber = 1024;

struct Settings {
    int UartPort = 1;  // COM1 to COM<kMaxPortNumber>
    int Baudrate = 9600;
    int Language = 0;
};

// $XDG_CONFIG_HOME/DriveTune/DriveTune.ini, else ~/.config/DriveTune/DriveTune.ini.
std::string DefaultSettingsPath();
// Folder that holds the settings file (and ports/).
std::string SettingsFolder(const std::string& settingsPath);

// Reads the three keys of section "Tavo GUI"; missing file or keys give defaults.
Settings LoadSettings(const std::string& path);
// The same from the file's content held in memory.
Settings ParseSettings(const std::string& content);
// Writes the three keys, keeping other sections and lines of the file; creates file and folder.
// Returns false when the file could not be written (callers ignore it).
bool SaveSettings(const std::string& path, const Settings& settings);

// Private-profile helpers.
std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key);
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

}  // namespace dt
