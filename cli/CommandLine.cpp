#include "CommandLine.h"

#include <CLI/CLI.hpp>
#include <sstream>

#include "ExitStatus.h"
#include "Version.h"

namespace dt::cli {

namespace {

const char* const kFooter =
    "Without --lang, a text.ini in the working directory chooses Chinese, its absence English.\n"
    "Standard output carries only data; every message goes to standard error.\n"
    "Exit status: 0 success (diff: equal), 1 refused (diff: different), 2 usage error or a file\n"
    "that cannot be read or written.";

const char* const kPortHelp = "COM<n>, a port box entry, or a device path such as /dev/ttyUSB0";

const char* const kGlobalNote = "The global options --lang and --trace may come before or after the command.";

// Help paragraphs broken into lines of at most width columns.
std::string Wrap(const std::string& text, size_t width = 78) {
    std::string out, line, word;
    std::istringstream words(text);
    while (words >> word) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return out + line;
}

void AddGlobalOptions(CLI::App& app, CliOptions& o) {
    app.add_option("--lang", o.lang, "en: English texts; cn: Chinese texts (with text.ini when present)")
        ->check(CLI::IsMember({"en", "cn"}).description(""))
        ->type_name("en|cn");
    app.add_flag("--trace", o.trace, "log every frame to the support log, in hex with a millisecond time");
}

void AddCommandOptions(CLI::App& sub, const Command& c, CliOptions& o, std::string& port) {
    if (c.options & kPortOption) {
        CLI::Option* p = sub.add_option("--port", port, kPortHelp)->type_name("P");
        p->check(CLI::Validator(
            [](std::string& text) {
                PortChoice choice;
                std::string why;
                return ParsePortChoice(text, choice, why) ? std::string() : why;
            },
            ""));
        if (c.options & kPortRequired) p->required();
        sub.add_option("--baud", o.baud, "line speed in bits per second, instead of the configured rate")
            ->check(CLI::Range(1, 4000000).description(""))
            ->type_name("N");
    }
    if (c.options & kOutputOption)
        sub.add_option("-o", o.output, "save the set read to FILE (.foc or .ged)")->type_name("FILE");
    if (c.options & kJsonOption) sub.add_flag("--json", o.json, "print JSON instead of text");
    CLI::Option* dryRun = nullptr;
    if (c.options & kDryRunOption)
        dryRun = sub.add_flag("--dry-run", o.dryRun, "print the rows the download would change; write nothing");
    if (c.options & kVerifyOption) {
        CLI::Option* verify =
            sub.add_flag("--verify", o.verify, "read the set back after the store and compare it with what was sent");
        if (dryRun) dryRun->excludes(verify);
    }
    if (c.options & kNoBackupOption)
        sub.add_flag("--no-backup", o.noBackup, "do not read and back up the set first");
    if (c.filesHelp) {
        CLI::Option* f = sub.add_option("FILE", o.files, c.filesHelp)->type_name("");
        f->expected(c.minFiles, c.maxFiles < 0 ? CLI::detail::expected_max_vector_size : c.maxFiles);
        if (c.minFiles > 0) f->required();
    }
}

int Failure(const CLI::App& app, const CLI::ParseError& e, std::ostream& err) {
    std::string what = e.what();
    // CLI11 calls an unknown command an argument that was not expected.
    if (app.get_subcommands().empty() && dynamic_cast<const CLI::ExtrasError*>(&e)) {
        const auto extras = app.remaining();
        if (!extras.empty() && extras[0].rfind('-', 0) != 0) what = "unknown command \"" + extras[0] + "\"";
    }
    std::string help = "drivetune-cli";
    if (!app.get_subcommands().empty()) help += " " + app.get_subcommands()[0]->get_name();
    err << "drivetune-cli: " << what << "\nTry '" << help << " --help' for more information.\n";
    return kUsage;
}

}  // namespace

int ParseCommandLine(const std::vector<std::string>& args, CliOptions& options, const Command*& command,
                     std::ostream& out, std::ostream& err) {
    CLI::App app(Wrap("Reads, shows, checks, compares and writes the parameters of the brushless motor "
                      "controllers of e-bikes and scooters, as the DriveTune window does."),
                 "drivetune-cli");
    app.fallthrough();
    // The same options everywhere: on Windows CLI11 would take "/path/file" for an option.
    app.allow_windows_style_options(false);
    app.require_subcommand(0, 1);
    app.footer(kFooter);
    app.get_formatter()->column_width(26);
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    bool version = false;
    app.add_flag("--version", version, "print the version and exit");
    AddGlobalOptions(app, options);
    std::string port;
    for (const Command& c : CommandTable()) {
        CLI::App* sub = app.add_subcommand(c.name, c.summary);
        sub->group("Commands");
        sub->footer(Wrap(c.description) + "\n\n" + Wrap(kGlobalNote));
        AddCommandOptions(*sub, c, options, port);
    }
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kOk;
    } catch (const CLI::ParseError& e) {
        return Failure(app, e, err);
    }
    for (const Command& c : CommandTable())
        if (app.got_subcommand(c.name)) command = &c;
    if (version) {
        out << "drivetune-cli " << DRIVETUNE_VERSION << "\n";
        return kOk;
    }
    if (!command) {
        err << "drivetune-cli: no command given\nTry 'drivetune-cli --help' for more information.\n";
        return kUsage;
    }
    std::string why;
    options.hasPort = !port.empty();
    if (options.hasPort && !ParsePortChoice(port, options.port, why)) return kUsage;  // the validator has passed it
    return kParsed;
}

}  // namespace dt::cli
