#pragma once
// One shown value as a script needs it: the text, the word beneath it, its number, unit and the
// bounds the range check holds it to.
#include "GridPasses.h"
#include "Json.h"

namespace dt {
struct ToolState;
}

namespace dt::cli {

// {"text", "word", "number", "unit", "min", "max"} of grid row `row` with these cells; members
// that do not apply are null.
Json ValueJson(const ToolState& s, const ValueCells& cells, int row);

}  // namespace dt::cli
