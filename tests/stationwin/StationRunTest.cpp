// The station window against eight virtual controllers: a run, units taken away and put in,
// a wrong model, a scanned label, the record and its history; and a window thread that stalls.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QDateEdit>
#include <QHeaderView>
#include <QMessageBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "HistoryPanel.h"
#include "PlantRecord.h"
#include "Settings.h"
#include "SlotTile.h"
#include "StationFixture.h"
#include "record/PlantTestSupport.h"

using namespace stationtest;
using dt::station::SlotTile;

namespace {

int CountOf(const std::vector<record::Attempt>& rows, record::Outcome o) {
    int n = 0;
    for (const record::Attempt& a : rows) n += a.outcome == o;
    return n;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST_F(StationTest, EightSlotsPassReplugsCountAndAWrongModelFailsWithItsCause) {
    dt::station::StationWindow& w = StartOn(8);
    ASSERT_EQ(w.Tiles().size(), 8u);
    EXPECT_EQ(w.Tiles()[0]->Port(), QString::fromStdString("COM1 (" + batch_.Paths()[0] + ")"));
    QTest::keyClicks(w.Operator(), "ann");
    QElapsedTimer run;
    run.start();
    QTest::mouseClick(w.StartButton(), Qt::LeftButton);
    EXPECT_FALSE(w.OpenButton()->isEnabled()) << "the recipe is pinned while running";
    EXPECT_FALSE(w.Expected()->isEnabled());
    ASSERT_TRUE(AllTiles("PASS", 30000));
    for (const SlotTile* t : w.Tiles()) {
        EXPECT_EQ(t->Counts(), "pass 1   fail 0");
        EXPECT_EQ(t->Identity(), "Standard controller, variant B, customer 1, version 300");
        EXPECT_EQ(t->Detail(), "remove the unit");
        EXPECT_EQ(t->Icon(), dt::station::TileIcon::Pass);
    }
    EXPECT_EQ(w.Totals()->text(), "Passed 8   Failed 0");

    // A scanned label, nothing selected: the next free slot's next unit takes it.
    QTest::keyClicks(w.Label(), "SN-0001");
    QTest::keyClick(w.Label(), Qt::Key_Return);
    EXPECT_EQ(w.MessageLine()->text().toStdString(), "Label SN-0001 → COM1 (" + batch_.Paths()[0] + ")");
    for (int place = 1; place <= 3; ++place) ASSERT_TRUE(batch_.Control("remove " + std::to_string(place)));
    // The slot sees the unit go when it stops answering.
    ASSERT_TRUE(Eventually([&] { return SlotsShow({0, 1, 2}, "waiting for a controller"); }, 10000));
    for (int place = 1; place <= 3; ++place) ASSERT_TRUE(batch_.Control("insert " + std::to_string(place)));
    ASSERT_TRUE(Eventually([&] { return SlotsShow({0, 1, 2}, "PASS"); }, 30000));
    for (int slot : {0, 1, 2}) EXPECT_EQ(w.Tiles()[slot]->Counts(), "pass 2   fail 0");
    EXPECT_EQ(w.Tiles()[3]->Counts(), "pass 1   fail 0");

    ASSERT_TRUE(batch_.Control("remove 4"));
    ASSERT_TRUE(Eventually([&] { return SlotsShow({3}, "waiting for a controller"); }, 10000));
    ASSERT_TRUE(batch_.Control("insert 4 wrong-model"));
    ASSERT_TRUE(Eventually([&] { return SlotsShow({3}, "FAIL"); }, 30000));
    EXPECT_EQ(w.Tiles()[3]->Detail(), "not the recipe's model (word 11 differs); nothing written\nremove the unit");
    EXPECT_EQ(w.Tiles()[3]->ShownDetail().count('\n'), 1) << "the cause in one line, then what to do";
    EXPECT_EQ(w.Tiles()[3]->Icon(), dt::station::TileIcon::Fail);
    EXPECT_EQ(w.Tiles()[3]->Counts(), "pass 1   fail 1");
    EXPECT_EQ(w.Totals()->text(), "Passed 11   Failed 1");
    EXPECT_EQ(bells_, 1);
    // Units per hour show once the run has lasted 10 s: the 12 units over the run's time when
    // the slots said they stopped.
    while (run.elapsed() < 10500) QTest::qWait(100);
    const double stopping = run.elapsed() / 1000.0;
    StopRun();
    const double stopped = run.elapsed() / 1000.0;
    const QString rate = w.Rate()->text();
    EXPECT_TRUE(rate.endsWith(" units per hour")) << rate.toStdString();
    EXPECT_GE(rate.section(' ', 0, 0).toInt(), int(12 * 3600 / stopped) - 1) << rate.toStdString();
    EXPECT_LE(rate.section(' ', 0, 0).toInt(), int(12 * 3600 / (stopping - 0.5))) << rate.toStdString();
    EXPECT_TRUE(w.OpenButton()->isEnabled());

    const std::vector<record::Attempt> rows = Record();
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(CountOf(rows, record::Outcome::Pass), 11);
    EXPECT_EQ(rows[0].outcome, record::Outcome::Fail) << "newest first";
    EXPECT_EQ(rows[0].cause, "not the recipe's model (word 11 differs); nothing written");
    int labelled = 0;
    for (const record::Attempt& a : rows) {
        EXPECT_EQ(a.operatorName, "ann");
        EXPECT_EQ(a.station, "bench 1");
        EXPECT_EQ(a.recipeFile, "standard-b.foc");
        if (a.label.empty()) continue;
        ++labelled;
        EXPECT_EQ(a.label, "SN-0001");
        EXPECT_EQ(a.port, "COM1 (" + batch_.Paths()[0] + ")");
    }
    EXPECT_EQ(labelled, 1) << "one label, one unit";

    // The history shows the record, filtered and exported as shown.
    dt::station::HistoryPanel& h = *w.History();
    w.Tabs()->setCurrentWidget(&h);
    QTest::qWait(20);
    EXPECT_EQ(h.Table()->rowCount(), 12);
    EXPECT_GT(h.SinceDate()->x(), h.SinceBox()->geometry().right()) << "the filter's controls in one row";
    EXPECT_EQ(h.Table()->item(0, 0)->text(), "fail");
    h.OutcomeBox()->setCurrentIndex(h.OutcomeBox()->findText("fail"));
    ASSERT_EQ(h.Table()->rowCount(), 1);
    EXPECT_EQ(h.Table()->item(0, 1)->text().toStdString(), "COM4 (" + batch_.Paths()[3] + ")");
    EXPECT_EQ(h.Table()->item(0, 5)->text(), "not the recipe's model (word 11 differs); nothing written");
    const std::string csv = Dir() + "/fails.csv";
    h.SetSaveHook([csv] { return csv; });
    QTest::mouseClick(h.findChildren<QPushButton*>().back(), Qt::LeftButton);
    const std::string text = ReadText(csv);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBFOutcome,Slot,Label,Controller,Time,Cause\r\nfail,COM4 (", 0), 0u) << text;
    EXPECT_NE(text.find(",\"Standard controller, variant B, customer 1, version 300\","), std::string::npos) << text;
    EXPECT_NE(text.find(",not the recipe's model (word 11 differs); nothing written\r\n"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_EQ(h.Message()->text().toStdString(), "1 rows exported to " + csv);
}

TEST_F(StationTest, AStalledWindowThreadDelaysNoExchange) {
    dt::station::StationWindow& w = StartOn(2);
    QTest::mouseClick(w.StartButton(), Qt::LeftButton);
    // A modal box or a slow disk: the window's thread does nothing for 3 s. The slots' reply
    // time-out (2.2 s) would end any exchange that waited for it.
    QThread::sleep(3);
    const std::vector<record::Attempt> during = Record();
    ASSERT_EQ(during.size(), 2u) << "both units were programmed while the window's thread slept";
    EXPECT_EQ(CountOf(during, record::Outcome::Pass), 2);
    ASSERT_TRUE(AllTiles("PASS", 10000));

    // A label scanned with a slot selected goes to that slot's next unit, in place of one
    // scanned for it before.
    QTest::keyClicks(w.Label(), "SN-1");
    QTest::keyClick(w.Label(), Qt::Key_Enter);
    QTest::mouseClick(w.Tiles()[0], Qt::LeftButton);
    QTest::keyClicks(w.Label(), "SN-2");
    QTest::keyClick(w.Label(), Qt::Key_Enter);
    EXPECT_EQ(w.MessageLine()->text().toStdString(), "Label SN-2 → COM1 (" + batch_.Paths()[0] + ")");
    EXPECT_EQ(w.Label()->text(), "") << "ready for the next scan";
    ASSERT_TRUE(batch_.Control("remove 1"));
    ASSERT_TRUE(Eventually([&] { return SlotsShow({0}, "waiting for a controller"); }, 10000));
    ASSERT_TRUE(batch_.Control("insert 1"));
    ASSERT_TRUE(Eventually([&] { return SlotsShow({0}, "PASS"); }, 30000));
    // One label, one unit: the slot's next unit goes without.
    ASSERT_TRUE(batch_.Control("remove 1"));
    ASSERT_TRUE(Eventually([&] { return SlotsShow({0}, "waiting for a controller"); }, 10000));
    ASSERT_TRUE(batch_.Control("insert 1"));
    ASSERT_TRUE(Eventually([&] { return SlotsShow({0}, "PASS"); }, 30000));

    // Closing while running asks: No keeps it running, Yes stops as Stop does and closes once
    // every slot has.
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::No)->click();
    });
    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.Running());
    QSignalSpy finished(&w, &dt::station::StationWindow::RunFinished);
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::Yes)->click();
    });
    w.close();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(Eventually([&] { return !w.isVisible(); }, 2000));
    const std::vector<record::Attempt> rows = Record();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].label, "");
    EXPECT_EQ(rows[1].label, "SN-2");
    EXPECT_EQ(rows[1].port, "COM1 (" + batch_.Paths()[0] + ")");
}

