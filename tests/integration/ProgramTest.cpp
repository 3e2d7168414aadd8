// program against a batch of virtual controllers: units of one model with their own
// calibrations, the faults a line meets, station mode and Ctrl+C.
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <sstream>
#include <csignal>

#include "CliHarness.h"
#include "Journal.h"
#include "Json.h"
#include "ControllerProfile.h"
#include "Sheet.h"
#include "Station.h"
#include "Recipe.h"
#include "cli/JsonShapes.h"
#include "record/PlantTestSupport.h"
#include "Settings.h"
#include "SupportLog.h"

using namespace clitest;
using dt::cli::Json;

namespace {

// drivetune-sim --count N, driven through its standard input.
class BatchSim {
public:
    ~BatchSim() {
        if (!process_) return;
        process_->terminate();
        if (!process_->waitForFinished(3000)) process_->kill();
    }
    bool Start(int count, const std::vector<std::string>& extra = {}) {
        process_ = std::make_unique<QProcess>();
        QStringList args{"--count", QString::number(count)};
        for (const std::string& a : extra) args << QString::fromStdString(a);
        process_->start(DT_BINARY_DIR "/sim/drivetune-sim", args);
        for (int i = 0; i < count; ++i) paths_.push_back(Line());
        return process_->waitForStarted() && !paths_.back().empty();
    }
    const std::string& Path(int i) const { return paths_.at(i); }
    // A control line and its answer.
    std::string Control(const std::string& line) {
        process_->write((line + "\n").c_str());
        process_->waitForBytesWritten(2000);
        return Line();
    }
    long Written(int place) {
        const std::string answer = Control("written " + std::to_string(place));
        return std::stol(answer.substr(answer.rfind(' ') + 1));
    }

private:
    std::string Line() {
        while (!process_->canReadLine())
            if (!process_->waitForReadyRead(5000)) return std::string();
        return process_->readLine().trimmed().toStdString();
    }
    std::unique_ptr<QProcess> process_;
    std::vector<std::string> paths_;
};

std::vector<Json> JsonLines(const std::string& out) {
    std::vector<Json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line, nullptr, false));
    return lines;
}

// The attempt on port, from JSON lines.
Json AttemptOn(const std::vector<Json>& lines, const std::string& port) {
    for (const Json& j : lines)
        if (j.is_object() && j.value("port", "") == port) return j;
    return Json();
}

Bytes FasterMotor() { return WithWord(ReadFile(Sample("standard-b.foc")), 203, 1500); }

std::string Hex256(const Bytes& bytes) {
    return QCryptographicHash::hash(QByteArray(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// The blocks the download path writes into a unit that held `held`: the recipe's texts in every
// editable cell, the unit's own in the read-only ones, stored with the unit's calibration.
Bytes ExpectedWrite(const Bytes& held, const Bytes& recipe) {
    dt::ToolState unit, wanted;
    dt::cli::LoadParameterBytes(unit, &dt::StandardProfile(), held);
    dt::cli::LoadParameterBytes(wanted, &dt::StandardProfile(), recipe);
    dt::ValueCells cells = dt::ShowValues(unit);
    const dt::ValueCells recipeCells = dt::ShowValues(wanted);
    const std::vector<dt::GridRow> rows = dt::GridLayout(unit);
    // The technician's nominal-voltage pick writes its preset cells, read-only row 9 among them.
    for (const dt::CellWrite& w : dt::ProfileOf(unit).ChoiceWrites(unit, 6, recipeCells[6])) cells[w.row] = w.text;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].desc->kind != 0 && !rows[i].desc->read_only) cells[i] = recipeCells[i];
    dt::StoreValues(unit, cells);
    // Section 2 blocks 0 to 2, then section 1 blocks 0 and 1: the order written.
    Bytes out(unit.block.bytes.begin() + 512, unit.block.bytes.begin() + 512 + 96);
    out.insert(out.end(), unit.block.bytes.begin() + 256, unit.block.bytes.begin() + 256 + 64);
    return out;
}

Bytes Section(const Bytes& set, int section) { return Bytes(set.begin() + section * 256, set.begin() + section * 256 + 256); }

}  // namespace

