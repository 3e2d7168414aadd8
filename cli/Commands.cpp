#include "Commands.h"

#include "LanguageSetup.h"
#include "Settings.h"
#include "ToolState.h"

namespace dt::cli {

void Context::SetUp(ToolState& s) const {
    s.settings = LoadSettings(DefaultSettingsPath());
    ApplyLanguage(s, textIniPath);
    if (opt.lang == "en") s.language = LANG_ENGLISH;
    else if (opt.lang == "cn") s.language = LANG_CHINESE;
    BuildChoiceLists(s.lists, s.catalogue->optionTexts, s.language);
}

const std::vector<Command>& CommandTable() {
    static const std::vector<Command> kTable = {
        {"tables", "every built-in parameter table as JSON",
         "Prints every built-in parameter table (rows, words, formats, ranges, hints, groups) as JSON.",
         kJsonOption, 0, 0, nullptr, RunTables},
        {"show", "the values of .foc or .ged files, as shown after an upload",
         "Prints the values of each FILE as the window shows them after an upload: tables and groups as "
         "headings, one \"name  value\" line per row. With several files each sheet is headed by "
         "\"==> FILE <==\"; with --json one object per file, in an array when there are several.",
         kJsonOption, 1, -1,
         ".foc files (standard controller) or .ged files (FOC controller); - reads one from standard input",
         RunShow},
        {"check", "the range check a download makes",
         "Runs the range check a download makes on each FILE, and on the .foc and .ged files of each "
         "FOLDER. A file that passes prints \"ok\", a refused one the refusal, on standard output (headed "
         "by \"==> FILE <==\" when there are several files); with --json every file's outcome, its refused "
         "rows and their bounds. A file whose calibration words are 0 cannot be checked (every value would "
         "pass): standard error says so, and JSON has \"checked\": false. Exit status 1 when any file is "
         "refused.",
         kJsonOption, 1, -1, ".foc or .ged files or folders; - reads one from standard input", RunCheck},
        {"set", "change values in a file, checked as a download checks them",
         "Changes the rows of FILE named by ID=VALUE (the id of show --json, such as ParameterSettings.3, or "
         "the row's name in either language where only one row has it) and writes the result to -o OUT "
         "(- for standard output). The range check of a download runs first: a refused set writes nothing "
         "and exits with 1. Prints the rows changed, as diff does.",
         kOutputOption | kJsonOption, 2, -1, "FILE, then one or more ID=VALUE", RunSet},
        {"diff", "the rows whose shown values differ, between two files or a file and a controller",
         "Compares A with B, or with --port the controller's values with FILE (a read only: nothing is "
         "written). Rows are paired by set and row name; a row that only one side has is listed with "
         "\"(none)\" (null in JSON) on the other. Exit status 0 when the shown values are equal, 1 when "
         "they differ, 2 on error.",
         kPortOption | kJsonOption, 1, -1, "two files A B, or one FILE with --port", RunDiff},
        {"backups", "the automatic backups, newest first",
         "Lists the backups kept in $XDG_DATA_HOME/DriveTune/backups (default "
         "~/.local/share/DriveTune/backups), newest first: time, read or written, kind, identity, path. "
         "Every set read from a controller and every set about to be written into one is kept there; "
         "backups restore N (the Nth of the list, 1 the newest) or backups restore PATH downloads that "
         "backup into the controller as download does.",
         kJsonOption | kPortOption, 0, 2, "restore N|PATH: put a backup back into the controller", RunBackups},
        {"ports", "the port box entries, one per line",
         "Prints the port box entries, one per line: COM<n> (<device>); with --json each port's number, "
         "device and adapter.",
         kJsonOption, 0, 0, nullptr, RunPorts},
        {"upload", "read a controller and print it as show does",
         "Reads every parameter of the controller and prints it as show does. -o saves the set (.foc for "
         "a standard controller, .ged for an FOC one); -o - writes the set's bytes to standard output "
         "instead of the sheet.",
         kPortOption | kPortRequired | kOutputOption | kJsonOption, 0, 0, nullptr, RunUpload},
        {"download", "write FILE into a controller of the same identity and store it",
         "Reads the controller, then writes FILE into it (the same identity; the range check first) and "
         "stores it. --set ID=VALUE changes rows first (of FILE, or of the controller's own set when no "
         "FILE is given), as set does. The set is backed up before it is written (see backups). --dry-run "
         "prints the rows the download would change, as diff does, and writes "
         "nothing. --verify reads the set back after the store and prints the rows that differ from what "
         "was sent (name, sent, read back); exit status 1 when any does.",
         kPortOption | kPortRequired | kJsonOption | kDryRunOption | kVerifyOption | kSetOption, 0, 1,
         "the .foc or .ged file to write; - reads it from standard input", RunDownload},
        {"store", "ask the controller to store its current values",
         "Reads the controller's identity, then asks it to store its current values.",
         kPortOption | kPortRequired, 0, 0, nullptr, RunStore},
        {"factory-reset", "restore the controller's factory values, then read and print them",
         "Reads the controller and backs its set up, then restores its factory values, reads them and "
         "prints them as show does. --no-backup skips the first read and its backup. Also called restore.",
         kPortOption | kPortRequired | kJsonOption | kNoBackupOption, 0, 0, nullptr, RunRestore},
        {"program", "write FILE into every unit on the ports, in parallel, checked and recorded",
         "Programs the controllers on every --port at once with the values of FILE (the recipe). Each unit is "
         "read and backed up, must be the recipe's model (its calibration may differ), gets every editable "
         "value of the recipe as shown with its own calibration, passes the range check, is written, stored "
         "and read back. A unit passes only when the blocks read back are those written. One line per unit "
         "as it ends, then \"N programmed: P passed, F failed\"; --json prints JSON lines. Every attempt is "
         "kept in production.sqlite beside the backups. Exit status 0 when every unit passed, 1 when any "
         "failed, 2 when the recipe is refused before anything is sent, 130 on Ctrl+C (with --repeat, "
         "Ctrl+C is the normal end: 0 or 1).",
         kPortOption | kPortRequired | kJsonOption | kProgramOptions, 1, 1, "the recipe: a .foc or .ged file", RunProgram},
        {"record", "the production record: list, push to the plant database, set it up, report",
         "Without ACTION, lists the attempts of this station's journal ($XDG_DATA_HOME/DriveTune/"
         "production.sqlite), newest first: start, outcome, port, label, recipe, operator, station, cause; "
         "--since, --outcome and --port choose, --json or --csv export. "
         "push sends the completed attempts not yet sent to the plant database (--to, else the setting "
         "RecordServer); each goes once, however often a push is repeated or cut off. "
         "server-init --to creates or upgrades the plant database's schema and the roles drivetune_station "
         "(may only add attempts) and drivetune_viewer (may only read). "
         "report --from a connection string or a journal file prints, per --by group, attempts, passes, "
         "failures, interrupted, the first-pass yield and the failure causes counted. Passwords never go "
         "in a connection string: libpq reads them from ~/.pgpass or a service file. "
         "Exit status 1 when the plant database cannot be reached or refuses.",
         kJsonOption | kRecordOptions, 0, 1, "push, server-init or report; without it the journal is listed",
         RunRecord},
    };
    return kTable;
}

const char* CommandAlias(const Command& command) {
    return std::string(command.name) == "factory-reset" ? "restore" : nullptr;
}

bool NeedsPort(const Command& command, const CliOptions& options) {
    if (command.options & kPortRequired) return true;
    return command.run == RunBackups && !options.files.empty() && options.files[0] == "restore";
}

}  // namespace dt::cli