// With a plant database in the settings, each ended attempt reaches it while the run goes on.
TEST_F(StationTest, ARunSendsEachAttemptToTheConfiguredPlantDatabase) {
    const char* server = std::getenv("DT_TEST_PG");
    if (!server || !*server) GTEST_SKIP() << rtest::kNoServer;
    const std::string db = "dt_" + record::NewAttemptId().substr(0, 12);
    ASSERT_EQ(rtest::Query(server, "CREATE DATABASE " + db), "");
    const std::string plant = std::string(server) + " dbname=" + db;
    record::PlantRecord init;
    std::string note, error;
    ASSERT_TRUE(init.Connect(plant, error) && init.Init(note, error)) << error;
    std::filesystem::create_directories(Dir() + "/config/DriveTune");
    ASSERT_TRUE(dt::WriteProfileString(Dir() + "/config/DriveTune/DriveTune.ini", "Tavo GUI", "RecordServer",
                                       plant + " user=drivetune_station"));

    dt::station::StationWindow& w = StartOn(2);
    QTest::keyClicks(w.Operator(), "bo");
    QTest::mouseClick(w.StartButton(), Qt::LeftButton);
    ASSERT_TRUE(AllTiles("PASS", 30000));
    ASSERT_TRUE(batch_.Control("remove 2"));
    ASSERT_TRUE(Eventually([&] { return SlotsShow({1}, "waiting for a controller"); }, 10000));
    ASSERT_TRUE(batch_.Control("insert 2 wrong-model"));
    ASSERT_TRUE(Eventually([&] { return SlotsShow({1}, "FAIL"); }, 30000));
    const auto pushed = [&] { return rtest::Query(plant, "SELECT count(*) FROM attempts"); };
    EXPECT_TRUE(Eventually([&] { return pushed() == "3"; }, 20000)) << pushed();
    std::vector<std::string> local;
    for (const record::Attempt& a : Record())
        local.push_back(a.id + " " + record::OutcomeWord(a.outcome) + " " + a.operatorName + "|");
    std::sort(local.begin(), local.end());
    EXPECT_EQ(rtest::Query(plant, "SELECT string_agg(id || ' ' || outcome || ' ' || operator || '|', '' ORDER BY id)"
                                  " FROM attempts"),
              local.at(0) + local.at(1) + local.at(2));
    StopRun();
    rtest::Query(server, "DROP DATABASE " + db + " WITH (FORCE)");
}
