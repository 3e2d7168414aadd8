#pragma once
// The grid-wide passes (show, store, validate) on a plain list of value-cell texts,
// so the window, the command line and the tests run the same code.
#include <string>
#include <vector>

#include "Catalogue.h"
#include "ControllerImage.h"
#include "GridRows.h"

namespace dt {

struct ToolState;

// Rows of the current layout, by the controller's profile: FocSettings alone, or ParameterSettings
// then FunctionSettings.
std::vector<GridRow> GridLayout(const ControllerView& v);
int ParameterRowCount(const ControllerView& v);  // P

// Where a grid row sits in the group tree: under the parameter or the function title, in group
// `group` of that set, or on the set's title itself (-1: a title row, or an FOC row, whose
// sets the tree shows without groups).
struct RowTopic {
    GridSet set;
    int group;
};
RowTopic TopicOfRow(const ControllerView& v, int row);

// Texts the value cells show, by the profile; changes nothing.
ValueCells ShowValues(const ControllerView& v);
// What the range rules read follows the blocks again (a read, an import): the standard voltage
// class from the minimum working voltage, and the current limits.
void FollowValues(ToolState& s);
// The values of the blocks shown on the state's sheet (the cells a read or an import fills),
// after FollowValues; the baseline's texts follow the state's language.
void ShowOnSheet(ToolState& s);
// Cell texts into the ParameterBlock or the FocBlock, by the profile.
void StoreValues(ToolState& s, const ValueCells& cells);
// The range a download would hold a grid row to if it started now: the sheet's texts stored
// first, as the download does, then the profile's check ("" for a row without one).
std::string AllowedRangeNow(const ToolState& s, int row);
// The grid rows a download started now would refuse, by the same check on the same copy.
std::vector<int> OutOfRangeRowsNow(const ToolState& s);

// Range check of every numeric row, by the profile.
ValidationResult ValidateAll(const ControllerView& v, const ValueCells& cells);

// Four-space indent the view writes before every value.
std::string IndentValue(const std::string& text);

}  // namespace dt
