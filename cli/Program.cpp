// program: one recipe into the units on many ports at once, each checked, verified and recorded.
#include <QDateTime>
#include <QEventLoop>
#include <QSysInfo>
#include <QTimer>
#include <cstdio>

#include "Backups.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "Interrupts.h"
#include "Json.h"
#include "ProgramJournal.h"
#include "Recipe.h"
#include "Station.h"
#include "ToolState.h"

namespace dt::cli {

namespace {

// How often the event loop looks for Ctrl+C.
constexpr int kInterruptPollMs = 50;

// The recipe, read once: unreadable, short, of unknown kind, not the expected bytes, not valid or
// refused by its own range check all end the command before anything is sent.
bool LoadRecipe(const Context& c, const ToolState& base, station::Recipe& recipe) {
    const std::string& path = c.opt.files[0];
    std::vector<unsigned char> bytes;
    std::string why;
    const ControllerProfile* file = ProfileOfFileAnyCase(path);
    if (!ReadParameterFile(path, bytes, why)) {
        c.err << "drivetune-cli: cannot read " << path << (why.empty() ? "" : ": " + why) << "\n";
        return false;
    }
    if (!file) {
        c.err << "drivetune-cli: " << path << ": the name must end in .foc or .ged\n";
        return false;
    }
    const std::string& expected = c.opt.program.expectSha256;
    if (!expected.empty()) {
        const std::string actual = station::Sha256Hex(bytes);
        if (QString::fromStdString(expected).compare(QString::fromStdString(actual), Qt::CaseInsensitive) != 0) {
            c.err << "drivetune-cli: " << path << ": " << FillIn(base.Extra(XTX_PROGRAM_RECIPE_HASH), actual, expected)
                  << "\n";
            return false;
        }
    }
    if (recipe.Load(base, *file, bytes, why)) return true;
    c.err << "drivetune-cli: " << path << ": " << why << "\n";
    return false;
}

double Seconds(const std::string& from, const std::string& to) {
    const QDateTime a = QDateTime::fromString(QString::fromStdString(from), Qt::ISODateWithMs);
    const QDateTime b = QDateTime::fromString(QString::fromStdString(to), Qt::ISODateWithMs);
    return a.isValid() && b.isValid() ? static_cast<double>(a.msecsTo(b)) / 1000.0 : 0.0;
}

Json AttemptJson(const record::Attempt& a) {
    Json rounded = Json::parse(a.roundedJson.empty() ? "[]" : a.roundedJson, nullptr, false);
    if (rounded.is_discarded()) rounded = Json::array();
    return {{"schema", 1},
            {"attempt", a.id},
            {"port", a.port},
            {"outcome", record::OutcomeWord(a.outcome)},
            {"cause", a.cause},
            {"identity", a.identity},
            {"recipeSha256", a.recipeSha256},
            {"writtenSha256", a.writtenSha256},
            {"readBackSha256", a.readBackSha256},
            {"rounded", rounded},
            {"label", a.label},
            {"operator", a.operatorName},
            {"station", a.station},
            {"started", a.started},
            {"ended", a.ended}};
}

// Prints each attempt as it ends, on standard output: a line of text or of JSON.
class AttemptPrinter : public station::SlotListener {
public:
    AttemptPrinter(const Context& c, const ToolState& s) : c_(c), s_(s) {}
    void OnAttemptEnded(int, const record::Attempt& a) override {
        if (c_.opt.json) c_.out << AttemptJson(a).dump(-1, ' ', false, Json::error_handler_t::replace) << "\n";
        else PrintLine(a);
        c_.out.flush();
    }

private:
    void PrintLine(const record::Attempt& a) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f s", Seconds(a.started, a.ended));
        const bool pass = a.outcome == record::Outcome::Pass;
        c_.out << a.port << "  " << s_.Extra(pass ? XTX_PROGRAM_PASS : XTX_PROGRAM_FAIL);
        if (!pass) c_.out << " (" << record::OutcomeWord(a.outcome) << ": " << a.cause << ")";
        if (!a.identity.empty()) c_.out << "  " << a.identity;
        c_.out << "  " << seconds << "\n";
        const Json rounded = Json::parse(a.roundedJson.empty() ? "[]" : a.roundedJson, nullptr, false);
        if (!rounded.is_array()) return;
        for (const Json& r : rounded)
            c_.out << "    ~ " << r.value("name", "") << ": " << r.value("recipe", "") << " -> " << r.value("unit", "")
                   << "\n";
    }
    const Context& c_;
    const ToolState& s_;
};

// The ports named, else the one the command line chose from DRIVETUNE_PORT or the settings.
std::vector<std::string> PortsOf(const Context& c) {
    if (!c.opt.program.ports.empty()) return c.opt.program.ports;
    return {PortText(c.opt.port)};
}

station::SlotConfig SlotFor(const Context& c, const std::string& port) {
    station::SlotConfig config;
    PortChoice choice;
    std::string why;
    ParsePortChoice(port, choice, why);  // checked by the parser
    config.port = port;
    config.number = choice.number;
    config.device = choice.device;
    // The time-out ends on its eleventh tick: --timeout MS spreads MS over them.
    constexpr int kTicks = ReplyTimeout::kLastCount + 1;
    config.timeoutIntervalMs = c.opt.timeoutMs > 0 ? (c.opt.timeoutMs + kTicks - 1) / kTicks : ReplyTimeout::kIntervalMs;
    config.repeat = c.opt.program.repeat;
    config.backupFolder = DefaultBackupDir();
    const std::string& file = c.opt.files[0];
    config.recipeFile = file.substr(file.find_last_of("/\\") + 1);
    config.label = c.opt.program.label;
    config.operatorName = c.opt.program.operatorName;
    config.station = c.opt.program.station.empty() ? QSysInfo::machineHostName().toStdString() : c.opt.program.station;
    return config;
}

// Runs the station until every slot has stopped; true when Ctrl+C stopped it.
bool RunStation(station::Station& station) {
    QEventLoop loop;
    QObject::connect(&station, &station::Station::Finished, &loop, &QEventLoop::quit);
    bool interrupted = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (interrupted || !InterruptRequested()) return;
        interrupted = true;
        station.Stop();
    });
    poll.start(kInterruptPollMs);
    station.Start();
    if (!station.AllStopped()) loop.exec();
    return interrupted || InterruptRequested();
}

}  // namespace

