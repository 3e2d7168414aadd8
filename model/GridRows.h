#pragma once
// The rows of the sheet and their value cells, as the profiles lay them out and check them.
#include <string>
#include <vector>

namespace dt {

struct ParamDescriptor;

enum class GridSet { Parameter, Function, Foc };

struct GridRow {
    GridSet set;
    int record;                   // record index in its set
    const ParamDescriptor* desc;  // the record
};

// Value-cell texts indexed by grid row, without the four-space indent.
using ValueCells = std::vector<std::string>;

// The text of a row; "" for a row the cells do not have.
inline const std::string& CellText(const ValueCells& cells, int row) {
    static const std::string empty;
    return row >= 0 && row < static_cast<int>(cells.size()) ? cells[row] : empty;
}

struct ValidationResult {
    bool refused = false;
    std::string message;           // whole message-box text when refused
    std::vector<int> refusedRows;  // grid rows painted red
    std::vector<int> acceptedRows; // grid rows repainted with their value colour
};

// FOC row 9 conversion between the stored word and amperes.
int FocAmpsFromWord(int word);

}  // namespace dt
