#include "ValueJson.h"

#include <cstdlib>

#include "ControllerProfile.h"
#include "ParamTables.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace dt::cli {

namespace {

// The number a text starts with; null when it starts with none ("Err", "").
Json LeadingNumberOf(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    return end == begin ? Json(nullptr) : Json(v);
}

}  // namespace

Json ValueJson(const ToolState& s, const ValueCells& cells, int row) {
    const std::vector<GridRow> layout = GridLayout(s);
    const std::string text = TrimLeft(CellText(cells, row));
    const RowValue v = ProfileOf(s).ValueOf(s, cells, row);
    const std::string unit =
        row >= 0 && row < static_cast<int>(layout.size()) ? UnitOf(*layout[row].desc) : std::string();
    return {{"text", text},
            {"word", v.hasWord ? Json(v.word) : Json(nullptr)},
            {"number", v.numeric ? LeadingNumberOf(text) : Json(nullptr)},
            {"unit", unit.empty() ? Json(nullptr) : Json(unit)},
            {"min", v.bounded ? Json(v.min) : Json(nullptr)},
            {"max", v.bounded ? Json(v.max) : Json(nullptr)}};
}

}  // namespace dt::cli