TEST_F(CliOnline, ProgramClonesOneRecipeIntoUnitsOfOneModelEachWithItsOwnCalibration) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(3));
    const std::string recipe = WriteTemp("recipe.foc", FasterMotor());
    std::vector<Bytes> before;
    for (int i = 0; i < 3; ++i) {
        const std::string file = Dir() + "/before" + std::to_string(i) + ".foc";
        ASSERT_EQ(Cli({"upload", "--port", batch.Path(i), "-o", file, "-q"}).rc, 0);
        before.push_back(ReadFile(file));
    }
    // Each unit is calibrated on its own: every calibration word but RdsON varies in the batch.
    for (int word : {5, 8, 9, 10}) {
        const auto at = [&](int i) { return before[i][word * 2] << 8 | before[i][word * 2 + 1]; };
        EXPECT_FALSE(at(0) == at(1) && at(1) == at(2)) << "word " << word;
    }

    const CliResult r = Cli({"program", recipe, "--port", batch.Path(0), "--port", batch.Path(1), "--port",
                             batch.Path(2), "--json", "--label", "ORDER-7", "--operator", "ann", "--station", "line 2"});
    ASSERT_EQ(r.rc, 0) << r.out << r.err;
    const std::vector<Json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines.back(), Json::parse(R"({"schema": 1, "summary": {"passed": 3, "failed": 0}})"));
    for (int i = 0; i < 3; ++i) {
        const Json a = AttemptOn(lines, batch.Path(i));
        ASSERT_TRUE(a.is_object()) << r.out;
        EXPECT_EQ(a["outcome"], "pass");
        EXPECT_EQ(a["cause"], "");
        EXPECT_EQ(a["label"], "ORDER-7");
        EXPECT_EQ(a["operator"], "ann");
        EXPECT_EQ(a["station"], "line 2");
        EXPECT_EQ(a["identity"], "Standard controller, variant B, customer 1, version 300");
        EXPECT_EQ(a["recipeSha256"], Hex256(FasterMotor()));
        EXPECT_EQ(a["writtenSha256"], Hex256(ExpectedWrite(before[i], FasterMotor()))) << i;
        EXPECT_EQ(a["readBackSha256"], a["writtenSha256"]);
        EXPECT_EQ(a["attempt"].get<std::string>().size(), 32u);

        const std::string file = Dir() + "/after" + std::to_string(i) + ".foc";
        ASSERT_EQ(Cli({"upload", "--port", batch.Path(i), "-o", file, "-q"}).rc, 0);
        const Bytes after = ReadFile(file);
        EXPECT_EQ(Section(after, 0), Section(before[i], 0)) << "its own identity and calibration";
        const std::string shown = Cli({"show", file, "--json"}).out;
        EXPECT_TRUE(ShowsValue(shown, "Rated motor speed (rpm)", "1500"));
        for (const Json& row : a["rounded"]) EXPECT_TRUE(ShowsValue(shown, row["name"], row["unit"])) << row.dump();
    }
    EXPECT_NE(lines[0]["attempt"], lines[1]["attempt"]);
}

TEST_F(CliOnline, ProgramFailsEachFaultyUnitOnItsOwnAndWritesNothingToARefusedOne) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(6));
    const std::string faults[] = {"", "wrong-model", "fail-store", "drop-write", "bad-checksum", "vanish-mid-write"};
    for (int i = 1; i < 6; ++i) ASSERT_EQ(batch.Control("fault " + std::to_string(i + 1) + " " + faults[i]), "ok");
    const std::string recipe = WriteTemp("recipe.foc", FasterMotor());
    std::vector<std::string> args = {"program", recipe, "--json", "--timeout", "800"};
    for (int i = 0; i < 6; ++i) args.insert(args.end(), {"--port", batch.Path(i)});
    QElapsedTimer took;
    took.start();
    const CliResult r = Cli(args);
    EXPECT_LT(took.elapsed(), 6000) << "a silent unit delays no other";
    EXPECT_EQ(r.rc, 1) << r.out << r.err;
    const std::vector<Json> lines = JsonLines(r.out);
    struct Expected {
        const char* outcome;
        const char* cause;
    };
    const Expected expected[] = {
        {"pass", ""},
        {"fail", "not the recipe's model (word 11 differs); nothing written"},
        {"fail", "the controller refused to store"},
        {"fail", "the blocks read back differ from those written"},
        {"error", "no answer in time (no response because of timeout)"},
        {"error", "no answer in time (no response because of timeout)"},
    };
    for (int i = 0; i < 6; ++i) {
        const Json a = AttemptOn(lines, batch.Path(i));
        EXPECT_EQ(a.value("outcome", ""), expected[i].outcome) << i << " " << r.out;
        EXPECT_EQ(a.value("cause", ""), expected[i].cause) << i;
    }
    EXPECT_EQ(AttemptOn(lines, batch.Path(1))["writtenSha256"], "");
    EXPECT_EQ(batch.Written(2), 0) << "nothing sent to a unit of another model";
    EXPECT_EQ(batch.Written(6), 3 * 36) << "taken away as its third block came";
    EXPECT_EQ(lines.back(), Json::parse(R"({"schema": 1, "summary": {"passed": 1, "failed": 5}})"));
}

