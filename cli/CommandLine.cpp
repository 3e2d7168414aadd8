#include "CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
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

const char* const kPortHelp =
    "COM<n>, a port box entry, or a device path such as /dev/ttyUSB0; without it, $DRIVETUNE_PORT, "
    "then the port the window used last";

const char* const kManyPortsHelp =
    "a port to program on, as for the other commands; repeat it for more ports";

const char* const kGlobalNote =
    "The global options --lang, --trace and --quiet may come before or after the command.";

// The column where option and command descriptions start.
constexpr size_t kDescriptionColumn = 26;

// Help paragraphs broken into lines of at most width columns.
std::string Wrap(const std::string& text, size_t width) {
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

// CLI11's help with every description wrapped to the width, indented under its column.
class WrappingFormatter : public CLI::Formatter {
public:
    explicit WrappingFormatter(size_t width) : width_(width) { column_width(kDescriptionColumn); }
    std::string make_description(const CLI::App* app) const override {
        return Wrap(app->get_description(), width_) + "\n";
    }
    // Each line of a footer is a paragraph of its own.
    std::string make_footer(const CLI::App* app) const override {
        std::string out, line;
        std::istringstream lines(app->get_footer());
        while (std::getline(lines, line)) out += Wrap(line, width_) + "\n";
        return out;
    }
    std::string make_option_desc(const CLI::Option* opt) const override {
        return Wrap(CLI::Formatter::make_option_desc(opt), DescriptionWidth());
    }
    std::string make_subcommand(const CLI::App* sub) const override {
        std::stringstream out;
        CLI::detail::format_help(out, sub->get_name(), Wrap(sub->get_description(), DescriptionWidth()),
                                 column_width_);
        return out.str();
    }

private:
    // Never narrower than 20 columns, so a tiny terminal still gets one word a line at most.
    size_t DescriptionWidth() const { return width_ > kDescriptionColumn + 20 ? width_ - kDescriptionColumn : 20; }
    size_t width_;
};

void AddGlobalOptions(CLI::App& app, CliOptions& o) {
    app.add_option("--lang", o.lang, "en: English texts; cn: Chinese texts (with text.ini when present)")
        ->check(CLI::IsMember({"en", "cn"}).description(""))
        ->type_name("en|cn");
    app.add_flag("--trace", o.trace, "log every frame to the support log, in hex with a millisecond time");
    app.add_flag("-q,--quiet", o.quiet, "no messages on success; warnings and errors are still printed");
}

// A decimal option: CLI11's own conversion would read a leading zero as octal.
CLI::Option* AddNumberOption(CLI::App& sub, const char* name, int& value, long min, long max, const char* help) {
    return sub
        .add_option_function<std::string>(
            name,
            [&value, min, max](const std::string& text) {
                std::string why;
                ParseNumberIn(text, min, max, value, why);
            },
            help)
        ->check(CLI::Validator(
            [min, max](std::string& text) {
                int n = 0;
                std::string why;
                return ParseNumberIn(text, min, max, n, why) ? std::string() : why;
            },
            ""));
}

void AddCommandOptions(CLI::App& sub, const Command& c, CliOptions& o, std::string& port) {
    if (c.options & kPortOption) {
        // program takes many ports, each --port with one.
        CLI::Option* portOption = (c.options & kProgramOptions)
                                      ? sub.add_option("--port", o.program.ports, kManyPortsHelp)->allow_extra_args(false)
                                      : sub.add_option("--port", port, kPortHelp);
        portOption->type_name("P")->check(CLI::Validator(
            [](std::string& text) {
                PortChoice choice;
                std::string why;
                return ParsePortChoice(text, choice, why) ? std::string() : why;
            },
            ""));
        AddNumberOption(sub, "--baud", o.baud, 1, 4000000,
                        "line speed in bits per second, instead of the configured rate")
            ->type_name("N");
        AddNumberOption(sub, "--timeout", o.timeoutMs, 100, 600000,
                        "wait up to MS milliseconds for an exchange to end, instead of about 2200")
            ->type_name("MS");
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
    if (c.options & kSetOption)
        sub.add_option("--set", o.sets, "change a row first: its id or name, = and the new value (repeatable)")
            ->type_name("ID=VALUE")
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    if (c.options & kProgramOptions) AddProgramOptions(sub, o);
    if (c.options & kNoBackupOption)
        sub.add_flag("--no-backup", o.noBackup, "do not read and back up the set first");
    if (c.options & kRecordOptions) AddRecordOptions(sub, o.record);
    if (c.filesHelp) {
        CLI::Option* f = sub.add_option("FILE", o.files, c.filesHelp)->type_name("");
        f->expected(c.minFiles, c.maxFiles < 0 ? CLI::detail::expected_max_vector_size : c.maxFiles);
        if (c.minFiles > 0) f->required();
    }
}

// The usage line and the commands, for a call with no arguments at all.
void PrintShortUsage(std::ostream& err) {
    err << "Usage: drivetune-cli [--lang en|cn] [--trace] [--quiet] COMMAND [OPTIONS] [FILE ...]\n\nCommands:\n";
    size_t width = 0;
    for (const Command& c : CommandTable()) width = std::max(width, std::string(c.name).size());
    for (const Command& c : CommandTable()) {
        std::string name = std::string("  ") + c.name;
        name.resize(width + 4, ' ');
        err << name << c.summary << "\n";
    }
    err << "\nTry 'drivetune-cli --help' for more information.\n";
}

const CLI::App* CommandNamed(const CLI::App& app, const std::string& word) {
    for (const Command& c : CommandTable())
        if (word == c.name || (CommandAlias(c) && word == CommandAlias(c))) return app.get_subcommand(c.name);
    return nullptr;
}

bool LooksLikeNumber(const std::string& word) {
    return word.size() > 1 && word[0] == '-' && word.find_first_not_of("0123456789.", 1) == std::string::npos;
}

// An option the command does not know, named before anything else is said of the command line
// (CLI11 would first report a required option that is missing).
std::string UnknownOption(const CLI::App& app, const std::vector<std::string>& args) {
    const CLI::App* sub = nullptr;
    for (const std::string& a : args)
        if (!sub && a.rfind('-', 0) != 0) sub = CommandNamed(app, a);
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a.size() < 2 || a[0] != '-' || LooksLikeNumber(a)) continue;
        const std::string name = a.substr(0, a.find('='));
        // A short option with its value attached ("-ofile") is the option itself.
        const std::string known = name[1] != '-' ? name.substr(0, 2) : name;
        if (app.get_option_no_throw(known) || (sub && sub->get_option_no_throw(known))) continue;
        return name;
    }
    return std::string();
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

// What the parser lets through but no command can use: an empty file name (a shell variable that
// was never set) would otherwise read as no -o at all; the set itself on standard output has no
// JSON form.
std::string UnusableArgument(const CLI::App& sub, const CliOptions& o) {
    const CLI::Option* output = sub.get_option_no_throw("-o");
    if (output && output->count() > 0 && o.output.empty()) return "-o: the file name is empty";
    for (const std::string& f : o.files)
        if (f.empty()) return "FILE: a file name is empty";
    if (o.output == "-" && o.json) return "-o -: the set itself goes to standard output; it has no --json form";
    return std::string();
}

}  // namespace

