#pragma once
// Language choice and the text override file.
#include <string>

namespace dt {

struct ToolState;
struct Catalogue;

// Resets counts, reads text.ini (deciding the language), selects the function variant,
// rebuilds the option lists. textIniPath is normally "text.ini" in the working directory.
void ApplyLanguage(ToolState& s, const std::string& textIniPath = "text.ini");

// Language by the file rule (present: Chinese, absent: English) and its overrides.
void LoadTextOverrides(ToolState& s, const std::string& textIniPath = "text.ini");

// The same two with the content of a text.ini held in memory (the file counts as present).
void ApplyLanguageFromMemory(ToolState& s, const std::string& content);
void LoadTextOverridesFromMemory(ToolState& s, const std::string& content);

// Applies one text.ini line to a catalogue; returns false when it is ignored.
bool ApplyOverrideLine(Catalogue& c, const std::string& line);

}  // namespace dt
