// Parameter files as the offline commands take them: loaded, then one of the commands' steps
// (one per input keeps runs short): the sheet, the range check, the shown texts stored back,
// or the diff against a second set cut from the input. The JSON printed must parse, a set
// compared with itself must show no differences, and storing unchanged texts must change nothing.
//
// Input: a flags byte, an offset byte, then the file's content.
//   flags bit 0: .ged instead of .foc   bit 1: Chinese texts   bits 2-3: the step
//         bit 4: JSON output   bit 5: the second set is a .ged
//   offset: where the second set starts in the content, in steps of 8 bytes.
#include <algorithm>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "LanguageSetup.h"
#include "RowDiff.h"
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

const ControllerProfile* KindOf(bool ged) { return ged ? &FocProfile() : &StandardProfile(); }

// Prints as the command line does and reads it back: whatever the texts hold, the output is JSON.
void RequireValidJson(const Json& document) {
    std::ostringstream text;
    PrintJson(text, document);
    Require(nlohmann::json::accept(text.str()), "the JSON printed does not parse");
}

void RequireValidChangesJson(const std::vector<RowChange>& changes) {
    std::ostringstream text;
    PrintChangesJson(text, changes, {"a", "b"});
    Require(nlohmann::json::accept(text.str()), "the diff's JSON does not parse");
}

enum Step { STEP_SHEET, STEP_CHECK, STEP_STORE, STEP_DIFF };

void StoreUnchanged(ToolState& s) {
    const std::vector<unsigned char> before = ExportBytes(s);
    const ValueCells cells = ShowValues(s);
    // A download of unchanged cells must send the very set that was read.
    StoreValues(s, cells);
    const std::vector<unsigned char> after = ExportBytes(s);
    for (size_t i = 0; i < before.size(); ++i)
        if (after[i] != before[i])
            Fail("byte " + std::to_string(i) + " changed from " + std::to_string(before[i]) + " to " +
                 std::to_string(after[i]) + " by storing the shown texts unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const StartStates start;
    // Reused between inputs: resetting them is cheaper than building the tables again.
    static ToolState a, b;
    static NullStream out;
    if (size < 2) return 0;
    const uint8_t flags = data[0];
    const bool json = flags & 16;
    const ToolState& base = flags & 2 ? start.chinese : start.english;
    const Bytes content(data + 2, data + size);

    ResetRunState(a, base);
    if (LoadParameterBytes(a, KindOf(flags & 1), content) != LoadStatus::Ok) return 0;
    switch ((flags >> 2) & 3) {
    case STEP_SHEET: {
        const ValueCells cells = ShowValues(a);
        if (json) RequireValidJson(SheetJson(a, cells));
        else PrintSheet(out, a, cells);
        break;
    }
    case STEP_CHECK: {
        ValueCells cells = ShowValues(a);
        StoreValues(a, cells);
        out << ValidateAll(a, cells).message;
        break;
    }
    case STEP_STORE: StoreUnchanged(a); break;
    default: {
        const std::vector<ShownRow> own = ShownRows(a);
        const std::vector<RowChange> none = ChangedRows(own, own);
        Require(none.empty(), "a set differs from itself");
        if (json) RequireValidChangesJson(none);
        ResetRunState(b, base);
        const size_t offset = std::min<size_t>(data[1] * 8u, content.size());
        const Bytes second(content.begin() + static_cast<long>(offset), content.end());
        if (LoadParameterBytes(b, KindOf(flags & 32), second) != LoadStatus::Ok) break;
        const std::vector<ShownRow> ra = ShownRows(a), rb = ShownRows(b);
        const std::vector<RowChange> changes = ChangedRows(ra, rb);
        if (json) RequireValidChangesJson(changes);
        else PrintChanges(out, changes);
    }
    }
    return 0;
}
