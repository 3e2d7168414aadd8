// Finding a parameter by name: Ctrl+F, matches in either language, next and previous, the
// matching names framed, no match, and Esc handing the focus back to the grid.
#include <QApplication>
#include <QImage>
#include <QTest>

#include "DriveTuneView.h"
#include "FindBar.h"
#include "GridCtrl.h"
#include "MainFrame.h"
#include "StatusLine.h"
#include "ToolState.h"
#include "WindowHarness.h"

namespace {

class FindBarTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(StartSim());
    }

    CFindBar& Bar() { return *Frame().FindBar(); }

    void OpenWithKeys() {
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        Grid().setFocus();
        QTest::keyClick(&Grid(), Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(Bar().isVisible());
        ASSERT_TRUE(Bar().hasFocus());
    }

    // Rows whose name cell, as the grid shows it, contains text (the shown language only).
    std::vector<int> RowsShowing(const QString& text) {
        std::vector<int> rows;
        for (int row = 0; row < Grid().GetRowCount(); ++row) {
            const CGridCell* c = Grid().GetCell(row, 1);
            if (c && !(c->IsMergeTopLeft() || c->MergedTo().IsValid()) && row > 0 &&
                Grid().GetItemText(row, 1).contains(text, Qt::CaseInsensitive))
                rows.push_back(row);
        }
        return rows;
    }

    std::vector<int> FramedRows() {
        std::vector<int> rows;
        for (int row = 0; row < Grid().GetRowCount(); ++row)
            if (Grid().GetItemHighlight(row, 1) != CellHighlight::None) rows.push_back(row);
        return rows;
    }

    int FocusRow() { return Grid().GetFocusCell().row; }
};

TEST_F(FindBarTest, TypingGoesToTheFirstMatchEnterAndF3StepShiftF3StepsBack) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    OpenWithKeys();
    // At the right of the status line.
    EXPECT_EQ(Bar().parentWidget(), Frame().StatusLine());
    EXPECT_GT(Bar().geometry().right(), Frame().StatusLine()->width() - 40);

    QTest::keyClicks(&Bar(), "tHROTtle");
    const std::vector<int> expected = RowsShowing("throttle");
    ASSERT_GE(expected.size(), 3u);
    EXPECT_EQ(Bar().Matches(), expected);
    EXPECT_EQ(FramedRows(), expected);
    EXPECT_EQ(Grid().GetFocusCell(), (CCellID{expected[0], 1}));
    EXPECT_TRUE(Grid().viewport()->rect().contains(Grid().CellRect(expected[0], 1).center()));

    QTest::keyClick(&Bar(), Qt::Key_Return);
    EXPECT_EQ(FocusRow(), expected[1]);
    // The match gone to stands out from the others.
    EXPECT_EQ(Grid().GetItemHighlight(expected[1], 1), CellHighlight::Current);
    EXPECT_EQ(Grid().GetItemHighlight(expected[0], 1), CellHighlight::Match);
    QTest::keyClick(&Bar(), Qt::Key_F3);
    EXPECT_EQ(FocusRow(), expected[2]);
    QTest::keyClick(&Bar(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(FocusRow(), expected[1]);
    QTest::keyClick(&Bar(), Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(&Bar(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(FocusRow(), expected.back()) << "steps round from the first to the last";
    QTest::keyClick(&Bar(), Qt::Key_F3);
    EXPECT_EQ(FocusRow(), expected[0]) << "and from the last to the first";
    EXPECT_TRUE(Bar().hasFocus());

    // The last row of the table is reached by scrolling.
    QTest::keyClick(&Bar(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&Bar(), "acceleration");
    EXPECT_EQ(Grid().GetFocusCell(), (CCellID{kAccelerationRow, 1}));
    EXPECT_TRUE(Grid().viewport()->rect().contains(Grid().CellRect(kAccelerationRow, 1).center()));
}

TEST_F(FindBarTest, NoMatchTurnsTheFieldRedAndMovesNothingEscClosesIt) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    OpenWithKeys();
    QTest::keyClicks(&Bar(), "accel");
    const CCellID at = Grid().GetFocusCell();
    ASSERT_EQ(at.row, kAccelerationRow);
    const QColor normal = Bar().grab().toImage().pixelColor(Bar().width() * 3 / 4, Bar().height() / 2);

    QTest::keyClicks(&Bar(), "zq");
    EXPECT_TRUE(Bar().ShowsNoMatch());
    EXPECT_TRUE(Bar().Matches().empty());
    EXPECT_TRUE(FramedRows().empty());
    EXPECT_EQ(Grid().GetFocusCell(), at);
    QTest::keyClick(&Bar(), Qt::Key_F3);
    EXPECT_EQ(Grid().GetFocusCell(), at);
    const QColor red = Bar().grab().toImage().pixelColor(Bar().width() * 3 / 4, Bar().height() / 2);
    EXPECT_EQ(red, CFindBar::kNoMatchColour) << "was " << normal.name().toStdString();

    QTest::keyClick(&Bar(), Qt::Key_Backspace);
    QTest::keyClick(&Bar(), Qt::Key_Backspace);
    EXPECT_FALSE(Bar().ShowsNoMatch());
    EXPECT_FALSE(FramedRows().empty());
    // An empty field finds nothing, and is not red for it.
    QTest::keyClicks(&Bar(), "zq");
    Bar().selectAll();
    QTest::keyClick(&Bar(), Qt::Key_Delete);
    EXPECT_FALSE(Bar().ShowsNoMatch());
    EXPECT_EQ(Bar().grab().toImage().pixelColor(Bar().width() * 3 / 4, Bar().height() / 2), normal);

    QTest::keyClick(&Bar(), Qt::Key_Escape);
    EXPECT_FALSE(Bar().isVisible());
    EXPECT_TRUE(FramedRows().empty());
    EXPECT_EQ(QApplication::focusWidget(), &Grid());
    EXPECT_EQ(Grid().GetFocusCell(), at);
}

TEST_F(FindBarTest, EitherLanguageFindsARowOfTheChineseTable) {
    UseChinese();
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    ASSERT_EQ(State().language, dt::LANG_CHINESE);
    OpenWithKeys();
    QTest::keyClicks(&Bar(), "Acceleration");
    EXPECT_EQ(Grid().GetFocusCell(), (CCellID{kAccelerationRow, 1}));
    EXPECT_EQ(Grid().GetItemText(kAccelerationRow, 1), QStringLiteral("加速度 (rpm/s)"));

    QTest::keyClick(&Bar(), Qt::Key_A, Qt::ControlModifier);
    TypeText(&Bar(), QStringLiteral("转把"));
    const std::vector<int> expected = RowsShowing(QStringLiteral("转把"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Bar().Matches(), expected);
    EXPECT_EQ(FramedRows(), expected);
    EXPECT_EQ(FocusRow(), expected[0]);
}

}  // namespace
