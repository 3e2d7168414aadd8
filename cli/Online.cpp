// The commands that talk to a controller through a serial port.
#include <QCoreApplication>

#include "Assignments.h"
#include "Commands.h"
#include "ConsoleHost.h"
#include "ControllerProfile.h"
#include "ExitStatus.h"
#include "ExtraTexts.h"
#include "Interrupts.h"
#include "OnlineSession.h"
#include "ParameterFiles.h"
#include "PortNumbering.h"
#include "RowDiff.h"
#include "Sheet.h"
#include "Terminal.h"

namespace dt::cli {

namespace {

using Outcome = OnlineSession::Outcome;
using Writes = OnlineSession::Writes;

// The serial port, the console host and the session, alive for one command.
struct Online {
    Online(ToolState& s, const Context& c)
        : host(s, c.out, c.err), session(s, host, c.err, serial, serial, TimeoutInterval(c.opt.timeoutMs)) {
        if (c.opt.baud > 0) s.settings.Baudrate = c.opt.baud;
        session.SetExchangeLimitMs(OnlineSession::ExchangeLimitFor(c.opt.timeoutMs));
        host.SetAlwaysQuiet(c.opt.quiet);
        host.Progress().Enable(c.progress);
        if (c.progress) host.Progress().SetColumns(TerminalColumns(Stream::Err));
        if (c.opt.json && !c.opt.files.empty()) host.PrintRefusalsAsJson(c.opt.files[0]);
    }
    // The time-out ends on its eleventh tick: --timeout MS spreads MS over them.
    static int TimeoutInterval(int timeoutMs) {
        constexpr int kTicks = ReplyTimeout::kLastCount + 1;
        return timeoutMs > 0 ? (timeoutMs + kTicks - 1) / kTicks : ReplyTimeout::kIntervalMs;
    }
    SerialPort serial;
    ConsoleHost host;
    OnlineSession session;
};

// The Connect exchange: 0x02 and the full read. True when the read completed.
bool Connect(Online& o) {
    const int before = o.session.Reads();
    o.session.Run([&] { return o.session.Link().commands.StartConnect(); });
    return o.session.Reads() > before;
}

bool OpenAndRead(Online& o, const Context& c) { return o.session.Open(c.opt.port) && Connect(o); }

void PrintRead(const ToolState& s, const Context& c) {
    if (c.opt.json) PrintJson(c.out, SheetJson(s, s.sheet.Texts()));
    else PrintSheet(c.out, s, s.sheet.Texts());
    c.out.flush();
}

const char* KindExtension(const ToolState& s) { return ProfileOf(s).FileExtension(); }
// Whether a file of this name takes the controller's sets.
bool TakesKind(const std::string& path, const ToolState& s) { return ProfileOfFileAnyCase(path) == &ProfileOf(s); }

void PrintChangesAs(const Context& c, const std::vector<RowChange>& changes, SideNames sides) {
    if (c.opt.json) PrintChangesJson(c.out, changes, sides);
    else PrintChanges(c.out, changes);
    c.out.flush();
}

// The set a download writes, read once before anything is sent: FILE, or standard input for "-".
struct SetToWrite {
    const ControllerProfile* file = nullptr;  // its kind; null for a name of none
    std::vector<unsigned char> bytes;
};

// FILE must be readable, .foc or .ged and long enough; standard input is a .foc set when it holds
// 1024 bytes or more, a .ged one otherwise.
bool ReadSetToWrite(const Context& c, SetToWrite& set) {
    const std::string& path = c.opt.files[0];
    LoadStatus status = LoadStatus::Ok;
    std::string why;
    if (path == "-") {
        set.bytes = ReadParameterInput(c.in);
        if (InterruptRequested()) return false;  // Ctrl+C at the terminal: the caller says so
        set.file = &ProfileOfContent(set.bytes.size());
    } else {
        set.file = ProfileOfFileAnyCase(path);
        if (!ReadParameterFile(path, set.bytes, why)) status = LoadStatus::Missing;
        else if (!set.file) status = LoadStatus::UnknownExtension;
    }
    if (status == LoadStatus::Ok && set.bytes.size() < set.file->Facts().fileSize) status = LoadStatus::TooShort;
    if (status == LoadStatus::Ok) return true;
    c.err << "drivetune-cli: " << LoadError(status, path, why) << "\n";
    return false;
}

// A .ged file on a standard controller (or a .foc file on an FOC one) would be accepted by the
// import and then never sent: the download would report success with none of its values.
bool SameKind(Online& o, ToolState& s, const std::string& file, const ControllerProfile& kind, std::ostream& err) {
    if (&kind == &ProfileOf(s)) return true;
    o.host.ShowMessage(s.Message(MSG_IMPORT_MISMATCH), MessageKind::Warning);
    err << "drivetune-cli: " << file << " is a ." << kind.FileExtension() << " file; this controller takes ."
        << KindExtension(s) << " files\n";
    return false;
}

// The set to download on the state's sheet: FILE imported (when given), then the --set rows.
int PrepareSet(Online& o, ToolState& s, const Context& c, const SetToWrite& set) {
    if (!c.opt.files.empty() && !o.session.Link().files.ImportContent(*set.file, set.bytes)) return kRefused;
    return ApplyAssignments(s, c.opt.sets, c.err) ? kOk : kUsage;
}

// What a download of the prepared set would send, against what the controller holds.
int DryRun(Online& o, ToolState& s, const Context& c, const SetToWrite& set) {
    const std::vector<ShownRow> held = ShownRows(s);
    if (const int rc = PrepareSet(o, s, c, set); rc != kOk) return rc;
    StoreValues(s, s.sheet.Texts());
    const ValidationResult checked = ValidateAll(s, s.sheet.Texts());
    o.host.OnValuesChecked(checked);
    if (checked.refused) return kRefused;
    const std::vector<ShownRow> sent = ShownRows(s);
    PrintChangesAs(c, ChangedRows(held, sent), {"a", "b"});
    return kOk;
}

// After a stored download: the whole set read back and compared with what was sent.
int Verify(Online& o, ToolState& s, const Context& c) {
    const std::vector<ShownRow> sent = ShownRows(s);
    o.host.SetQuiet(true);
    if (!Connect(o) || o.session.Interrupted()) return kRefused;
    const std::vector<ShownRow> readBack = ShownRows(s);
    const std::vector<RowChange> changes = ChangedRows(sent, readBack);
    // Always printed, so a script finds its rows (none) in JSON when all match.
    PrintChangesAs(c, changes, {"sent", "readBack"});
    if (changes.empty()) {
        if (!c.opt.quiet) c.err << s.Extra(XTX_VERIFY_SAME) << "\n";
        return kOk;
    }
    c.err << FillIn(s.Extra(XTX_VERIFY_DIFFERS), std::to_string(changes.size())) << "\n";
    return kRefused;
}

}  // namespace

int RunUpload(const Context& c) {
    const std::string& output = c.opt.output;
    const bool toStandardOutput = output == "-";
    if (!output.empty() && !toStandardOutput && !ProfileOfFileAnyCase(output)) {
        c.err << "drivetune-cli: -o " << output << ": the name must end in .foc or .ged\n";
        return kUsage;
    }
    ToolState s;
    c.SetUp(s);
    Online o(s, c);
    // An interrupted read leaves no file and prints no sheet.
    if (!OpenAndRead(o, c) || o.session.Interrupted()) return o.session.Finish(kRefused);
    if (toStandardOutput) {
        // The set itself is the data: bytes a file would hold, and nothing else on standard output.
        const std::vector<unsigned char> bytes = ExportBytes(s);
        c.out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        c.out.flush();
        return c.out ? kOk : kUsage;
    }
    if (!output.empty() && !TakesKind(output, s)) {
        c.err << "drivetune-cli: -o " << output << ": this is " << ProfileOf(s).KindPhrase()
              << ", whose parameters go to a ." << KindExtension(s) << " file; nothing written\n";
        return kUsage;
    }
    PrintRead(s, c);
    if (!output.empty() && !o.session.Link().files.ExportTo(output)) {
        c.err << "drivetune-cli: cannot write " << output << ": " << o.session.Link().files.LastError() << "\n";
        return kUsage;
    }
    return kOk;
}

int RunDownload(const Context& c) {
    if (c.opt.files.empty() && c.opt.sets.empty()) {
        c.err << "drivetune-cli: download takes FILE, --set ID=VALUE, or both\n"
                 "Try 'drivetune-cli download --help' for more information.\n";
        return kUsage;
    }
    ToolState s;
    c.SetUp(s);
    SetToWrite set;
    if (!c.opt.files.empty()) {
        // A terminal would otherwise wait without a word.
        if (c.opt.files[0] == "-" && IsTerminal(Stream::In))
            c.err << "drivetune-cli: " << s.Extra(XTX_READING_INPUT) << "\n";
        const bool read = ReadSetToWrite(c, set);
        if (InterruptRequested()) {
            c.err << "drivetune-cli: " << s.Extra(XTX_STOPPED) << "\n";
            return kInterrupted;
        }
        if (!read) return kUsage;
    }
    Online o(s, c);
    o.host.SetQuiet(true);
    if (!OpenAndRead(o, c) || o.session.Interrupted()) return o.session.Finish(kRefused);
    if (!c.opt.files.empty() && !SameKind(o, s, c.opt.files[0], *set.file, c.err)) return kRefused;
    if (c.opt.dryRun) return DryRun(o, s, c, set);
    if (const int rc = PrepareSet(o, s, c, set); rc != kOk) return o.session.Finish(rc);
    o.host.SetQuiet(false);
    o.session.ResetOutcome();
    if (!o.session.Run([&] { return o.session.Link().commands.Download(); }, Writes::Yes))
        return o.session.Finish(kRefused);
    if (o.session.Interrupted() || o.session.LastOutcome() != Outcome::Stored) return o.session.Finish(kRefused);
    return o.session.Finish(c.opt.verify ? Verify(o, s, c) : kOk);
}

int RunDiffWithController(const Context& c) {
    const std::string& file = c.opt.files[0];
    ToolState held, wanted;
    c.SetUp(held);
    c.SetUp(wanted);
    if (!LoadOrReport(wanted, file, c.err)) return kUsage;
    Online o(held, c);
    o.host.SetQuiet(true);
    if (!OpenAndRead(o, c) || o.session.Interrupted()) return o.session.Finish(kRefused);
    const std::vector<ShownRow> a = ShownRows(held), b = ShownRows(wanted);
    const std::vector<RowChange> changes = ChangedRows(a, b);
    PrintChangesAs(c, changes, {"a", "b"});
    return changes.empty() ? kOk : kDiffer;
}

int RunStore(const Context& c) {
    ToolState s;
    c.SetUp(s);
    Online o(s, c);
    o.host.SetQuiet(true);
    if (!OpenAndRead(o, c)) return o.session.Finish(kRefused);
    o.host.SetQuiet(false);
    o.session.ResetOutcome();
    if (!o.session.Run([&] { return o.session.Link().commands.Store(); }, Writes::Yes))
        return o.session.Finish(kRefused);
    return o.session.Finish(o.session.LastOutcome() == Outcome::Stored ? kOk : kRefused);
}

int RunRestore(const Context& c) {
    ToolState s;
    c.SetUp(s);
    Online o(s, c);
    if (!o.session.Open(c.opt.port)) return kRefused;
    // The set about to be replaced by the factory one is read first, which keeps its backup.
    o.host.SetQuiet(true);
    if (!c.opt.noBackup && (!Connect(o) || o.session.Interrupted())) {
        if (o.session.Interrupted()) return o.session.Finish(kRefused);
        c.err << s.Extra(XTX_RESTORE_UNREAD) << "\n";
        return kRefused;
    }
    // Reading first is only worth its time for the backup: without one, nothing is restored.
    if (!c.opt.noBackup && !o.session.Link().backups.BackedUpSinceOpen()) {
        c.err << s.Extra(XTX_RESTORE_UNBACKED) << "\n";
        return kRefused;
    }
    o.host.SetQuiet(false);
    const int before = o.session.Reads();
    if (!o.session.Run([&] { return o.session.Link().commands.Default(); }, Writes::Yes))
        return o.session.Finish(kRefused);
    const Outcome outcome = o.session.LastOutcome();
    if (outcome == Outcome::None) return o.session.Finish(kRefused);  // no answer: the time-out message was shown
    // The engine has asked for the new values; unlike the window, the command line guards
    // that read with the time-out as well, so a silent controller cannot keep it waiting. On a
    // quick line the read may be over already.
    if (o.session.Reads() == before) {
        o.host.SetLinkBusy(true);
        o.session.Wait();
    }
    if (o.session.Reads() == before || o.session.Interrupted()) return o.session.Finish(kRefused);
    PrintRead(s, c);
    return outcome == Outcome::Stored ? kOk : kRefused;
}

int RunPorts(const Context& c) {
    ToolState s;
    c.SetUp(s);
    const std::vector<PortEntry> entries = PortNumbering::System().Ports();
    if (c.opt.json) {
        Json ports = Json::array();
        for (const PortEntry& e : entries)
            ports.push_back({{"number", e.number},
                             {"device", e.device},
                             {"adapter", e.adapter.empty() ? Json(nullptr) : Json(e.adapter)},
                             {"entry", e.BoxText()}});
        Json document = Document();
        document["ports"] = std::move(ports);
        PrintJson(c.out, document);
    } else {
        for (const PortEntry& e : entries) c.out << e.BoxText() << "\n";
    }
    if (entries.empty()) c.err << Printable(s.Message(MSG_NO_PORT)) << "\n";
    return kOk;
}

}  // namespace dt::cli
