#include "LanguageSetup.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <sstream>

#include "AtomicFile.h"
#include "Gbk.h"
#include "ToolState.h"

namespace dt {

namespace {
// A folder named text.ini is no text.ini.
bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// Every text of every table overridden, with room to spare, fits many times over.
constexpr size_t kTextIniReadLimit = 4 * 1024 * 1024;

std::string WholeText(const std::string& gbk) { return GbkToUtf8(gbk.substr(0, gbk.find('\0'))); }
}  // namespace

bool ApplyOverrideLine(Catalogue& c, const std::string& rawLine) {
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    // Read as long and range-checked: an int conversion would wrap 4294970297 onto 3001.
    const long number = std::strtol(line.substr(0, eq).c_str(), nullptr, 10);
    if (number < 0 || number > INT_MAX) return false;
    const int id = static_cast<int>(number);
    const std::string text = line.substr(eq + 1);
    if (id == 1000) {
        c.texts.productTitle[LANG_CHINESE] = WholeText(text);
        return true;
    }
    if (id >= 1001 && id <= 1010) {
        c.texts.labels[LANG_CHINESE][id - 1001] = WholeText(text);
        return true;
    }
    if (id >= 2000 && id <= 2025) {
        c.texts.messages[LANG_CHINESE][id - 2000] = WholeText(text);
        return true;
    }
    if ((id >= 3000 && id <= 10999) || (id >= 12000 && id <= 14999)) return c.tables.ApplyOverride(id, text);
    if (id >= 11000 && id <= 11011) return c.optionTexts.ApplyOverride(id, text);
    return false;
}

namespace {
void UseChinese(ToolState& s) {
    s.language = LANG_CHINESE;
    s.settings.Language = LANG_CHINESE;
}

void ApplyOverrideLines(Catalogue& c, std::istream& in) {
    std::string line;
    bool first = true;
    bool utf8 = false;
    while (std::getline(in, line)) {
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            // A byte-order mark marks a UTF-8 file; its texts are held to the same GBK slot sizes.
            utf8 = true;
            line = line.substr(3);
        }
        first = false;
        ApplyOverrideLine(c, utf8 ? Utf8ToGbk(line) : line);
    }
}

// What follows the text overrides, whichever way they came.
void FinishLanguage(ToolState& s) {
    SelectFunctionVariant(s);
    BuildChoiceLists(s.lists, s.catalogue->optionTexts, s.language);
}

// The built-in counts again, should a test or an earlier file have changed them.
void ResetCounts(ToolState& s) {
    if (!s.Tables().CountsAsBuilt()) s.ChangeCatalogue([](Catalogue& c) { c.tables.ResetCounts(); });
}
}  // namespace

void LoadTextOverrides(ToolState& s, const std::string& textIniPath) {
    if (!FileExists(textIniPath)) {
        s.language = LANG_ENGLISH;
        s.settings.Language = LANG_ENGLISH;
        return;
    }
    UseChinese(s);
    // Present but unreadable, not a regular file, or far larger than any text table: the
    // built-in texts stay.
    std::vector<unsigned char> bytes;
    std::string why;
    if (!ReadFileChecked(textIniPath, bytes, why, kTextIniReadLimit + 1) || bytes.size() > kTextIniReadLimit) return;
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    s.ChangeCatalogue([&](Catalogue& c) { ApplyOverrideLines(c, in); });
}

void LoadTextOverridesFromMemory(ToolState& s, const std::string& content) {
    UseChinese(s);
    std::istringstream in(content);
    s.ChangeCatalogue([&](Catalogue& c) { ApplyOverrideLines(c, in); });
}

void ApplyLanguageFromMemory(ToolState& s, const std::string& content) {
    ResetCounts(s);
    LoadTextOverridesFromMemory(s, content);
    FinishLanguage(s);
}

void ApplyLanguage(ToolState& s, const std::string& textIniPath) {
    ResetCounts(s);
    LoadTextOverrides(s, textIniPath);
    FinishLanguage(s);
}

}  // namespace dt
