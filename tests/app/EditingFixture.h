#pragma once
// The window against the virtual controller, with helpers for tests that edit value cells:
// the marked rows, other values and choices to type or pick, an import with two changes and
// the hint balloon of a row.
#include <QTest>

#include <set>

#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "GridPasses.h"
#include "QtText.h"
#include "RangeRules.h"
#include "ToolState.h"
#include "WindowHarness.h"

// First grid row of the standard layout checked by this rule.
inline int RowOfRule(const dt::ToolState& s, int rule) {
    const std::vector<dt::GridRow> rows = dt::GridLayout(s);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].record > 0 && rows[i].desc->range == rule && dt::IsCheckedKind(rows[i].desc->kind))
            return static_cast<int>(i);
    return -1;
}

class EditingTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(StartSim());
    }

    std::set<int> MarkedRows() {
        std::set<int> rows;
        for (int row = 0; row < Grid().GetRowCount(); ++row)
            if (Grid().IsItemMarked(row, 2)) rows.insert(row);
        return rows;
    }

    // An in-range value of a numeric row other than the shown one.
    QString OtherValue(int row) {
        const int current = CellText(row).toInt();
        return QString::number(current == 600 ? 700 : 600);
    }

    QString OtherChoice(int row) {
        const dt::OptionList& choices = State().lists.lists[1];
        return CellText(row) == Q(choices[0]) ? Q(choices[1]) : Q(choices[0]);
    }

    // Imports a file of the same controller with two values changed.
    void ImportWithTwoChanges() {
        dt::ToolState copy = State();
        dt::ValueCells cells = dt::ShowValues(copy);
        cells[kAccelerationRow] = OtherValue(kAccelerationRow).toStdString();
        cells[kDecelerationRow] = OtherValue(kDecelerationRow).toStdString();
        dt::StoreValues(copy, cells);
        WriteFile("changed.foc", QByteArray(reinterpret_cast<const char*>(copy.block.bytes.data()),
                                            static_cast<int>(copy.block.bytes.size())));
        fileAnswers.push_back(WorkPath("changed.foc").toStdString());
        const size_t before = messages.size();
        Press(CControlPanel::IDC_IMPORT);
        ASSERT_TRUE(WaitForMessages(before + 1));
        ASSERT_EQ(messages.back().text, State().Message(dt::MSG_IMPORT_OK));
    }

    // The hint balloon as a click on the row's name leaves it.
    QString HintOf(int row) {
        Grid().EnsureVisible(row, 1);
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, Grid().CellRect(row, 1).center());
        return View().LastHint();
    }
};
