#include "Online.h"

#include <QCoreApplication>
#include <memory>

#include "ConsoleHost.h"
#include "OnlineOptions.h"
#include "OnlineSession.h"
#include "ParameterFiles.h"
#include "PortNumbering.h"
#include "Sheet.h"

namespace dt::cli {

namespace {

constexpr int kOk = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

const char* const kUploadUsage = "upload --port P [-o FILE] [--json] [--baud N]";
const char* const kDownloadUsage = "download --port P FILE [--baud N]";
const char* const kStoreUsage = "store --port P [--baud N]";
const char* const kRestoreUsage = "restore --port P [--json] [--baud N]";

int UsageError(std::ostream& err, const std::string& why, const char* usage) {
    err << "drivetune-cli: " << why << "\nusage: drivetune-cli [--lang en|cn] " << usage << "\n";
    return kUsage;
}

// The serial port, the console host and the session, alive for one command.
struct Online {
    Online(ToolState& s, std::ostream& out, std::ostream& err) : host(s, out, err), session(s, host, err, serial) {}
    SerialPort serial;
    ConsoleHost host;
    OnlineSession session;
};

// The Connect exchange: 0x02 and the full read. True when the read completed.
bool Connect(Online& o) {
    const int before = o.host.Completions();
    o.session.Run([&] { return o.session.Link().commands.StartConnect(); });
    return o.host.Completions() > before;
}

void PrintRead(ToolState& s, const ConsoleHost& host, bool json, std::ostream& out) {
    if (json) PrintSheetJson(out, s, host.Cells());
    else PrintSheet(out, s, host.Cells());
    out.flush();
}

const char* KindExtension(const ToolState& s) { return s.link.focMode ? "ged" : "foc"; }

int Upload(const OnlineOptions& opt, ToolState& s, std::ostream& out, std::ostream& err) {
    if (!opt.output.empty() && FileKindOf(opt.output) == FileKind::Other)
        return UsageError(err, "-o " + opt.output + ": the name must end in .foc or .ged", kUploadUsage);
    Online o(s, out, err);
    if (!o.session.Open(opt.port) || !Connect(o)) return kRefused;
    if (!opt.output.empty()) {
        const FileKind wanted = s.link.focMode ? FileKind::Ged : FileKind::Foc;
        if (FileKindOf(opt.output) != wanted) {
            err << "drivetune-cli: -o " << opt.output << ": this is "
                << (s.link.focMode ? "an FOC controller" : "a standard controller") << ", whose parameters go to a ."
                << KindExtension(s) << " file; nothing written\n";
            return kUsage;
        }
    }
    PrintRead(s, o.host, opt.json, out);
    if (!opt.output.empty() && !o.session.Link().files.ExportTo(opt.output)) {
        err << "drivetune-cli: cannot write " << opt.output << ": " << o.session.Link().files.LastError() << "\n";
        return kUsage;
    }
    return kOk;
}

// The file FILE must be before anything is sent: readable, .foc or .ged, long enough.
bool CheckParameterFile(const std::string& path, std::ostream& err) {
    std::vector<unsigned char> content;
    LoadStatus status = LoadStatus::Ok;
    const FileKind kind = FileKindOf(path);
    std::string why;
    if (!ReadWholeFile(path, content, why)) status = LoadStatus::Missing;
    else if (kind == FileKind::Other) status = LoadStatus::UnknownExtension;
    else if (content.size() < static_cast<size_t>(kind == FileKind::Foc ? ParameterBlock::kSize : FocBlock::kSize))
        status = LoadStatus::TooShort;
    if (status == LoadStatus::Ok) return true;
    err << "drivetune-cli: " << LoadError(status, path, why) << "\n";
    return false;
}

int Download(const OnlineOptions& opt, ToolState& s, std::ostream& out, std::ostream& err) {
    const std::string& file = opt.files[0];
    if (!CheckParameterFile(file, err)) return kUsage;
    Online o(s, out, err);
    o.host.SetQuiet(true);
    if (!o.session.Open(opt.port) || !Connect(o)) return kRefused;
    // A .ged file on a standard controller (or a .foc file on an FOC one) would be accepted by the
    // import and then never sent: the download would report success with none of its values.
    if ((FileKindOf(file) == FileKind::Ged) != s.link.focMode) {
        o.host.ShowMessage(s.Message(MSG_IMPORT_MISMATCH), MB_ICON_WARNING);
        err << "drivetune-cli: " << file << " is a ." << (s.link.focMode ? "foc" : "ged")
            << " file; this controller takes ." << KindExtension(s) << " files\n";
        return kRefused;
    }
    if (!o.session.Link().files.ImportFrom(file)) return kRefused;
    o.host.SetQuiet(false);
    o.session.ResetOutcome();
    if (!o.session.Run([&] { return o.session.Link().commands.Download(); })) return kRefused;
    return o.session.Outcome() == 0x03 ? kOk : kRefused;
}

int Store(const OnlineOptions& opt, ToolState& s, std::ostream& out, std::ostream& err) {
    Online o(s, out, err);
    o.host.SetQuiet(true);
    if (!o.session.Open(opt.port) || !Connect(o)) return kRefused;
    o.host.SetQuiet(false);
    o.session.ResetOutcome();
    if (!o.session.Run([&] { return o.session.Link().commands.Store(); })) return kRefused;
    return o.session.Outcome() == 0x03 ? kOk : kRefused;
}

int Restore(const OnlineOptions& opt, ToolState& s, std::ostream& out, std::ostream& err) {
    Online o(s, out, err);
    if (!o.session.Open(opt.port)) return kRefused;
    if (!o.session.Run([&] { return o.session.Link().commands.Default(); })) return kRefused;
    const int outcome = o.session.Outcome();
    if (outcome == 0) return kRefused;  // no answer: the time-out message was shown
    // The engine has asked for the new values; unlike the window, the command line guards
    // that read with the time-out as well, so a silent controller cannot keep it waiting.
    const int before = o.host.Completions();
    o.host.SetBusy(false);
    o.session.Wait();
    if (o.host.Completions() == before) return kRefused;
    PrintRead(s, o.host, opt.json, out);
    return outcome == 0x03 ? kOk : kRefused;
}

int Ports(const std::vector<std::string>& args, ToolState& s, std::ostream& out, std::ostream& err) {
    if (!args.empty()) return UsageError(err, "ports takes no arguments", "ports");
    const std::vector<std::string> entries = PortNumbering::System().BoxEntries();
    for (const std::string& e : entries) out << e << "\n";
    if (entries.empty()) err << s.Message(MSG_NO_PORT) << "\n";
    return kOk;
}

}  // namespace

int RunOnlineCommand(const std::string& cmd, const std::vector<std::string>& args, ToolState& s,
                     std::ostream& out, std::ostream& err) {
    struct Command {
        const char* name;
        const char* usage;
        OptionSet options;
        int (*run)(const OnlineOptions&, ToolState&, std::ostream&, std::ostream&);
    };
    static const Command kCommands[] = {
        {"upload", kUploadUsage, {true, true, 0}, Upload},
        {"download", kDownloadUsage, {false, false, 1}, Download},
        {"store", kStoreUsage, {false, false, 0}, Store},
        {"restore", kRestoreUsage, {false, true, 0}, Restore},
    };
    if (cmd == "ports") return Ports(args, s, out, err);
    for (const Command& c : kCommands) {
        if (cmd != c.name) continue;
        OnlineOptions opt;
        std::string why;
        if (!ParseOnlineOptions(args, c.options, opt, why)) return UsageError(err, why, c.usage);
        if (opt.baud > 0) s.settings.Baudrate = opt.baud;
        // The serial port and its time-out run on Qt's event loop.
        std::unique_ptr<QCoreApplication> app;
        static int argc = 1;
        static char name[] = "drivetune-cli";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
        return c.run(opt, s, out, err);
    }
    return -1;
}

std::string OnlineUsage() {
    return "\n"
           "online commands (P is COM<n> or a device path; --baud N overrides the configured rate):\n"
           "  ports                    the port box entries, one per line\n"
           "  upload --port P [-o FILE] [--json]\n"
           "                           read the controller and print it as show does; -o saves it\n"
           "                           (.foc for a standard controller, .ged for an FOC one)\n"
           "  download --port P FILE   read the controller, then write FILE into it (same identity,\n"
           "                           range check first) and store it\n"
           "  store --port P           ask the controller to store its current values\n"
           "  restore --port P [--json]\n"
           "                           restore the controller's factory values, then read and print them\n"
           "their messages go to standard error; a port failure, time-out, mismatch or refusal exits 1\n";
}

}  // namespace dt::cli
