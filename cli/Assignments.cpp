#include "Assignments.h"

#include <algorithm>
#include <cctype>

#include "ControllerProfile.h"
#include "GridPasses.h"
#include "ParamTables.h"
#include "Sheet.h"
#include "ToolState.h"

namespace dt::cli {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The entries a choice row offers, as the window's drop-down list does.
const OptionList& ChoicesOf(const ToolState& s, int row, const ParamDescriptor& d) {
    return ProfileOf(s).Choices(s, row, d);
}

bool Assign(ToolState& s, int row, const std::string& value, std::ostream& err) {
    const std::vector<GridRow> layout = GridLayout(s);
    const ParamDescriptor& d = *layout[row].desc;
    const std::string id = RowId(s, row);
    if (d.read_only == 1) {
        err << "drivetune-cli: " << id << " (" << d.Name(s.language) << ") is read-only\n";
        return false;
    }
    if (d.kind >= KIND_NOMINAL_VOLTAGE) {
        const OptionList& choices = ChoicesOf(s, row, d);
        if (std::find(choices.begin(), choices.end(), value) == choices.end()) {
            err << "drivetune-cli: " << id << " (" << d.Name(s.language) << ") takes one of:";
            for (const std::string& c : choices) err << " \"" << c << "\"";
            err << "; not \"" << value << "\"\n";
            return false;
        }
        for (const CellWrite& w : ProfileOf(s).ChoiceWrites(s, row, value)) s.sheet.SetCell(w.row, w.text);
    }
    s.sheet.SetCell(row, value);
    ProfileOf(s).FollowSheet(s, {row});
    return true;
}

}  // namespace

std::string RowId(const ToolState& s, int gridRow) {
    const std::vector<GridRow> layout = GridLayout(s);
    if (gridRow < 0 || gridRow >= static_cast<int>(layout.size())) return std::string();
    return RowIdOf(layout[gridRow]);
}

int RowForKey(const ToolState& s, const std::string& key, std::string& why) {
    const std::vector<GridRow> layout = GridLayout(s);
    std::vector<int> named;
    for (size_t row = 0; row < layout.size(); ++row) {
        const ParamDescriptor& d = *layout[row].desc;
        if (d.kind == KIND_NONE) continue;
        if (RowId(s, static_cast<int>(row)) == key) return static_cast<int>(row);
        if (Lower(d.name_en) == Lower(key) || d.name_cn == key) named.push_back(static_cast<int>(row));
    }
    if (named.size() == 1) return named[0];
    if (named.empty()) {
        why = "no row is called \"" + key + "\" (the ids are in show --json)";
        return -1;
    }
    why = "\"" + key + "\" names several rows; use one of the ids";
    for (int row : named) why += " " + RowId(s, row);
    return -1;
}

bool ApplyAssignments(ToolState& s, const std::vector<std::string>& assignments, std::ostream& err) {
    for (const std::string& a : assignments) {
        const size_t eq = a.find('=');
        if (eq == std::string::npos || eq == 0) {
            err << "drivetune-cli: \"" << a << "\": expected ID=VALUE\n";
            return false;
        }
        std::string why;
        const int row = RowForKey(s, a.substr(0, eq), why);
        if (row < 0) {
            err << "drivetune-cli: " << why << "\n";
            return false;
        }
        if (!Assign(s, row, a.substr(eq + 1), err)) return false;
    }
    return true;
}

}  // namespace dt::cli