TEST_F(CliOnline, ProgramRefusesABadRecipeBeforeAnythingIsSent) {
    StartSim({"-v"});
    const Bytes good = FasterMotor();
    struct Case {
        std::string file;
        std::vector<std::string> extra;
        std::string says;
    };
    const Case cases[] = {
        {WriteTemp("short.foc", Bytes(good.begin(), good.begin() + 1023)), {}, "Unable to import, file length error"},
        {WriteTemp("poles.foc", WithWord(good, 202, 1)), {}, "2.0 ≤ x ≤ 28.0"},
        {WriteTemp("uncalibrated.foc", WithWord(good, 9, 0)), {}, "the recipe's identity or calibration is not valid"},
        {WriteTemp("recipe.txt", good), {}, "the name must end in .foc or .ged"},
        {Dir() + "/missing.foc", {}, "cannot read"},
        {WriteTemp("changed.foc", good), {"--expect-sha256", std::string(64, '0')},
         "the file's SHA-256 is " + Hex256(good) + ", not " + std::string(64, '0') + "; nothing sent"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"program", c.file, "--port", sim().Path()};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CliResult r = Cli(args);
        EXPECT_EQ(r.rc, 2) << c.file;
        EXPECT_TRUE(Contains(r.err, c.says)) << r.err;
        EXPECT_EQ(r.out, "");
    }
    const CliResult ok = Cli({"program", WriteTemp("good.foc", good), "--port", sim().Path(), "--expect-sha256",
                              QString::fromStdString(Hex256(good)).toUpper().toStdString()});
    EXPECT_EQ(ok.rc, 0) << ok.err;
    const std::string log = sim().StopAndLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n') > 0, true);
    EXPECT_EQ(log.find("rx 0x02"), log.rfind("rx 0x02")) << "only the good recipe reached the controller";
}

// With a plant database configured, an attempt reaches it without a push by hand.
TEST_F(CliOnline, ProgramSendsEachAttemptToAConfiguredPlantDatabase) {
    const char* server = std::getenv("DT_TEST_PG");
    if (!server || !*server) GTEST_SKIP() << rtest::kNoServer;
    const std::string db = "dt_" + record::NewAttemptId().substr(0, 12);
    ASSERT_EQ(rtest::Query(server, "CREATE DATABASE " + db), "");
    const std::string plant = std::string(server) + " dbname=" + db;
    ASSERT_EQ(Cli({"record", "server-init", "--to", plant, "-q"}).rc, 0);
    ASSERT_TRUE(dt::WriteProfileString(dt::DefaultSettingsPath(), "Tavo GUI", "RecordServer", plant));
    BatchSim batch;
    ASSERT_TRUE(batch.Start(1));
    const CliResult r = Cli({"program", WriteTemp("recipe.foc", FasterMotor()), "--port", batch.Path(0), "--json"});
    EXPECT_EQ(r.rc, 0) << r.err;
    const std::string id = Json::parse(r.out.substr(0, r.out.find('\n')))["attempt"].get<std::string>();
    EXPECT_EQ(rtest::Query(plant, "SELECT outcome FROM attempts WHERE id = '" + id + "'"), "pass");
    rtest::Query(server, "DROP DATABASE " + db + " WITH (FORCE)");
}

