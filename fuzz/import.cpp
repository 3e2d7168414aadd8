// A parameter file imported over a controller's set: the identity match decides, and a refused
// file must change nothing, while an accepted one must become the set byte for byte.
//
// Input: a flags byte (bit 0: a .ged over the FOC set, else a .foc over a standard one; bit 1:
// the file is cut to the input's length), then patches of three bytes (position high, position
// low, value) laid over the controller's own set, so that most files still match its identity.
#include <algorithm>

#include "FuzzSupport.h"
#include "LanguageSetup.h"
#include "ParameterFiles.h"
#include "Sheet.h"
#include "ToolState.h"

using namespace dt;
using namespace dt::fuzz;

namespace {

ToolState Read(const char* sample, const ControllerProfile* kind) {
    ToolState s;
    ApplyLanguageFromMemory(s, "");
    if (cli::LoadParameterBytes(s, kind, SampleFile(sample)) != cli::LoadStatus::Ok) Fail("sample refused");
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ToolState standard = Read("standard-b.foc", &StandardProfile());
    static const ToolState foc = Read("foc.ged", &FocProfile());
    static ToolState s;
    if (size < 1) return 0;
    const bool ged = data[0] & 1;
    const ToolState& start = ged ? foc : standard;
    ResetRunState(s, start);
    Bytes file = ExportBytes(start);
    for (size_t i = 1; i + 2 < size; i += 3) file[(data[i] << 8 | data[i + 1]) % file.size()] = data[i + 2];
    if (data[0] & 2) file.resize(std::min(file.size(), size));

    const Bytes before = ExportBytes(s);
    const ImportOutcome outcome = ImportBytes(s, ged ? &FocProfile() : &StandardProfile(), file);
    Require(outcome.handled, "a .foc or .ged file was not handled");
    if (!outcome.accepted) {
        Require(ExportBytes(s) == before, "a refused file changed the set");
        Require(s.modelWord == start.modelWord, "a refused file changed the identity");
        return 0;
    }
    const Bytes after = ExportBytes(s);
    Require(file.size() >= after.size() && std::equal(after.begin(), after.end(), file.begin()),
            "the set imported is not the file's");
    Require(ged || IdentityMatches(start, file.data()), "a file of another controller was accepted");
    return 0;
}