int RunProgram(const Context& c) {
    ToolState base;
    c.SetUp(base);
    if (c.opt.baud > 0) base.settings.Baudrate = c.opt.baud;
    station::Recipe recipe;
    if (!LoadRecipe(c, base, recipe)) return kUsage;
    std::string why;
    std::unique_ptr<station::AttemptJournal> journal = OpenProductionJournal(why);
    if (!journal) {
        c.err << "drivetune-cli: " << base.Extra(XTX_PROGRAM_JOURNAL_FAILED) << " " << why << "\n";
        return kRefused;
    }
    AttemptPrinter printer(c, base);
    station::Station station(base, recipe, *journal, printer);
    for (const std::string& port : PortsOf(c)) station.AddSlot(SlotFor(c, port));
    const bool interrupted = RunStation(station);
    const station::SlotCounts total = station.Totals();
    const std::string counts = FillIn(base.Extra(XTX_PROGRAM_COUNTS), std::to_string(total.passed),
                                      std::to_string(total.failed));
    if (c.opt.json) c.out << Json{{"schema", 1}, {"summary", {{"passed", total.passed}, {"failed", total.failed}}}}.dump() << "\n";
    else c.out << FillIn(base.Extra(XTX_PROGRAM_SUMMARY), std::to_string(total.passed + total.failed), counts) << "\n";
    c.out.flush();
    if (interrupted && !c.opt.program.repeat) return kInterrupted;
    return total.failed > 0 ? kRefused : kOk;
}

}  // namespace dt::cli