TEST_F(CliOnline, ProgramPrintsALinePerUnitAndTakesItsPortFromTheEnvironment) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(1));
    const std::string recipe = WriteTemp("recipe.foc", FasterMotor());
    setenv("DRIVETUNE_PORT", batch.Path(0).c_str(), 1);
    const CliResult r = Cli({"program", recipe});
    unsetenv("DRIVETUNE_PORT");
    EXPECT_EQ(r.rc, 0) << r.err;
    const std::string head = batch.Path(0) + "  PASS  Standard controller, variant B, customer 1, version 300  ";
    EXPECT_EQ(r.out.substr(0, head.size()), head) << r.out;
    // Then the rows the unit's calibration rounds, "    ~ name: recipe -> unit", and the totals.
    EXPECT_TRUE(Contains(r.out, "    ~ Maximum phase current (A): 420.0 -> ")) << r.out;
    const std::string last = "1 programmed: 1 passed, 0 failed\n";
    EXPECT_EQ(r.out.substr(r.out.size() - last.size()), last) << r.out;
}

TEST_F(CliOnline, ProgramInStationModeTakesEachUnitOnceUntilItIsRemoved) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(2));
    const std::string recipe = WriteTemp("recipe.foc", FasterMotor());
    std::unique_ptr<QProcess> cli = StartCliProcess(
        {"program", recipe, "--port", batch.Path(0), "--port", batch.Path(1), "--repeat", "--json"});
    std::string out;  // everything printed so far
    auto lines = [&](size_t n, int ms) {
        QElapsedTimer waited;
        waited.start();
        std::vector<Json> got;
        while (waited.elapsed() < ms) {
            cli->waitForReadyRead(100);
            out += cli->readAllStandardOutput().toStdString();
            got = JsonLines(out);
            if (got.size() >= n) break;
        }
        return got;
    };
    std::vector<Json> got = lines(2, 15000);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(lines(3, 1500).size(), 2u) << "a unit left in place is not programmed again";
    // Nor one that misses a single probe now and then: it was never taken away.
    for (int glitch = 0; glitch < 3; ++glitch) {
        ASSERT_EQ(batch.Control("fault 2 silent"), "ok");
        QThread::msleep(350);  // shorter than a probe's period: one missed at most
        ASSERT_EQ(batch.Control("fault 2 none"), "ok");
        EXPECT_EQ(lines(3, 1000).size(), 2u) << "glitch " << glitch;
    }
    ASSERT_EQ(batch.Control("remove 1"), "ok");
    QThread::msleep(1500);  // taken away long enough for the station to see it gone
    ASSERT_EQ(batch.Control("insert 1 wrong-model"), "ok");
    got = lines(3, 15000);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2]["port"], batch.Path(0));
    EXPECT_EQ(got[2]["outcome"], "fail");
    ::kill(static_cast<pid_t>(cli->processId()), SIGINT);
    ASSERT_TRUE(cli->waitForFinished(5000));
    const std::vector<Json> all = JsonLines(out + cli->readAllStandardOutput().toStdString());
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back(), Json::parse(R"({"schema": 1, "summary": {"passed": 2, "failed": 1}})"));
    EXPECT_EQ(cli->exitCode(), 1) << "Ctrl+C is the normal end of station mode";
    // Each unit's messages are in the support log; an ended attempt leaves no reply clock running.
    const Bytes log = ReadFile(dt::SupportLogPath());
    const std::string text(log.begin(), log.end());
    EXPECT_TRUE(Contains(text, "message: ")) << text;
    EXPECT_FALSE(Contains(text, "time-out")) << text;
}

