// The allowed range while editing: the balloon's and the status line's "Allowed:" line against
// the range a refused download names, for rows whose limits come from the controller's
// identity; a value outside it not painted before a download; the balloon closed by a scroll.
#include <QRegularExpression>
#include <QScrollBar>

#include "BalloonTip.h"
#include "EditingFixture.h"
#include "MainFrame.h"
#include "RangeRules.h"
#include "StatusLine.h"

namespace {

// The two numbers of "… a … b …" or "a ≤ x ≤ b", in order.
std::pair<double, double> TwoNumbers(const QString& text) {
    static const QRegularExpression number(QStringLiteral("-?[0-9]+(\\.[0-9]+)?"));
    std::vector<double> found;
    for (auto it = number.globalMatch(text); it.hasNext();) found.push_back(it.next().captured().toDouble());
    if (found.size() < 2) return {-1, -1};
    return {found[found.size() - 2], found.back()};
}

class AllowedRangeTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        StartApp();
        ASSERT_TRUE(ConnectAndUpload());
    }
    std::vector<QString> CompareWithRefusals();

    // The range the refusal names for a row after a value far out of it.
    QString RefusedRange(int row) {
        const std::string name = State().sheet.Kind() == dt::ControllerKind::Foc ? State().Tables().FocSettings().rows[row].name_en
                                                     : dt::GridLayout(State())[row].desc->name_en;
        const QString before = CellText(row);
        TypeValue(row, "99999");
        const size_t count = messages.size();
        Press(CControlPanel::IDC_DOWNLOAD);
        TypeValue(row, before);
        if (messages.size() != count + 1) return QString();
        for (const QString& part : Q(messages.back().text).split("\n\n"))
            if (part.startsWith(Q(name))) return part;
        return QString();
    }
};

// Each row's line, and the same numbers in the range a refused download names.
std::vector<QString> AllowedRangeTest::CompareWithRefusals() {
    std::vector<QString> lines;
    for (int rule : {dt::RULE_OVER_VOLTAGE, dt::RULE_UNDER_VOLTAGE, dt::RULE_MAX_PHASE_CURRENT,
                     dt::RULE_BATTERY_CURRENT, dt::RULE_RATED_PHASE_CURRENT, dt::RULE_EBS_CURRENT,
                     dt::RULE_RATED_SPEED}) {
        const int row = RowOfRule(State(), rule);
        EXPECT_GE(row, 0) << rule;
        if (row < 0) continue;
        const QString allowed = View().AllowedLine(row);
        EXPECT_TRUE(allowed.startsWith("Allowed: ")) << rule << " " << allowed.toStdString();
        const QString refused = RefusedRange(row);
        EXPECT_FALSE(refused.isEmpty()) << rule;
        EXPECT_EQ(TwoNumbers(allowed), TwoNumbers(refused)) << allowed.toStdString() << " / " << refused.toStdString();
        lines.push_back(allowed);
    }
    return lines;
}

TEST_F(AllowedRangeTest, TheLineIsTheRefusalsRangeForTheControllerAsItIsNow) {
    const std::vector<QString> read = CompareWithRefusals();
    ASSERT_EQ(read.size(), 7u);
    EXPECT_EQ(read[0], "Allowed: 78.0 … 85.0 V");
    EXPECT_EQ(read[2], "Allowed: 1.0 … 500.0 A");
    EXPECT_EQ(read[6], "Allowed: 1 … 2800 rpm");

    // Another nominal voltage: other voltage and current limits, the line follows at once.
    const dt::OptionList& voltages = State().lists.lists[0];
    const std::string pick = voltages.front() == CellText(kNominalRow).toStdString() ? voltages.back() : voltages.front();
    ASSERT_TRUE(PickChoice(kNominalRow, Q(pick)));
    const std::vector<QString> picked = CompareWithRefusals();
    ASSERT_EQ(pick, "48");
    EXPECT_EQ(picked[0], "Allowed: 62.0 … 75.0 V");
}

TEST_F(AllowedRangeTest, TheBalloonAndTheStatusLineShowTheLine) {
    const QString line = View().AllowedLine(kAccelerationRow);
    EXPECT_EQ(line, "Allowed: 50 … 800 rpm/s");
    EXPECT_TRUE(HintOf(kAccelerationRow).endsWith("\n" + line));
    // A row whose download takes any value gets no line.
    EXPECT_EQ(View().AllowedLine(kSoftUndervoltageRow), "");

    CStatusLine& status = *Frame().StatusLine();
    EXPECT_EQ(status.EditingRangeText(), "");
    Grid().setFocus();
    Grid().SetFocusCell(kAccelerationRow, 2);
    QTest::keyClick(&Grid(), Qt::Key_F2);
    ASSERT_TRUE(Grid().IsEditing());
    EXPECT_EQ(status.EditingRangeText(), line);
    QTest::keyClick(Grid().InPlaceEditor(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return status.EditingRangeText().isEmpty(); }, 2000));
}

TEST_F(AllowedRangeTest, AScrollClosesTheBalloon) {
    Grid().verticalScrollBar()->setValue(0);
    HintOf(kAccelerationRow);
    BalloonTip& balloon = *View().Balloon();
    ASSERT_TRUE(balloon.IsWaiting() || balloon.isVisible());
    Grid().verticalScrollBar()->setValue(Grid().verticalScrollBar()->value() + 3);
    EXPECT_FALSE(balloon.IsWaiting());
    EXPECT_FALSE(balloon.isVisible());
}

TEST_F(AllowedRangeTest, AValueOutsideIsNotPaintedBeforeADownload) {
    const QColor before = Grid().GetItemBkColour(kAccelerationRow, 2);
    TypeValue(kAccelerationRow, "99999");
    EXPECT_EQ(Grid().GetItemBkColour(kAccelerationRow, 2), before);
    Press(CControlPanel::IDC_DOWNLOAD);
    EXPECT_EQ(Grid().GetItemBkColour(kAccelerationRow, 2), QColor(255, 0, 0));
}

TEST_F(AllowedRangeTest, TheLineInChinese) {
    UseChinese();
    Panel().ToggleLanguage();
    ASSERT_EQ(State().language, dt::LANG_CHINESE);
    EXPECT_EQ(View().AllowedLine(RowOfRule(State(), dt::RULE_OVER_VOLTAGE)), "允许范围：78.0 … 85.0 V");
}

}  // namespace
