#pragma once
// The grid-wide passes (show, store, validate) on a plain list of value-cell texts,
// so the window, the command line and the tests run the same code.
#include <cstdint>
#include <string>
#include <vector>

namespace dt {

struct ToolState;
struct ParamDescriptor;

enum class GridSet { Parameter, Function, Foc };

struct GridRow {
    GridSet set;
    int record;                   // record index in its set
    const ParamDescriptor* desc;  // the record
};

// Rows of the current layout, by the controller's profile: FocSettings alone, or ParameterSettings
// then FunctionSettings.
std::vector<GridRow> GridLayout(const ToolState& s);
int ParameterRowCount(const ToolState& s);  // P

// Where a grid row sits in the group tree: under the parameter or the function title, in group
// `group` of that set, or on the set's title itself (-1: a title row, or an FOC row, whose
// sets the tree shows without groups).
struct RowTopic {
    GridSet set;
    int group;
};
RowTopic TopicOfRow(const ToolState& s, int row);

// Value-cell texts indexed by grid row, without the four-space indent.
using ValueCells = std::vector<std::string>;
// The text of a row; "" for a row the cells do not have.
const std::string& CellText(const ValueCells& cells, int row);

// Texts the value cells show, by the profile. The standard row 6 sets the voltage state.
ValueCells ShowValues(ToolState& s);
// Cell texts into the ParameterBlock or the FocBlock, by the profile.
void StoreValues(ToolState& s, const ValueCells& cells);
// The range a download would hold a grid row to if it started now: the sheet's texts stored
// first, as the download does, then the profile's check ("" for a row without one).
std::string AllowedRangeNow(const ToolState& s, int row);
// The grid rows a download started now would refuse, by the same check on the same copy.
std::vector<int> OutOfRangeRowsNow(const ToolState& s);

struct ValidationResult {
    bool refused = false;
    std::string message;                    // whole message-box text when refused
    std::vector<int> refusedRows;           // grid rows painted red
    std::vector<int> acceptedRows;          // grid rows repainted with their value colour
};
// Range check of every numeric row, by the profile.
ValidationResult ValidateAll(const ToolState& s, const ValueCells& cells);

// Four-space indent the view writes before every value.
std::string IndentValue(const std::string& text);

// FOC row 9 conversion between the stored word and amperes.
int FocAmpsFromWord(int word);

}  // namespace dt