TEST_F(CliOnline, ProgramStoppedByCtrlCFinishesTheBlockInFlightAndRecordsTheUnitInterrupted) {
    BatchSim batch;
    // Slow enough to be caught while it writes.
    ASSERT_TRUE(batch.Start(1, {"--pace", "--baud", "1200"}));
    const std::string recipe = WriteTemp("recipe.foc", FasterMotor());
    std::unique_ptr<QProcess> cli =
        StartCliProcess({"program", recipe, "--port", batch.Path(0), "--json", "--timeout", "30000"});
    QElapsedTimer waited;
    waited.start();
    while (batch.Written(1) == 0 && waited.elapsed() < 20000) QThread::msleep(20);
    ::kill(static_cast<pid_t>(cli->processId()), SIGINT);
    ASSERT_TRUE(cli->waitForFinished(10000));
    EXPECT_EQ(cli->exitCode(), 130);
    const std::vector<Json> lines = JsonLines(cli->readAllStandardOutput().toStdString());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["outcome"], "interrupted");
    EXPECT_TRUE(Contains(lines[0]["cause"], "blocks written but not stored")) << lines[0].dump();
    EXPECT_LT(batch.Written(1), 5 * 36) << "stopped before the last block and the store";
}

TEST_F(CliOnline, ProgramPrintsTheJsonLinesItsDocumentationShows) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(1, {"--seed", "3"}));
    // Currents are stored cut toward zero: a unit of another calibration shows some otherwise.
    const std::string recipe = WriteTemp("recipe.foc", FasterMotor());
    const CliResult r = Cli({"program", recipe, "--port", batch.Path(0), "--json"});
    const std::vector<Json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out << r.err;
    ASSERT_FALSE(lines[0]["rounded"].empty()) << "the shape of a rounded row goes unchecked";
    jsonshapes::ExpectShape(jsonshapes::DocumentedShapes().at("program FILE --port P --json"), lines[0], "program");
}

// The production record: one row per attempt, also after a run killed mid-write.
TEST_F(CliOnline, ProgramRecordsEachAttemptOnceAndAKilledRunsAttemptAsInterrupted) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(2, {"--pace", "--baud", "2400"}));
    const std::string recipe = WriteTemp("recipe.foc", FasterMotor());
    std::unique_ptr<QProcess> killed =
        StartCliProcess({"program", recipe, "--port", batch.Path(1), "--timeout", "30000", "--label", "K-1"});
    QElapsedTimer waited;
    waited.start();
    while (batch.Written(2) == 0 && waited.elapsed() < 20000) QThread::msleep(20);
    ::kill(static_cast<pid_t>(killed->processId()), SIGKILL);
    ASSERT_TRUE(killed->waitForFinished(5000));

    const CliResult r = Cli({"program", recipe, "--port", batch.Path(0), "--json", "--operator", "ann"});
    ASSERT_EQ(r.rc, 0) << r.out << r.err;
    const Json passed = JsonLines(r.out).at(0);
    record::Journal journal;
    std::string error;
    ASSERT_TRUE(journal.Open(record::Journal::DefaultPath(), error)) << error;
    const std::vector<record::Attempt> rows = journal.List({}, error);
    ASSERT_EQ(rows.size(), 2u) << error;
    const record::Attempt& last = rows[0].id == passed["attempt"] ? rows[0] : rows[1];
    const record::Attempt& first = &last == &rows[0] ? rows[1] : rows[0];
    EXPECT_EQ(last.outcome, record::Outcome::Pass);
    EXPECT_EQ(last.operatorName, "ann");
    EXPECT_EQ(last.port, batch.Path(0));
    EXPECT_EQ(last.writtenSha256, passed["writtenSha256"]);
    EXPECT_EQ(last.readBackSha256, passed["readBackSha256"]);
    EXPECT_EQ(last.recipeFile, "recipe.foc");
    EXPECT_EQ(first.outcome, record::Outcome::Interrupted) << "the killed run's attempt";
    EXPECT_EQ(first.label, "K-1");
    EXPECT_EQ(first.port, batch.Path(1));
}

TEST_F(CliOnline, ProgramWritesNothingWhenItsRecordCannotBeKept) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(1));
    // A folder where the journal's file belongs: SQLite cannot open it.
    QDir().mkpath(QString::fromStdString(record::Journal::DefaultPath()));
    const CliResult r = Cli({"program", WriteTemp("recipe.foc", FasterMotor()), "--port", batch.Path(0)});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(Contains(r.err, "the production record could not be written")) << r.err;
    EXPECT_EQ(batch.Written(1), 0);
}

