// Parameter files as the offline commands take them: load, the sheet in both forms, the range
// check, the shown texts stored back, and the diff against a second set cut from the input.
//
// Input: a flags byte, an offset byte, then the file's content.
//   flags bit 0: .ged instead of .foc   bit 1: Chinese texts   bit 2: also diff
//         bit 3: the second set is a .ged   bit 4: JSON output
//   offset: where the second set starts in the content, in steps of 8 bytes.
#include <algorithm>
#include <string>

#include "CliMain.h"
#include "FuzzSupport.h"
#include "LanguageSetup.h"
#include "Sheet.h"

using namespace dt;
using namespace dt::fuzz;
using namespace dt::cli;

namespace {

struct StartStates {
    ToolState english;
    ToolState chinese;
    StartStates() {
        ApplyLanguage(english, "");
        ApplyLanguageFromMemory(chinese, "");
    }
};

// FOC amperes are stored as a lossy fraction of the word; that row is checked by its own tests.
constexpr size_t kFocAmpsRow = 9;

FileKind KindOf(bool ged) { return ged ? FileKind::Ged : FileKind::Foc; }

void ShowStoreCheck(ToolState& s, bool json, NullStream& out) {
    const ValueCells cells = ShowValues(s);
    if (json) PrintSheetJson(out, s, cells);
    else PrintSheet(out, s, cells);
    ValidateAll(s, cells);
    // A download of unchanged cells must show the same texts when read back.
    StoreValues(s, cells);
    const ValueCells again = ShowValues(s);
    for (size_t row = 0; row < cells.size(); ++row) {
        if (s.link.focMode && row == kFocAmpsRow) continue;
        if (row >= again.size() || again[row] != cells[row])
            Fail("row " + std::to_string(row) + " shows \"" + cells[row] + "\", after storing it unchanged \"" +
                 (row < again.size() ? again[row] : "") + "\"");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const StartStates start;
    // Reused between inputs: resetting them is cheaper than building the tables again.
    static ToolState a, b;
    static NullStream out;
    if (size < 2) return 0;
    const uint8_t flags = data[0];
    const ToolState& base = flags & 2 ? start.chinese : start.english;
    const Bytes content(data + 2, data + size);

    ResetRunState(a, base);
    if (LoadParameterBytes(a, KindOf(flags & 1), content) != LoadStatus::Ok) return 0;
    ShowStoreCheck(a, flags & 16, out);
    if (!(flags & 4)) return 0;

    ResetRunState(a, base);
    ResetRunState(b, base);
    const size_t offset = std::min<size_t>(data[1] * 8u, content.size());
    const Bytes second(content.begin() + static_cast<long>(offset), content.end());
    if (LoadParameterBytes(a, KindOf(flags & 1), content) != LoadStatus::Ok) return 0;
    if (LoadParameterBytes(b, KindOf(flags & 8), second) != LoadStatus::Ok) return 0;
    PrintDiff(out, a, b, flags & 16);
    return 0;
}
