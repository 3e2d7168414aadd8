// text.ini as the tool reads it at start-up: every override applied, then one of the places the
// texts reach (chosen from the input, to keep runs short): the sheet of a standard or an FOC set,
// or the range-check message that quotes every row's name and hint.
#include "FuzzSupport.h"
#include "LanguageSetup.h"
#include "Sheet.h"

using namespace dt;
using namespace dt::fuzz;

namespace {

void Exercise(ToolState& s, const ControllerProfile* kind, const Bytes& file, uint32_t pick, NullStream& out) {
    if (cli::LoadParameterBytes(s, kind, file) != cli::LoadStatus::Ok) Fail("sample refused");
    ValueCells cells = ShowValues(s);
    if (pick & 2) {
        for (std::string& c : cells) c = "-1";
        out << ValidateAll(s, cells).message;
    } else if (pick & 4) {
        cli::PrintJson(out, cli::SheetJson(s, cells));
    } else {
        cli::PrintSheet(out, s, cells);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ToolState start;
    static const Bytes standard = SampleFile("standard-a.foc");
    static const Bytes ged = SampleFile("foc.ged");
    static ToolState s;
    static NullStream out;

    s = start;
    ApplyLanguageFromMemory(s, std::string(reinterpret_cast<const char*>(data), size));
    Require(s.language == LANG_CHINESE, "a present text.ini chooses Chinese");
    const uint32_t pick = InputRandom(data, size).Next();
    if (pick & 1) Exercise(s, &FocProfile(), ged, pick, out);
    else Exercise(s, &StandardProfile(), standard, pick, out);
    return 0;
}