int ParseCommandLine(const std::vector<std::string>& args, CliOptions& options, const Command*& command,
                     std::ostream& out, std::ostream& err, size_t helpWidth) {
    if (args.empty()) {
        PrintShortUsage(err);
        return kUsage;
    }
    CLI::App app("Reads, shows, checks, compares and writes the parameters of the brushless motor "
                 "controllers of e-bikes and scooters, as the DriveTune window does.",
                 "drivetune-cli");
    app.fallthrough();
    // The same options everywhere: on Windows CLI11 would take "/path/file" for an option.
    app.allow_windows_style_options(false);
    app.require_subcommand(0, 1);
    app.footer(kFooter);
    app.formatter(std::make_shared<WrappingFormatter>(helpWidth));
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    bool version = false;
    app.add_flag("--version", version, "print the version and exit");
    AddGlobalOptions(app, options);
    std::string port;
    for (const Command& c : CommandTable()) {
        CLI::App* sub = app.add_subcommand(c.name, c.summary);
        sub->group("Commands");
        if (const char* alias = CommandAlias(c)) sub->alias(alias);
        sub->footer(std::string(c.description) + "\n\n" + kGlobalNote);
        AddCommandOptions(*sub, c, options, port);
    }
    const std::string unknown = UnknownOption(app, args);
    if (!unknown.empty()) {
        std::string help = "drivetune-cli";
        for (const std::string& a : args)
            if (CommandNamed(app, a)) {
                help += " " + a;
                break;
            }
        err << "drivetune-cli: The following argument was not expected: " << unknown << "\nTry '" << help
            << " --help' for more information.\n";
        return kUsage;
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
    if (const std::string unusable = UnusableArgument(*app.get_subcommand(command->name), options); !unusable.empty()) {
        err << "drivetune-cli: " << unusable << "\nTry 'drivetune-cli " << command->name
            << " --help' for more information.\n";
        return kUsage;
    }
    std::string why;
    if (port.empty() && !options.program.ports.empty()) port = options.program.ports[0];
    options.hasPort = !port.empty();
    if (options.hasPort && !ParsePortChoice(port, options.port, why)) return kUsage;  // the validator has passed it
    return kParsed;
}

}  // namespace dt::cli
