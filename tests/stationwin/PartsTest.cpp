// The station window's parts on their own: the tile grid's shape, the slots' ports and their
// settings, the recipe file's refusals and summary, the CSV the history exports, and the tile.
#include <gtest/gtest.h>

#include "StationFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <sqlite3.h>

#include "HistoryPanel.h"
#include "Journal.h"
#include "LanguageSetup.h"
#include "QtTestApp.h"
#include "Settings.h"
#include "RecipeFile.h"
#include "SlotPicker.h"
#include "SlotPorts.h"
#include "SlotTile.h"
#include "TileGrid.h"

using namespace dt::station;


TEST(TileGridTest, ColumnsFillTheWindowForTheCountAndTheAspect) {
    struct Case {
        int n, w, h, columns;
    } cases[] = {
        {1, 1000, 500, 1}, {8, 1000, 460, 4}, {32, 1900, 940, 8}, {4, 1000, 460, 2},
        {4, 600, 900, 2},  {6, 1000, 460, 3}, {2, 300, 900, 1},   {0, 500, 500, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(GridColumns(c.n, c.w, c.h), c.columns) << c.n << " in " << c.w << "x" << c.h;
}

TEST(TileGridTest, EveryTileLiesInsideTheGridWithoutOverlap) {
    dttest::GuiApp();
    struct Case {
        int n, w, h;
    } cases[] = {{2, 300, 900}, {5, 1000, 460}, {7, 600, 900}};
    for (const Case& c : cases) {
        TileGrid grid;
        grid.resize(c.w, c.h);
        std::vector<QWidget*> tiles;
        for (int i = 0; i < c.n; ++i) tiles.push_back(new QWidget);
        grid.SetTiles(tiles);
        for (int i = 0; i < c.n; ++i) {
            EXPECT_TRUE(grid.rect().contains(tiles[i]->geometry())) << i << " of " << c.n;
            for (int j = 0; j < i; ++j) EXPECT_FALSE(tiles[i]->geometry().intersects(tiles[j]->geometry()));
        }
    }
}

namespace {

std::string Sample(const std::string& name) { return std::string(DT_SOURCE_DIR) + "/samples/" + name; }

dt::ToolState English() {
    dt::ToolState s;
    dt::ApplyLanguage(s, "/nonexistent/text.ini");
    return s;
}

void Touch(const std::string& path) { QFile(QString::fromStdString(path)).open(QIODevice::WriteOnly); }

}  // namespace

TEST(SlotPortsTest, ASlotKeepsItsAdaptersPlaceAndIsNamedAsThePortBoxNamesIt) {
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    Touch(d + "/ttyUSB0");
    Touch(d + "/ttyUSB1");
    QDir().mkpath(dir.path() + "/by-path");
    std::filesystem::create_symlink(d + "/ttyUSB1", d + "/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0");
    EXPECT_EQ(StableDevice(d + "/ttyUSB1", d + "/by-path"), d + "/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0");
    EXPECT_EQ(StableDevice(d + "/ttyUSB0", d + "/by-path"), d + "/ttyUSB0");
    EXPECT_EQ(StableDevice(d + "/ttyUSB0", d + "/none"), d + "/ttyUSB0");

    const std::vector<dt::PortEntry> entries = {{33, d + "/ttyUSB0", ""}, {34, d + "/ttyUSB1", "FT232R"}};
    const std::vector<SlotPort> named =
        NameSlots(entries, {d + "/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0", d + "/gone", d + "/ttyUSB0"});
    ASSERT_EQ(named.size(), 3u);
    EXPECT_EQ(named[0].name, "COM34 (" + d + "/ttyUSB1, FT232R)");
    EXPECT_EQ(named[0].number, 34);
    EXPECT_EQ(named[0].device, d + "/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0");
    EXPECT_EQ(named[1].name, d + "/gone");
    EXPECT_EQ(named[1].number, 0);
    EXPECT_EQ(named[2].name, "COM33 (" + d + "/ttyUSB0)");
}

TEST(SlotPortsTest, TheSlotsAreRememberedBesideTheWindowsOwnSettings) {
    QTemporaryDir dir;
    const std::string ini = dir.path().toStdString() + "/DriveTune.ini";
    ASSERT_TRUE(dt::SaveSettings(ini, dt::Settings{3, 19200, 1}));
    ASSERT_TRUE(SaveSlotDevices(ini, {"/dev/ttyUSB0", "/dev/serial/by-path/x", "/dev/ttyACM0"}));
    EXPECT_EQ(LoadSlotDevices(ini), (std::vector<std::string>{"/dev/ttyUSB0", "/dev/serial/by-path/x", "/dev/ttyACM0"}));
    ASSERT_TRUE(SaveSlotDevices(ini, {"/dev/ttyACM0"}));
    EXPECT_EQ(LoadSlotDevices(ini), std::vector<std::string>{"/dev/ttyACM0"});
    const dt::Settings kept = dt::LoadSettings(ini);
    EXPECT_EQ(kept.UartPort, 3);
    EXPECT_EQ(kept.Baudrate, 19200);
    // A damaged count reads no further than the slots that are there.
    ASSERT_TRUE(dt::WriteProfileString(ini, "Station", "Slots", "99999999"));
    EXPECT_EQ(LoadSlotDevices(ini).size(), 3u);
    EXPECT_TRUE(LoadSlotDevices(dir.path().toStdString() + "/none.ini").empty());
}

TEST(RecipeFileTest, ARecipeIsRefusedWhereProgramRefusesIt) {
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    QFile::copy(QString::fromStdString(Sample("standard-b.foc")), dir.path() + "/recipe.txt");
    const dt::ToolState base = English();
    Recipe recipe;
    std::string why;
    EXPECT_FALSE(LoadRecipeFile(base, d + "/missing.foc", "", recipe, why));
    EXPECT_EQ(why, "cannot read missing.foc: No such file or directory");
    EXPECT_FALSE(LoadRecipeFile(base, d + "/recipe.txt", "", recipe, why));
    EXPECT_EQ(why, "the name must end in .foc or .ged");
    EXPECT_FALSE(LoadRecipeFile(base, Sample("invalid.foc"), "", recipe, why));
    EXPECT_EQ(why, base.Extra(dt::XTX_PROGRAM_RECIPE_NOT_VALID));
    EXPECT_FALSE(LoadRecipeFile(base, Sample("standard-b.foc"), "00ff", recipe, why));
    EXPECT_EQ(why.rfind("the file's SHA-256 is ", 0), 0u) << why;
    EXPECT_NE(why.find(", not 00ff"), std::string::npos) << why;

    ASSERT_TRUE(LoadRecipeFile(base, Sample("standard-b.foc"), "", recipe, why)) << why;
    const std::string upper = QString::fromStdString(recipe.Sha256()).toUpper().toStdString();
    EXPECT_TRUE(LoadRecipeFile(base, Sample("standard-b.foc"), upper, recipe, why)) << why;
}

TEST(RecipeFileTest, TheSummaryNamesKindModelHashAndValues) {
    const dt::ToolState base = English();
    Recipe recipe;
    std::string why;
    ASSERT_TRUE(LoadRecipeFile(base, Sample("standard-b.foc"), "", recipe, why)) << why;
    RecipeSummary s = Summarize(recipe, Sample("standard-b.foc"));
    EXPECT_EQ(s.file, "standard-b.foc");
    EXPECT_EQ(s.kind, "Standard controller, variant B");
    EXPECT_EQ(s.model, "customer 1, version 300, hardware class 1, voltage class 100");
    EXPECT_EQ(s.sha12, recipe.Sha256().substr(0, 12));
    EXPECT_EQ(s.sha12.size(), 12u);
    EXPECT_EQ(s.values, 62);
    ASSERT_TRUE(LoadRecipeFile(base, Sample("foc.ged"), "", recipe, why)) << why;
    s = Summarize(recipe, Sample("foc.ged"));
    EXPECT_EQ(s.kind, "FOC controller");
    EXPECT_EQ(s.model, "");
    EXPECT_EQ(s.values, 12);
}

TEST(HistoryCsvTest, FieldsAreQuotedAndNeverTakenForFormulas) {
    EXPECT_EQ(CsvLine({"pass", "COM1 (/dev/ttyUSB0)", ""}), "pass,COM1 (/dev/ttyUSB0),\r\n");
    EXPECT_EQ(CsvLine({"a, b", "say \"hi\"", "two\nlines"}), "\"a, b\",\"say \"\"hi\"\"\",\"two\nlines\"\r\n");
    EXPECT_EQ(CsvLine({"=HYPERLINK(\"x\")", "+1", "-2", "@A1", "a=b"}),
              "\"'=HYPERLINK(\"\"x\"\")\",'+1,'-2,'@A1,a=b\r\n");
}

TEST(SlotTileTest, EveryStateHasAWordAndAnIconOfItsOwn) {
    dttest::GuiApp();
    using dt::station::SlotState;
    using record::Outcome;
    struct Case {
        SlotState state;
        int block, blocks;
        Outcome outcome;
        const char* cause;
        const char* word;
        const char* detail;
        TileIcon icon;
        TileLook look;
    } cases[] = {
        {SlotState::Waiting, 0, 0, Outcome::Started, "", "waiting for a controller", "", TileIcon::Waiting, TileLook::Idle},
        {SlotState::Reading, 0, 0, Outcome::Started, "", "reading", "", TileIcon::Reading, TileLook::Busy},
        {SlotState::Writing, 0, 5, Outcome::Started, "", "writing block 1 of 5", "", TileIcon::Writing, TileLook::Busy},
        {SlotState::Writing, 4, 5, Outcome::Started, "", "writing block 5 of 5", "", TileIcon::Writing, TileLook::Busy},
        {SlotState::Writing, 5, 5, Outcome::Started, "", "writing block 5 of 5", "", TileIcon::Writing, TileLook::Busy},
        {SlotState::Verifying, 0, 0, Outcome::Started, "", "verifying", "", TileIcon::Verifying, TileLook::Busy},
        {SlotState::Ended, 0, 0, Outcome::Pass, "", "PASS", "", TileIcon::Pass, TileLook::Pass},
        {SlotState::Remove, 0, 0, Outcome::Pass, "", "PASS", "remove the unit", TileIcon::Pass, TileLook::Pass},
        {SlotState::Ended, 0, 0, Outcome::Error, "no answer", "FAIL", "no answer", TileIcon::Fail, TileLook::Fail},
        {SlotState::Remove, 0, 0, Outcome::Interrupted, "stopped", "FAIL", "stopped\nremove the unit", TileIcon::Fail,
         TileLook::Fail},
        {SlotState::Stopped, 0, 0, Outcome::Pass, "port gone", "stopped", "port gone", TileIcon::Stopped, TileLook::Idle},
    };
    SlotTile tile(dt::LANG_ENGLISH, "COM1");
    for (const Case& c : cases) {
        tile.ShowStatus({c.state, c.block, c.blocks, c.outcome, c.cause}, {3, 2});
        EXPECT_EQ(tile.StateWord().toStdString(), c.word);
        EXPECT_EQ(tile.Detail().toStdString(), c.detail) << c.word;
        EXPECT_EQ(tile.Icon(), c.icon) << c.word;
        EXPECT_EQ(tile.Look(), c.look) << c.word;
    }
    EXPECT_EQ(tile.Counts(), "pass 3   fail 2");
    SlotTile chinese(dt::LANG_CHINESE, "COM1");
    chinese.ShowStatus({SlotState::Remove, 0, 0, Outcome::Fail, "x"}, {0, 1});
    EXPECT_EQ(chinese.StateWord(), "不合格");
    EXPECT_EQ(chinese.Detail(), "x\n请取下控制器");
}

TEST(SlotPickerTest, TheSlotsInUseAreTickedAndTheTickedOnesAreTaken) {
    dttest::GuiApp();
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    for (const char* name : {"/ttyUSB0", "/ttyUSB1", "/ttyACM0"}) Touch(d + name);
    const std::vector<dt::PortEntry> entries = {{33, d + "/ttyUSB0", ""}, {34, d + "/ttyUSB1", ""}, {65, d + "/ttyACM0", ""}};
    SlotPicker picker(dt::LANG_ENGLISH, [&] { return entries; }, {d + "/ttyUSB1"});
    ASSERT_EQ(picker.List()->count(), 3);
    EXPECT_EQ(picker.List()->item(0)->text().toStdString(), "COM33 (" + d + "/ttyUSB0)");
    EXPECT_EQ(picker.List()->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(picker.List()->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(picker.List()->item(2)->checkState(), Qt::Unchecked);
    picker.List()->item(2)->setCheckState(Qt::Checked);
    EXPECT_EQ(picker.Devices(), (std::vector<std::string>{d + "/ttyUSB1", d + "/ttyACM0"}));
}

TEST(SlotTileTest, TheTextStaysBlackOnAnyDesktopThemeAndTheCountsSitUnderTheName) {
    dttest::GuiApp();
    SlotTile tile(dt::LANG_ENGLISH, "COM1");
    QPalette dark = tile.palette();
    dark.setColor(QPalette::WindowText, Qt::white);
    tile.setPalette(dark);
    tile.resize(240, 220);
    tile.ShowStatus({dt::station::SlotState::Ended, 0, 0, record::Outcome::Pass, ""}, {1, 0});
    EXPECT_EQ(tile.palette().color(QPalette::WindowText), QColor(Qt::black)) << "black on green, amber, red and grey";
    tile.show();
    QLabel* port = nullptr;
    QLabel* counts = nullptr;
    for (QLabel* l : tile.findChildren<QLabel*>()) {
        if (l->text() == "COM1") port = l;
        if (l->text() == "pass 1   fail 0") counts = l;
    }
    ASSERT_TRUE(port && counts);
    EXPECT_EQ(counts->x(), port->x());
    EXPECT_GT(counts->y(), tile.height() / 2);
    // The state is the large word; the cause below it has the tile's whole width.
    tile.ShowStatus({dt::station::SlotState::Ended, 0, 0, record::Outcome::Fail, "no answer"}, {1, 1});
    QTest::qWait(20);
    QLabel* word = nullptr;
    QLabel* detail = nullptr;
    for (QLabel* l : tile.findChildren<QLabel*>()) {
        if (l->text() == "FAIL") word = l;
        if (l->text() == "no answer") detail = l;
    }
    ASSERT_TRUE(word && detail);
    EXPECT_GT(QFontInfo(word->font()).pixelSize(), 2 * QFontInfo(port->font()).pixelSize());
    EXPECT_EQ(detail->geometry().right(), counts->geometry().right());
    EXPECT_EQ(word->geometry().right(), counts->geometry().right());
}

TEST(SlotTileTest, TheIconIsRepaintedWhenOnlyTheIconChanges) {
    dttest::GuiApp();
    struct Paints : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            count += e->type() == QEvent::Paint;
            return false;
        }
    } paints;
    SlotTile tile(dt::LANG_ENGLISH, "COM1");
    tile.resize(240, 220);
    tile.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tile));
    tile.ShowStatus({dt::station::SlotState::Writing, 4, 5, record::Outcome::Started, ""}, {});
    QTest::qWait(50);
    QWidget* icon = static_cast<QGridLayout*>(tile.layout())->itemAtPosition(1, 0)->widget();
    ASSERT_TRUE(icon->inherits("dt::station::StateIcon") || dynamic_cast<StateIcon*>(icon));
    icon->installEventFilter(&paints);
    // Same colour, same word width: only the icon says the unit is being verified now.
    tile.ShowStatus({dt::station::SlotState::Verifying, 0, 0, record::Outcome::Started, ""}, {});
    QTest::qWait(50);
    EXPECT_GT(paints.count, 0);
}

