#include "CliMain.h"

#include <QCoreApplication>
#include <iostream>
#include <memory>

#include <cstdlib>

#include "CheckedOutput.h"
#include "CommandLine.h"
#include "Settings.h"
#include "ExitStatus.h"
#include "Interrupts.h"
#include "SupportLog.h"
#include "Terminal.h"

namespace dt::cli {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const std::string& textIniPath,
        size_t helpWidth, std::istream* in, const Console& console) {
    CliOptions options;
    const Command* command = nullptr;
    const int parsed = ParseCommandLine(args, options, command, out, err, helpWidth);
    if (parsed != kParsed) return parsed;
    if (options.trace) SetFrameTrace(true);
    if (NeedsPort(*command, options) && !options.hasPort) {
        const char* environment = std::getenv("DRIVETUNE_PORT");
        std::string from, why;
        if (!DefaultPort(environment ? environment : "", LoadSettings(DefaultSettingsPath()).UartPort, options.port,
                         from, why)) {
            err << "drivetune-cli: " << why << "\n";
            return kUsage;
        }
        options.hasPort = true;
        if (!options.quiet)
            err << "drivetune-cli: port " << PortText(options.port) << " (from " << from << ")\n";
    }
    // Only a command that talks to a controller has an exchange to stop safely; the others end
    // on Ctrl+C as any program does.
    if (options.hasPort && console.catchInterrupts) CatchInterrupts();
    // The serial port and its time-out run on Qt's event loop.
    std::unique_ptr<QCoreApplication> app;
    if (options.hasPort && !QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "drivetune-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    std::string line = "command:";
    for (const std::string& a : args) line += " " + a;
    LogEvent(line);
    const bool progress = console.errIsTerminal && !options.quiet;
    int rc = command->run(Context{options, out, err, textIniPath, in ? *in : std::cin, progress});
    if (const std::string failure = OutputFailure(out); !failure.empty()) {
        err << "drivetune-cli: standard output: " << failure << "\n";
        rc = kUsage;
    }
    LogEvent(std::string("command ") + command->name + " ended with exit status " + std::to_string(rc));
    return rc;
}

int Main(int argc, char** argv) {
    StartSupportLog("drivetune-cli");
    std::vector<std::string> args(argv + 1, argv + argc);
    // Help fits the terminal it is read on; in a pipe or a file, 80 columns.
    const int columns = TerminalColumns(Stream::Out);
    Console console;
    console.errIsTerminal = IsTerminal(Stream::Err);
    console.catchInterrupts = true;
    GuardStandardStreams();
    CheckedOutputBuf checked(stdout);
    std::ostream out(&checked);
    return Run(args, out, std::cerr, "text.ini", columns > 0 ? static_cast<size_t>(columns) : 80, nullptr, console);
}

}  // namespace dt::cli
