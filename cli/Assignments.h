#pragma once
// "ID=VALUE" on the command line: a row named by its stable id ("ParameterSettings.3") or by its
// name in either language where that name is unique, given a new value as typing it would.
#include <ostream>
#include <string>
#include <vector>

namespace dt {
struct ToolState;
}

namespace dt::cli {

// "ParameterSettings.3": the set and the record, the same in every language.
std::string RowId(const ToolState& s, int gridRow);

// The grid row a key names; -1 with the reason in `why` (unknown, or a name several rows share).
int RowForKey(const ToolState& s, const std::string& key, std::string& why);

// Writes each assignment into the state's sheet (choice rows only take one of their entries, and a
// voltage pick writes the rows it writes in the window). False, with a message on err and the sheet
// partly written, when an assignment cannot be made; the range check is the caller's.
bool ApplyAssignments(ToolState& s, const std::vector<std::string>& assignments, std::ostream& err);

}  // namespace dt::cli
