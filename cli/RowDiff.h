#pragma once
// Two sets compared row by row as a technician reads them: rows are paired by set and row name,
// so files of different function variants line up by meaning, not by position.
#include <ostream>
#include <string>
#include <vector>

#include "Json.h"
#include "ToolState.h"

namespace dt::cli {

// One shown row of a set.
struct ShownRow {
    std::string id;   // "ParameterSettings.3"
    std::string set;  // "ParameterSettings", "FunctionSettings" or "FocSettings"
    int row = 0;      // record index in its set
    std::string name;
    std::string value;
    Json detail;  // the value for scripts: text, word, number, unit, bounds
};

// The rows a sheet shows, in grid order, with the values the value cells show.
std::vector<ShownRow> ShownRows(ToolState& s);

// A row whose values differ, or that only one side has (the other is null).
struct RowChange {
    const ShownRow* a = nullptr;
    const ShownRow* b = nullptr;
};

// The changed rows in grid order: a's rows first, then those only b has. The changes point
// into a and b.
std::vector<RowChange> ChangedRows(const std::vector<ShownRow>& a, const std::vector<ShownRow>& b);

// What the two sides are called in JSON ("a"/"b", "sent"/"readBack").
struct SideNames {
    const char* a;
    const char* b;
};

// "name  a  ->  b" lines, names aligned; "(none)" for a side without the row.
void PrintChanges(std::ostream& out, const std::vector<RowChange>& changes);
// {"schema": 1, "rows": [{"set", "name", a: {"id", "row", "name", "value", "detail"} or null, b: ...}]}
void PrintChangesJson(std::ostream& out, const std::vector<RowChange>& changes, SideNames sides);

}  // namespace dt::cli
