#pragma once
// Binds a COM number to the terminal: the link ports/com<n> beside the tool's settings file.
#include <string>

namespace sim {

// $XDG_CONFIG_HOME/DriveTune, or ~/.config/DriveTune.
std::string SettingsFolder();

// "COM7", "com7" or "7" give 7; false outside 1..1024 or for anything else.
bool ParseComNumber(const std::string& text, int& number);

class PortBinding {
public:
    PortBinding() = default;
    PortBinding(const PortBinding&) = delete;
    PortBinding& operator=(const PortBinding&) = delete;
    ~PortBinding() { Remove(); }

    // Creates <folder>/ports/com<n> pointing at target, replacing an older link; a file or
    // folder of that name is left alone and reported.
    bool Create(const std::string& folder, int comNumber, const std::string& target, std::string& error);
    // Removes the link, unless something else has replaced it meanwhile.
    void Remove();

    const std::string& linkPath() const { return linkPath_; }

private:
    std::string linkPath_;
    std::string target_;
};

}  // namespace sim