TEST_F(CliOnline, ProgramClonesAnFocRecipeAndReportsAPortThatDoesNotOpen) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(1, {"--foc"}));
    Bytes recipe = ReadFile(Sample("foc.ged"));
    recipe.at(6) = 600 & 0xFF, recipe.at(7) = 600 >> 8;  // maximum forward speed
    const std::string missing = Dir() + "/no-such-port";
    // Each --port takes one value: the file may follow it.
    const CliResult r = Cli({"program", "--port", batch.Path(0), "--port", missing, WriteTemp("fleet.ged", recipe), "--json"});
    EXPECT_EQ(r.rc, 1) << r.out << r.err;
    const std::vector<Json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    const Json foc = AttemptOn(lines, batch.Path(0));
    EXPECT_EQ(foc["outcome"], "pass");
    EXPECT_EQ(foc["identity"], "FOC controller");
    EXPECT_EQ(foc["writtenSha256"], Hex256(recipe)) << "the FOC block whole, as the recipe holds it";
    const Json none = AttemptOn(lines, missing);
    EXPECT_EQ(none["outcome"], "error");
    EXPECT_TRUE(Contains(none["cause"], "the port does not open")) << none.dump();
    EXPECT_EQ(none["writtenSha256"], "");
}

namespace {

// A window's view of one slot: every state it is told, in order.
struct StateLog : dt::station::SlotListener {
    std::vector<std::string> states;
    void OnSlotStatus(int, const dt::station::SlotStatus& s) override {
        static const char* const kNames[] = {"waiting", "reading", "writing", "verifying", "ended", "remove", "stopped"};
        std::string text = kNames[static_cast<int>(s.state)];
        if (s.state == dt::station::SlotState::Writing) text += " " + std::to_string(s.block) + "/" + std::to_string(s.blocks);
        if (s.state == dt::station::SlotState::Ended) text += " " + std::string(record::OutcomeWord(s.outcome));
        states.push_back(text);
    }
};
struct ListJournal : dt::station::AttemptJournal {
    std::vector<std::string> calls;
    bool Begin(const record::Attempt& a, std::string&) override { return calls.push_back("begin " + a.port), true; }
    bool Complete(const record::Attempt& a, std::string&) override {
        return calls.push_back(std::string("complete ") + record::OutcomeWord(a.outcome)), true;
    }
};

::testing::AssertionResult LoadFasterMotor(const dt::ToolState& base, dt::station::Recipe& recipe) {
    std::string why;
    if (recipe.Load(base, dt::StandardProfile(), FasterMotor(), why)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << why;
}

// One unit programmed by a station of one slot, run until it has finished: its totals and its
// last cause.
struct OneUnit {
    dt::station::SlotCounts totals;
    std::string cause;
};
OneUnit ProgramOneUnit(const std::string& port, dt::station::AttemptJournal& journal, StateLog& log) {
    dt::ToolState base;
    dt::station::Recipe recipe;
    OneUnit out;
    if (!recipe.Load(base, dt::StandardProfile(), FasterMotor(), out.cause)) return out;
    dt::station::Station station(base, recipe, journal, log);
    dt::station::SlotConfig config;
    config.port = config.device = port;
    station.AddSlot(config);
    QEventLoop loop;
    QObject::connect(&station, &dt::station::Station::Finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    station.Start();
    loop.exec();
    out.totals = station.Totals();
    out.cause = station.Slots()[0]->Status().cause;
    return out;
}

}  // namespace

TEST_F(CliOnline, AStationSlotTellsEveryStepOfItsUnitAndRecordsItOnce) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(1));
    StateLog log;
    ListJournal journal;
    const OneUnit unit = ProgramOneUnit(batch.Path(0), journal, log);
    EXPECT_EQ(log.states, (std::vector<std::string>{"reading", "writing 0/5", "writing 1/5", "writing 2/5", "writing 3/5",
                                                    "writing 4/5", "writing 5/5", "verifying", "ended pass", "stopped"}));
    EXPECT_EQ(journal.calls, (std::vector<std::string>{"begin " + batch.Path(0), "complete pass"}));
    EXPECT_EQ(unit.totals.passed, 1);
    EXPECT_EQ(unit.totals.failed, 0);
}

