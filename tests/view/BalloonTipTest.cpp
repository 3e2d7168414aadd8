// BalloonTip: geometry of body and tail, and the appearance and disappearance timers.
#include <gtest/gtest.h>

#include "QtTestApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include "BalloonTip.h"

namespace {

QApplication* App() { return dttest::GuiApp(); }

class BalloonTest : public ::testing::Test {
protected:
    BalloonTest() { balloon.SetCursorSource([this] { return mouse; }); }
    QApplication* app = App();  // before the widget
    QPoint mouse{400, 300};
    BalloonTip balloon;
};

TEST_F(BalloonTest, IsATopMostPopUpThatNeverTakesTheFocus)
{
    EXPECT_TRUE(balloon.isWindow());
    EXPECT_TRUE(balloon.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(balloon.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(balloon.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(balloon.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(balloon.isVisible());
    EXPECT_EQ(balloon.BalloonFont().pixelSize(), 15);
    EXPECT_EQ(balloon.BalloonFont().weight(), QFont::Black);
}

TEST_F(BalloonTest, BodyIsTheTextPlusMarginsAndTheTailTipSitsOnTheAnchor)
{
    const QFontMetrics fm(balloon.BalloonFont());
    const int line = fm.boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop, "X").height();
    struct Case {
        QString text;
        int lines;
    } cases[] = {
        {"Rated voltage(V):\n\nThe battery's nominal voltage", 3},
        {"短", 1},
        {"一行\n二行\n三行\n四行\n五行", 5},
        {"A much longer line of hint text that makes the balloon wide\nshort", 2},
    };
    const QPoint anchors[] = {{400, 300}, {37, 611}};
    int shown = 0;
    for (const Case& c : cases) {
        balloon.Show(c.text, anchors[shown % 2]);
        const QSize body = balloon.BodySize();
        const int textW = fm.boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop, c.text).width();
        EXPECT_EQ(body.width(), textW + 24);
        EXPECT_EQ(body.height(), c.lines * line + 20) << c.text.toStdString();
        EXPECT_EQ(balloon.TailTip(), QPoint(body.width() - 12, body.height() + 15));
        // Placing the window is the appearance's work; check it for a few texts.
        if (shown++ < 2) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return balloon.isVisible(); }, 1000));
            EXPECT_EQ(balloon.height(), c.lines * line + 20 + 25);
            EXPECT_EQ(balloon.width(), body.width());
            EXPECT_EQ(balloon.geometry().topLeft() + balloon.TailTip(), anchors[(shown - 1) % 2])
                << c.text.toStdString();
        }
    }
}

TEST_F(BalloonTest, ShapeIsTheRoundedBodyAndTheTail)
{
    balloon.Show("Name:\n\nhint", mouse);
    const QSize s = balloon.BodySize();
    const QRegion shape = balloon.Shape();
    const int w = s.width(), h = s.height();
    EXPECT_TRUE(shape.contains(QPoint(w / 2, h / 2)));
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));          // rounded corner
    EXPECT_FALSE(shape.contains(QPoint(w - 1, h - 1)));  // rounded corner
    EXPECT_TRUE(shape.contains(QPoint(w - 14, h + 10)));  // inside the tail
    EXPECT_FALSE(shape.contains(QPoint(w - 5, h + 10)));  // beside the tail
    EXPECT_FALSE(shape.contains(QPoint(w - 36, h + 10)));
    EXPECT_FALSE(shape.contains(QPoint(5, h + 5)));
}

TEST_F(BalloonTest, AppearsAfterTheDelayAndHidesAtTheFirstCheckAfterTheMouseMoved)
{
    QElapsedTimer clock;
    clock.start();
    balloon.Show("hint");
    EXPECT_EQ(balloon.Anchor(), mouse);
    EXPECT_TRUE(balloon.IsWaiting());
    QTest::qWait(350);
    EXPECT_FALSE(balloon.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return balloon.isVisible(); }, 1000));
    EXPECT_GE(clock.elapsed(), BalloonTip::kDelayMs);

    // The mouse rests: it stays through several checks.
    QTest::qWait(1100);
    EXPECT_TRUE(balloon.isVisible());
    mouse += QPoint(1, 0);
    clock.restart();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !balloon.isVisible(); }, 1000));
    EXPECT_LE(clock.elapsed(), BalloonTip::kCheckMs + 150);
}

TEST_F(BalloonTest, MovingDuringTheDelayStillShowsItOnce)
{
    balloon.Show("hint", QPoint(100, 100));  // mouse is elsewhere
    EXPECT_TRUE(QTest::qWaitFor([&] { return balloon.isVisible(); }, 1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !balloon.isVisible(); }, 1000));
}

TEST_F(BalloonTest, ShowingAgainReplacesTextAndAnchorAndRestartsTheDelay)
{
    balloon.Show("first", QPoint(300, 300));
    QTest::qWait(300);
    mouse = QPoint(500, 200);
    balloon.Show("second\nline", mouse);
    QTest::qWait(300);  // 600 ms after the first call, 300 after the second
    EXPECT_FALSE(balloon.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return balloon.isVisible(); }, 1000));
    EXPECT_EQ(balloon.Text(), "second\nline");
    EXPECT_EQ(balloon.geometry().topLeft() + balloon.TailTip(), mouse);

    balloon.Destroy();
    EXPECT_FALSE(balloon.isVisible());
    EXPECT_FALSE(balloon.IsWaiting());
}

}  // namespace
