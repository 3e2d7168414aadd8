// Screenshots of the station window at a small and a large screen, in English and Chinese, on
// a run against virtual controllers: passes, a failure with its cause, the history.
// Skipped unless DT_SHOTS_DIR names the folder to write them to (scripts/shots-station).
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

#include "HistoryPanel.h"
#include "SlotTile.h"
#include "StationFixture.h"

using namespace stationtest;

namespace {

class StationShots : public StationTest, public ::testing::WithParamInterface<std::tuple<bool, int>> {
protected:
    void Save(const std::string& scene) {
        QTest::qWait(300);
        const std::string path = dir_ + "/station-" + (std::get<0>(GetParam()) ? "cn-" : "en-") + scene + ".png";
        window_->grab().save(QString::fromStdString(path));
    }
    std::string dir_;
};

}  // namespace

TEST_P(StationShots, ARunWithAFailureAndTheHistory) {
    const char* dir = std::getenv("DT_SHOTS_DIR");
    if (!dir || !*dir) GTEST_SKIP() << "DT_SHOTS_DIR not set";
    dir_ = dir;
    const auto [chinese, count] = GetParam();
    const bool large = count > 8;
    dt::station::StationWindow& w = StartOn(count, chinese);
    w.resize(large ? 1920 : 1024, large ? 1080 : 600);
    const std::string size = large ? "1920x1080" : "1024x600";
    QTest::keyClicks(w.Operator(), "Li Na");
    ASSERT_TRUE(batch_.Control("fault 3 wrong-model"));
    QTest::mouseClick(w.StartButton(), Qt::LeftButton);
    const QString pass = chinese ? "合格" : "PASS", fail = chinese ? "不合格" : "FAIL";
    ASSERT_TRUE(Eventually(
        [&] {
            for (int i = 0; i < count; ++i)
                if (!SlotsShow({i}, i == 2 ? fail : pass)) return false;
            return true;
        },
        60000));
    QTest::keyClicks(w.Label(), "SN-240117-0042");
    QTest::keyClick(w.Label(), Qt::Key_Return);
    ASSERT_TRUE(batch_.Control("remove 2"));
    Save(size + "-run");
    ASSERT_TRUE(Eventually([&] { return SlotsShow({1}, chinese ? "等待控制器" : "waiting for a controller"); }, 10000));
    Save(size + "-waiting");
    w.Tabs()->setCurrentWidget(w.History());
    Save(size + "-history");
    StopRun();
}

INSTANTIATE_TEST_SUITE_P(Screens, StationShots,
                         ::testing::Combine(::testing::Bool(), ::testing::Values(8, 32)));