TEST(HistoryTest, ARecordThatCannotBeOpenedSaysWhyAndIsReadOnceItCanBe) {
    dttest::GuiApp();
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/record";
    Touch(folder);  // a file where the folder should be
    HistoryPanel panel(dt::LANG_ENGLISH, folder + "/production.sqlite");
    panel.Refresh();
    EXPECT_TRUE(panel.Message()->text().startsWith("The production record cannot be read: "))
        << panel.Message()->text().toStdString();
    EXPECT_EQ(panel.Table()->rowCount(), 0);
    QFile::remove(QString::fromStdString(folder));
    QDir().mkpath(QString::fromStdString(folder));
    panel.Refresh();
    EXPECT_EQ(panel.Message()->text(), "");
    EXPECT_EQ(panel.Table()->horizontalHeaderItem(5)->text(), "Cause");
}

TEST(HistoryTest, TheFilterIsLabelledAndALongRecordShowsItsNewestThousand) {
    dttest::GuiApp();
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/production.sqlite";
    {
        record::Journal journal;
        std::string why;
        ASSERT_TRUE(journal.Open(path, why)) << why;
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db,
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1001)"
                           " INSERT INTO attempts SELECT printf('%032d', i), 'r', 'f.foc', '', '', '', '', 'pass', '',"
                           " '[]', 'SN' || i, '', 's', 'COM1', printf('2026-12-01T10:%02d:%02d.000Z', i / 60, i % 60),"
                           " '' FROM n",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
    HistoryPanel panel(dt::LANG_ENGLISH, path);
    panel.resize(900, 400);
    panel.show();
    panel.Refresh();
    EXPECT_EQ(panel.Table()->rowCount(), 1000);
    EXPECT_EQ(panel.Table()->item(0, 2)->text(), "SN1001");
    QTest::qWait(20);
    QLabel* outcome = nullptr;
    for (QLabel* l : panel.findChildren<QLabel*>())
        if (l->text() == "Outcome") outcome = l;
    ASSERT_TRUE(outcome);
    EXPECT_LT(outcome->geometry().right(), panel.OutcomeBox()->x());
    EXPECT_NEAR(outcome->geometry().center().y(), panel.OutcomeBox()->geometry().center().y(), 4);
    // The date beside its drop button, whole.
    const QDateEdit* date = panel.SinceDate();
    EXPECT_GE(date->width(), date->fontMetrics().horizontalAdvance(date->text()) + 40);
}
