// The set command: values changed in a parameter file, checked as a download checks them.
#include "Assignments.h"
#include "AtomicFile.h"
#include "Commands.h"
#include "ControllerProfile.h"
#include "ExitStatus.h"
#include "GridPasses.h"
#include "Json.h"
#include "RowDiff.h"
#include "Sheet.h"
#include "ToolState.h"

namespace dt::cli {

namespace {

bool OutputFits(const Context& c, const ToolState& s) {
    const std::string& output = c.opt.output;
    if (output.empty()) {
        c.err << "drivetune-cli: set writes its result to -o OUT (a new name keeps FILE as it is)\n";
        return false;
    }
    if (output != "-" && ProfileOfFileAnyCase(output) != &ProfileOf(s)) {
        c.err << "drivetune-cli: -o " << output << ": this set goes to a ." << ProfileOf(s).FileExtension()
              << " file; nothing written\n";
        return false;
    }
    return true;
}

int Write(const Context& c, const ToolState& s) {
    const std::vector<unsigned char> bytes = ExportBytes(s);
    if (c.opt.output == "-") {
        c.out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        c.out.flush();
        return c.out ? kOk : kUsage;
    }
    std::string why;
    if (WriteFileAtomically(c.opt.output, bytes, why)) return kOk;
    c.err << "drivetune-cli: cannot write " << c.opt.output << ": " << why << "\n";
    return kUsage;
}

}  // namespace

int RunSet(const Context& c) {
    ToolState s;
    c.SetUp(s);
    if (!LoadOrReport(s, c.opt.files[0], c.err, &c.in)) return kUsage;
    if (!OutputFits(c, s)) return kUsage;
    ShowOnSheet(s);
    ToolState before = s;
    const std::vector<std::string> assignments(c.opt.files.begin() + 1, c.opt.files.end());
    if (!ApplyAssignments(s, assignments, c.err)) return kUsage;
    StoreValues(s, s.sheet.Texts());
    const ValidationResult checked = ValidateAll(s, s.sheet.Texts());
    // A refusal is the command's outcome, on standard output as check and download print it.
    if (checked.refused && c.opt.json) {
        Json document = Document();
        document.update(CheckJson(s, s.sheet.Texts(), checked, c.opt.files[0]));
        PrintJson(c.out, document);
    } else if (checked.refused) {
        c.out << checked.message << "\n";
    }
    if (checked.refused) return kRefused;
    const int rc = Write(c, s);
    if (rc != kOk || c.opt.output == "-") return rc;
    const std::vector<ShownRow> held = ShownRows(before), changed = ShownRows(s);
    const std::vector<RowChange> changes = ChangedRows(held, changed);
    if (c.opt.json) PrintChangesJson(c.out, changes, {"a", "b"});
    else PrintChanges(c.out, changes);
    return kOk;
}

}  // namespace dt::cli
