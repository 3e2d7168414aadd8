#include "Settings.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "AtomicFile.h"
#include "XdgPaths.h"

namespace dt {

namespace {
const char* const kSection = "Tavo GUI";

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<std::string> SplitLines(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Only a regular file is read: a settings path that names a device or a FIFO reads as empty.
std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::string why;
    if (!ReadFileChecked(path, bytes, why)) return {};
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    return SplitLines(in);
}

// Section header name, or "" when the line is not a header.
bool SectionName(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string::npos) return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

// Saturates at the int range instead of wrapping (4294967299 must not read as 3).
int LeadingInt(const std::string& s) {
    const long v = std::strtol(s.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
}
}  // namespace

std::string DefaultSettingsPath() {
    return XdgBaseDir("XDG_CONFIG_HOME", ".config") + "/DriveTune/DriveTune.ini";
}

std::string SettingsFolder(const std::string& settingsPath) {
    size_t slash = settingsPath.rfind('/');
    return slash == std::string::npos ? std::string(".") : settingsPath.substr(0, slash);
}

namespace {
std::string ProfileValue(const std::vector<std::string>& lines, const std::string& section, const std::string& key) {
    bool inSection = false;
    for (const std::string& line : lines) {
        std::string name;
        if (SectionName(line, name)) {
            inSection = SameName(name, section);
            continue;
        }
        if (!inSection) continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (SameName(Trim(line.substr(0, eq)), key)) {
            std::string value = Trim(line.substr(eq + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return value.substr(0, 255);
        }
    }
    return std::string();
}
}  // namespace

std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key) {
    return ProfileValue(ReadLines(path), section, key);
}

namespace {

// Sets key=value in the section of the file's lines, appending the section or the key as needed.
void SetEntry(std::vector<std::string>& lines, const std::string& section, const std::string& key,
              const std::string& value) {
    const std::string entry = key + "=" + value;
    int sectionLine = -1, sectionEnd = static_cast<int>(lines.size());
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        std::string name;
        if (SectionName(lines[i], name)) {
            if (sectionLine >= 0) {
                sectionEnd = i;
                break;
            }
            if (SameName(name, section)) sectionLine = i;
            continue;
        }
        if (sectionLine < 0) continue;
        size_t eq = lines[i].find('=');
        if (eq != std::string::npos && SameName(Trim(lines[i].substr(0, eq)), key)) {
            lines[i] = entry;
            return;
        }
    }
    if (sectionLine < 0) {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
        return;
    }
    // Append after the last non-empty line of the section.
    int at = sectionEnd;
    while (at - 1 > sectionLine && Trim(lines[at - 1]).empty()) --at;
    lines.insert(lines.begin() + at, entry);
}

// Writes the lines unless the file already holds exactly them: a start-up that changes nothing
// costs no write and no flush to disk.
bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    std::vector<unsigned char> old;
    std::string why;
    if (ReadFileChecked(path, old, why) && std::string(old.begin(), old.end()) == text) return true;
    if (!MakeDirectories(SettingsFolder(path), why)) return false;
    return WriteFileAtomically(path, text, why);
}

Settings SettingsFromLines(const std::vector<std::string>& lines) {
    Settings s;
    std::string v = ProfileValue(lines, kSection, "UartPort");
    s.UartPort = v.empty() ? 1 : LeadingInt(v);
    // A number no port box or --port can name is no port: the first one, as for none.
    if (s.UartPort <= 0 || s.UartPort > kMaxPortNumber) s.UartPort = 1;
    v = ProfileValue(lines, kSection, "Baudrate");
    s.Baudrate = v.empty() ? 9600 : LeadingInt(v);
    if (s.Baudrate <= 0) s.Baudrate = 9600;
    v = ProfileValue(lines, kSection, "Language");
    s.Language = v.empty() ? 0 : LeadingInt(v);
    if (s.Language != 1) s.Language = 0;
    return s;
}
}  // namespace

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
    std::vector<std::string> lines = ReadLines(path);
    SetEntry(lines, section, key, value);
    return WriteLines(path, lines);
}

Settings LoadSettings(const std::string& path) { return SettingsFromLines(ReadLines(path)); }

Settings ParseSettings(const std::string& content) {
    std::istringstream in(content);
    return SettingsFromLines(SplitLines(in));
}

bool SaveSettings(const std::string& path, const Settings& settings) {
    // One write for the three keys.
    std::vector<std::string> lines = ReadLines(path);
    SetEntry(lines, kSection, "UartPort", std::to_string(settings.UartPort));
    SetEntry(lines, kSection, "Baudrate", std::to_string(settings.Baudrate));
    SetEntry(lines, kSection, "Language", std::to_string(settings.Language));
    return WriteLines(path, lines);
}

}  // namespace dt