// A pass is told only once its record is on disk: one whose end cannot be recorded is an error.
TEST_F(CliOnline, AStationSlotTellsNoPassWhoseEndIsNotRecorded) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(1));
    struct FullDisk : ListJournal {
        bool Complete(const record::Attempt& a, std::string& error) override {
            ListJournal::Complete(a, error);
            error = "disk full";
            return false;
        }
    } journal;
    StateLog log;
    const OneUnit unit = ProgramOneUnit(batch.Path(0), journal, log);
    EXPECT_EQ(journal.calls, (std::vector<std::string>{"begin " + batch.Path(0), "complete pass"}));
    ASSERT_GE(log.states.size(), 2u);
    EXPECT_EQ(log.states[log.states.size() - 2], "ended error");
    EXPECT_EQ(unit.cause, "the production record could not be written: disk full");
    EXPECT_EQ(unit.totals.passed, 0);
}

TEST_F(CliOnline, AStationSlotEndsAUnitThatIsNeverReadyAndOnlyOnce) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(2, {"--answer-00", "1000000"}));
    ASSERT_EQ(batch.Control("fault 2 none"), "ok");  // a unit that is ready at once
    dt::ToolState base;
    dt::station::Recipe recipe;
    ASSERT_TRUE(LoadFasterMotor(base, recipe));
    StateLog log;
    ListJournal journal;
    dt::station::Station station(base, recipe, journal, log);
    for (int i = 0; i < 2; ++i) {
        dt::station::SlotConfig config;
        config.port = config.device = batch.Path(i);
        config.attemptLimitMs = 1500;
        config.repeat = i == 1;
        station.AddSlot(config);
    }
    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);  // past the limit of the unit that passed
    station.Start();
    loop.exec();
    const auto& all = station.Slots();
    EXPECT_EQ(all[0]->Status().state, dt::station::SlotState::Stopped);
    EXPECT_EQ(all[0]->Status().cause, "no answer in time (no response because of timeout)");
    EXPECT_EQ(all[1]->Counts().passed, 1);
    EXPECT_EQ(all[1]->Counts().failed, 0) << "an ended attempt is never ended again";
    station.Stop();
}

TEST_F(CliOnline, ProgramPicksTheRecipesNominalVoltageAndFindsUnitsWhoseRepliesComeInPieces) {
    BatchSim batch;
    ASSERT_TRUE(batch.Start(1, {"--split"}));
    // The 48 V presets over the 60 V set: the range rules must follow the recipe's pick.
    Bytes recipe = FasterMotor();
    for (const auto& [word, raw] : std::vector<std::pair<int, int>>{
             {206, 17377}, {207, 14895}, {208, 7447}, {209, 10426}, {213, 10923}, {101, 2400}})
        recipe = WithWord(recipe, word, raw);
    // The port first hears another device babbling, more than a read takes at once.
    ASSERT_EQ(batch.Control("fault 1 babble"), "ok");
    std::unique_ptr<QProcess> cli =
        StartCliProcess({"program", WriteTemp("fleet48.foc", recipe), "--port", batch.Path(0), "--repeat", "--json"});
    QThread::msleep(1500);
    EXPECT_EQ(batch.Written(1), 0) << "noise is no unit to program";
    ASSERT_EQ(batch.Control("fault 1 none"), "ok");
    QElapsedTimer waited;
    waited.start();
    std::string out;
    while (waited.elapsed() < 15000 && !Contains(out, "\"outcome\"")) {
        cli->waitForReadyRead(100);
        out += cli->readAllStandardOutput().toStdString();
    }
    ::kill(static_cast<pid_t>(cli->processId()), SIGINT);
    ASSERT_TRUE(cli->waitForFinished(5000));
    out += cli->readAllStandardOutput().toStdString();
    ASSERT_FALSE(JsonLines(out).empty()) << out;
    EXPECT_EQ(JsonLines(out)[0]["outcome"], "pass") << out;
    const std::string file = Dir() + "/after.foc";
    ASSERT_EQ(Cli({"upload", "--port", batch.Path(0), "-o", file, "-q"}).rc, 0);
    EXPECT_TRUE(ShowsValue(Cli({"show", file, "--json"}).out, "Nominal battery voltage (V)", "48"));
}
