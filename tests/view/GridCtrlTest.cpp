// CGridCtrl driven through real mouse and keyboard events (offscreen).
#include <gtest/gtest.h>

#include "QtTestApp.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "GridCtrl.h"
#include "GridInPlaceEdit.h"

namespace {

QApplication* App() { return dttest::GuiApp(); }

class GridTest : public ::testing::Test {
public:
    void SetUp() override
    {
        App();
        window = std::make_unique<QWidget>();
        window->resize(800, 500);
        grid = new CGridCtrl();
        grid->Create(QRect(0, 0, 800, 500), window.get(), 101);
        grid->SetNotifyHandler([this](const GridNotify& n) {
            log.push_back(n);
            if (onNotify)
                onNotify(n);
            auto it = answers.find(n.code);
            return it == answers.end() ? 0 : it->second;
        });
        grid->SetRowCount(8);
        grid->SetColumnCount(3);
        grid->SetColumnWidth(0, 120);
        grid->SetColumnWidth(1, 200);
        grid->SetColumnWidth(2, 150);
        for (int r = 0; r < 8; ++r) {
            grid->SetItemText(r, 1, QStringLiteral("name %1").arg(r));
            grid->SetItemState(r, 1, GVIS_READONLY);
            grid->SetItemText(r, 2, QStringLiteral("    %1").arg(r * 10));
            grid->SetItemState(r, 2, GVIS_MODIFIED);
        }
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        grid->setFocus();
        log.clear();
    }
    void TearDown() override
    {
        window.reset();
        QApplication::processEvents();
    }

    QPoint Centre(int r, int c) const { return grid->CellRect(r, c).center(); }
    void Click(int r, int c, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseClick(grid->viewport(), b, Qt::NoModifier, Centre(r, c));
    }
    void DoubleClick(int r, int c) { QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(r, c)); }
    // Keys go where the focus is, as typed keys do.
    void Key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, k, m);
    }
    void Type(const QString& s) { QTest::keyClicks(QApplication::focusWidget(), s); }
    QLineEdit* Box() const { return qobject_cast<QLineEdit*>(grid->InPlaceEditor()); }
    CGridInPlaceList* List() const { return qobject_cast<CGridInPlaceList*>(grid->InPlaceEditor()); }
    std::vector<int> Codes(bool withFocus = false) const
    {
        std::vector<int> out;
        for (const auto& n : log)
            if (withFocus || (n.code != GVN_SELCHANGING && n.code != GVN_SELCHANGED))
                out.push_back(n.code);
        return out;
    }
    void MakeCombo(int r, const QStringList& options)
    {
        grid->SetCellType(r, 2, GridCellKind::Combo);
        auto* combo = grid->GetComboCell(r, 2);
        ASSERT_NE(combo, nullptr);
        combo->SetOptions(options);
        combo->SetStyle(CBS_DROPDOWNLIST);
    }

    std::unique_ptr<QWidget> window;
    CGridCtrl* grid = nullptr;
    std::vector<GridNotify> log;
    std::map<int, int> answers;
    std::function<void(const GridNotify&)> onNotify;
};

TEST_F(GridTest, ItemTextDropsLeadingWhiteSpaceOnly)
{
    struct Case {
        QString stored;
        QString read;
    } cases[] = {
        {"    12", "12"},        {"\t\r\n 3.5 ", "3.5 "}, {"", ""},
        {"   ", ""},            {"中文 值", "中文 值"},  {"\u3000x", "\u3000x"},
        {"  a  b", "a  b"},
    };
    for (const Case& c : cases) {
        grid->SetItemText(0, 0, c.stored);
        EXPECT_EQ(grid->GetItemText(0, 0), c.read) << c.stored.toStdString();
        EXPECT_EQ(grid->GetCell(0, 0)->GetText(), c.stored);
    }
}

TEST_F(GridTest, CellOperationsOutsideTheGridFail)
{
    EXPECT_FALSE(grid->SetItemText(8, 0, "x"));
    EXPECT_FALSE(grid->SetItemState(0, 3, 0));
    EXPECT_FALSE(grid->SetItemBkColour(-1, 0, Qt::red));
    EXPECT_FALSE(grid->SetCellType(0, 9, GridCellKind::Combo));
    EXPECT_FALSE(grid->MergeCells(0, 0, 8, 0));
    EXPECT_FALSE(grid->SetColumnWidth(3, 10));
    EXPECT_EQ(grid->GetCell(8, 2), nullptr);
    EXPECT_EQ(grid->GetItemText(8, 2), QString());
    GV_ITEM item;
    item.row = 99;
    item.mask = GVIF_TEXT;
    EXPECT_FALSE(grid->SetItem(item));
}

TEST_F(GridTest, StateTextAndSetItemMasks)
{
    grid->SetItemState(3, 0, GVIS_READONLY);
    EXPECT_EQ(grid->GetItemState(3, 0), unsigned(GVIS_READONLY));
    grid->SetItemText(3, 0, "x");  // marks modified
    EXPECT_EQ(grid->GetItemState(3, 0), unsigned(GVIS_READONLY | GVIS_MODIFIED));
    grid->SetItemState(3, 0, GVIS_MODIFIED);  // replaces
    EXPECT_EQ(grid->GetItemState(3, 0), unsigned(GVIS_MODIFIED));

    GV_ITEM item;
    item.row = 4;
    item.col = 0;
    item.mask = GVIF_TEXT | GVIF_FORMAT;
    item.text = "Group";
    item.format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    item.state = GVIS_READONLY;      // not in the mask
    item.bkColour = QColor(1, 2, 3);  // not in the mask
    ASSERT_TRUE(grid->SetItem(item));
    EXPECT_EQ(grid->GetItemText(4, 0), "Group");
    EXPECT_EQ(grid->GetItemFormat(4, 0), item.format);
    EXPECT_EQ(grid->GetItemState(4, 0), 0u);
    EXPECT_FALSE(grid->GetItemBkColour(4, 0).isValid());

    item.mask = GVIF_STATE | GVIF_BKCLR | GVIF_FGCLR | GVIF_FONT | GVIF_MARGIN;
    item.fgColour = QColor(255, 255, 255);
    item.font = QFont("Arial", 13);
    item.margin = 7;
    ASSERT_TRUE(grid->SetItem(item));
    GV_ITEM back;
    back.row = 4;
    back.col = 0;
    ASSERT_TRUE(grid->GetItem(back));
    EXPECT_EQ(back.state, unsigned(GVIS_READONLY));
    EXPECT_EQ(back.bkColour, QColor(1, 2, 3));
    EXPECT_EQ(back.fgColour, QColor(255, 255, 255));
    EXPECT_EQ(back.font.pointSize(), 13);
    EXPECT_EQ(back.margin, 7u);
    EXPECT_EQ(back.text, "Group");
}

TEST_F(GridTest, ComboKindKeepsTheCellsProperties)
{
    QFont f("宋体", 14);
    grid->SetItemText(2, 2, "    48");
    grid->SetItemFormat(2, 2, DT_CENTER | DT_SINGLELINE);
    grid->SetItemState(2, 2, GVIS_MODIFIED);
    grid->SetItemBkColour(2, 2, QColor(235, 240, 220));
    grid->SetItemFgColour(2, 2, QColor(0, 0, 255));
    grid->SetItemFont(2, 2, f);
    ASSERT_TRUE(grid->SetCellType(2, 2, GridCellKind::Combo));
    auto* combo = grid->GetComboCell(2, 2);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetText(), "    48");
    EXPECT_EQ(combo->GetFormat(), unsigned(DT_CENTER | DT_SINGLELINE));
    EXPECT_EQ(combo->GetState(), unsigned(GVIS_MODIFIED));
    EXPECT_EQ(combo->GetBackClr(), QColor(235, 240, 220));
    EXPECT_EQ(combo->GetTextClr(), QColor(0, 0, 255));
    ASSERT_NE(combo->GetFont(), nullptr);
    EXPECT_EQ(*combo->GetFont(), f);
    combo->SetOptions(std::vector<std::string>{"48", "60", "中文"});
    EXPECT_EQ(combo->GetOptions(), (QStringList{"48", "60", "中文"}));
    EXPECT_EQ(grid->GetComboCell(2, 1), nullptr);
}

TEST_F(GridTest, MergedRangeDrawsAndAnswersAsItsTopLeftCell)
{
    grid->SetItemText(1, 0, "Group A");
    ASSERT_TRUE(grid->MergeCells(1, 0, 4, 0));
    const QRect whole = grid->CellRect(1, 0);
    EXPECT_EQ(grid->CellRect(3, 0), whole);
    EXPECT_GE(whole.height(), 4 * grid->GetRowHeight(1) - 4);
    EXPECT_EQ(grid->GetMergedTopLeft(4, 0), (CCellID{1, 0}));
    EXPECT_EQ(grid->GetMergedTopLeft(5, 0), (CCellID{5, 0}));

    // A click anywhere in the range reports and focuses the top-left cell.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(whole.center().x(), whole.bottom() - 3));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().code, GVN_CLICK);
    EXPECT_EQ(log.back().row, 1);
    EXPECT_EQ(log.back().col, 0);
    EXPECT_EQ(grid->GetFocusCell(), (CCellID{1, 0}));
    // Moving down leaves the range.
    Key(Qt::Key_Down);
    EXPECT_EQ(grid->GetFocusCell(), (CCellID{5, 0}));
    Key(Qt::Key_Up);
    EXPECT_EQ(grid->GetFocusCell(), (CCellID{1, 0}));

    // A new merge over part of an old one undoes the old one.
    ASSERT_TRUE(grid->MergeCells(4, 0, 6, 0));
    EXPECT_EQ(grid->GetMergedTopLeft(2, 0), (CCellID{2, 0}));
    EXPECT_EQ(grid->GetMergedTopLeft(6, 0), (CCellID{4, 0}));
    // Shrinking the grid drops merges that no longer fit.
    grid->SetRowCount(5);
    EXPECT_EQ(grid->GetMergedTopLeft(4, 0), (CCellID{4, 0}));
    EXPECT_FALSE(grid->GetCell(4, 0)->IsMergeTopLeft());
}

TEST_F(GridTest, DeleteAllItemsEmptiesTheGridAndTheWindowIsReused)
{
    grid->MergeCells(0, 0, 2, 2);
    grid->SetFocusCell(3, 2);
    ASSERT_TRUE(grid->EditCell(3, 2));
    ASSERT_TRUE(grid->DeleteAllItems());
    EXPECT_EQ(grid->GetRowCount(), 0);
    EXPECT_EQ(grid->GetColumnCount(), 0);
    EXPECT_FALSE(grid->GetFocusCell().IsValid());
    EXPECT_FALSE(grid->IsEditing());
    QApplication::processEvents();

    grid->SetRowCount(2);
    grid->SetColumnCount(3);
    EXPECT_EQ(grid->GetItemText(0, 0), QString());
    EXPECT_EQ(grid->GetMergedTopLeft(1, 1), (CCellID{1, 1}));
    EXPECT_EQ(grid->GetRowHeight(1), grid->GetDefCellHeight());
    EXPECT_TRUE(grid->isVisible());
}

TEST_F(GridTest, FocusCellIsKeptOutOfFixedCellsAndReturnsThePrevious)
{
    grid->SetFixedRowCount(1);
    grid->SetFixedColumnCount(1);
    EXPECT_EQ(grid->GetItemState(0, 2) & GVIS_FIXEDROW, unsigned(GVIS_FIXEDROW));
    EXPECT_EQ(grid->SetFocusCell(0, 0), CCellID());
    EXPECT_EQ(grid->GetFocusCell(), (CCellID{1, 1}));
    EXPECT_EQ(grid->SetFocusCell(5, 2), (CCellID{1, 1}));
    EXPECT_EQ(grid->GetItemState(5, 2) & GVIS_FOCUSED, unsigned(GVIS_FOCUSED));
    EXPECT_EQ(grid->GetItemState(1, 1) & GVIS_FOCUSED, 0u);
    EXPECT_EQ(grid->SetFocusCell(50, 2), (CCellID{5, 2}));
    EXPECT_EQ(grid->GetFocusCell(), (CCellID{5, 2}));
    EXPECT_FALSE(grid->IsCellEditable(0, 2));
}

TEST_F(GridTest, EnsureVisibleScrollsTheCellIntoView)
{
    grid->SetRowCount(200);
    grid->EnsureVisible(150, 2);
    const QRect r = grid->CellRect(150, 2);
    EXPECT_TRUE(grid->viewport()->rect().contains(r.center()));
    EXPECT_GT(grid->verticalScrollBar()->value(), 0);
}

// What starts an edit, on an editable and on a read-only cell.
TEST_F(GridTest, EditingStartsOnlyOnTheDocumentedActions)
{
    struct Case {
        const char* name;
        std::function<void(GridTest&, int r, int c)> act;
        bool starts;
    };
    const std::vector<Case> cases = {
        {"double click", [](GridTest& t, int r, int c) { t.DoubleClick(r, c); }, true},
        {"click on the focus cell", [](GridTest& t, int r, int c) { t.Click(r, c); }, true},
        {"F2", [](GridTest& t, int, int) { t.Key(Qt::Key_F2); }, true},
        {"character", [](GridTest& t, int, int) { t.Key(Qt::Key_7); }, true},
        {"Enter", [](GridTest& t, int, int) { t.Key(Qt::Key_Return); }, true},
        {"Esc", [](GridTest& t, int, int) { t.Key(Qt::Key_Escape); }, false},
        {"Ctrl+character", [](GridTest& t, int, int) { t.Key(Qt::Key_A, Qt::ControlModifier); }, false},
    };
    for (const Case& c : cases) {
        for (int readOnly = 0; readOnly < 2; ++readOnly) {
            const int row = 2 + readOnly;
            grid->SetItemState(row, 2, readOnly ? GVIS_READONLY : GVIS_MODIFIED);
            grid->SetFocusCell(row, 2);
            grid->setFocus();
            log.clear();
            c.act(*this, row, 2);
            const bool started = grid->IsEditing();
            EXPECT_EQ(started, c.starts && !readOnly) << c.name << (readOnly ? " (read-only)" : "");
            if (started) {
                EXPECT_EQ(grid->EditingCell(), (CCellID{row, 2}));
                EXPECT_NE(std::find(Codes().begin(), Codes().end(), GVN_BEGINLABELEDIT), Codes().end());
                Key(Qt::Key_Escape);
            }
            EXPECT_FALSE(grid->IsEditing());
        }
    }
}

TEST_F(GridTest, SingleClickOnAnotherCellOnlyMovesTheFocus)
{
    grid->SetFocusCell(1, 2);
    Click(4, 2);
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->GetFocusCell(), (CCellID{4, 2}));
    EXPECT_EQ(Codes(true), (std::vector<int>{GVN_SELCHANGING, GVN_SELCHANGED, GVN_CLICK}));
    log.clear();
    Click(4, 2, Qt::RightButton);
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_RCLICK}));
}

TEST_F(GridTest, EditingDisabledGridNeverEdits)
{
    grid->EnableEditing(false);
    grid->SetFocusCell(2, 2);
    DoubleClick(2, 2);
    Key(Qt::Key_F2);
    Key(Qt::Key_5);
    EXPECT_FALSE(grid->IsEditing());
}

TEST_F(GridTest, OwnerCanRefuseToStartEditing)
{
    answers[GVN_BEGINLABELEDIT] = -1;
    grid->SetFocusCell(2, 2);
    Key(Qt::Key_F2);
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT}));
}

TEST_F(GridTest, TypedCharacterReplacesTheTextAndEnterCommits)
{
    grid->SetFocusCell(2, 2);
    Key(Qt::Key_5);
    ASSERT_NE(Box(), nullptr);
    EXPECT_EQ(Box()->text(), "5");
    Type("5");
    Key(Qt::Key_Return);
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->GetItemText(2, 2), "55");
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT, GVN_ENDLABELEDIT}));
    EXPECT_EQ(log.back().row, 2);
    EXPECT_EQ(log.back().col, 2);
    EXPECT_EQ(log.back().id, 101);
    EXPECT_EQ(log.back().sender, grid);
    EXPECT_TRUE(grid->hasFocus());
}

TEST_F(GridTest, EditStartedByMouseOrF2KeepsTheTextWithTheCaretAtTheEnd)
{
    grid->SetFocusCell(3, 2);
    Key(Qt::Key_F2);
    ASSERT_NE(Box(), nullptr);
    EXPECT_EQ(Box()->text(), "    30");
    EXPECT_EQ(Box()->cursorPosition(), 6);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->GetCell(3, 2)->GetText(), "    3");
}

TEST_F(GridTest, EscRestoresTheCellAndSendsNothing)
{
    grid->SetFocusCell(2, 2);
    Key(Qt::Key_9);
    Type("99");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->GetCell(2, 2)->GetText(), "    20");
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT}));
}

TEST_F(GridTest, UnchangedTextSendsNoEndNotificationButLeadingSpacesCount)
{
    // Same text as the stripped cell text: nothing happens, state untouched.
    grid->SetItemText(2, 2, "abc");
    grid->SetItemState(2, 2, 0);
    grid->SetFocusCell(2, 2);
    Key(Qt::Key_F2);
    Key(Qt::Key_Return);
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT}));
    EXPECT_EQ(grid->GetItemState(2, 2) & GVIS_MODIFIED, 0u);

    // The edit box holds the indented text; "    20" differs from "20".
    log.clear();
    grid->SetFocusCell(2, 2);
    grid->SetItemText(2, 2, "    20");
    Key(Qt::Key_F2);
    Key(Qt::Key_Return);
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT, GVN_ENDLABELEDIT}));
    EXPECT_EQ(grid->GetCell(2, 2)->GetText(), "    20");
}

TEST_F(GridTest, OwnerCanRefuseAChangedText)
{
    answers[GVN_ENDLABELEDIT] = -1;
    grid->SetFocusCell(2, 2);
    Key(Qt::Key_1);
    Key(Qt::Key_Return);
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT, GVN_ENDLABELEDIT}));
    EXPECT_EQ(grid->GetCell(2, 2)->GetText(), "    20");
}

TEST_F(GridTest, EditEndsWhenTheBoxLosesTheFocus)
{
    grid->SetFocusCell(2, 2);
    Key(Qt::Key_4);
    Click(5, 2);  // focus back to the grid, then onto another cell
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->GetItemText(2, 2), "4");
    EXPECT_EQ(grid->GetFocusCell(), (CCellID{5, 2}));
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT, GVN_ENDLABELEDIT, GVN_CLICK}));
}

// Keys that end an edit, and where the focus and the editing go afterwards.
TEST_F(GridTest, EndingKeysAndNavigation)
{
    struct Case {
        const char* name;
        bool byKey;  // started by a typed key (else F2)
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool ends;
        CCellID focusAfter;
        bool editsAfter;
    };
    const Case cases[] = {
        {"Tab wraps to the next row", true, Qt::Key_Tab, Qt::NoModifier, true, {4, 0}, true},
        {"Shift+Tab goes left into a read-only cell", true, Qt::Key_Tab, Qt::ShiftModifier, true, {3, 1}, false},
        {"Down in a key-started edit", true, Qt::Key_Down, Qt::NoModifier, true, {4, 2}, true},
        {"Up in a key-started edit", true, Qt::Key_Up, Qt::NoModifier, true, {2, 2}, true},
        {"PageDown in a key-started edit", true, Qt::Key_PageDown, Qt::NoModifier, true, {7, 2}, true},
        {"Down in an F2 edit moves nothing", false, Qt::Key_Down, Qt::NoModifier, false, {3, 2}, true},
        {"Left in an F2 edit moves the caret", false, Qt::Key_Left, Qt::NoModifier, false, {3, 2}, true},
        {"Ctrl+Down in an F2 edit", false, Qt::Key_Down, Qt::ControlModifier, true, {4, 2}, true},
        {"Left into a read-only cell", true, Qt::Key_Left, Qt::NoModifier, true, {3, 1}, false},
        {"Enter stays", true, Qt::Key_Return, Qt::NoModifier, true, {3, 2}, false},
    };
    for (const Case& c : cases) {
        grid->SetFocusCell(3, 2);
        grid->setFocus();
        if (c.byKey)
            Key(Qt::Key_8);
        else
            Key(Qt::Key_F2);
        ASSERT_TRUE(grid->IsEditing()) << c.name;
        log.clear();
        Key(c.key, c.mods);
        if (!c.ends) {
            EXPECT_EQ(grid->EditingCell(), (CCellID{3, 2})) << c.name;
            Key(Qt::Key_Escape);
            continue;
        }
        EXPECT_EQ(grid->GetFocusCell(), c.focusAfter) << c.name;
        EXPECT_EQ(grid->IsEditing(), c.editsAfter) << c.name;
        if (c.editsAfter) {
            EXPECT_EQ(grid->EditingCell(), c.focusAfter) << c.name;
            ASSERT_NE(Box(), nullptr);
            EXPECT_EQ(Box()->selectedText(), Box()->text()) << c.name;
            Key(Qt::Key_Escape);
        }
        if (c.byKey) {
            EXPECT_EQ(grid->GetItemText(3, 2), "8") << c.name;
        }
        grid->SetItemText(3, 2, "    30");
        QApplication::processEvents();
    }
}

TEST_F(GridTest, EditBoxWidensWhileTypingUpToTheClientArea)
{
    grid->SetFocusCell(2, 2);
    Key(Qt::Key_F2);
    ASSERT_NE(Box(), nullptr);
    const int startWidth = Box()->width();
    EXPECT_EQ(startWidth, grid->CellRect(2, 2).width());
    Type("123456789012345678901234567890");
    EXPECT_GT(Box()->width(), startWidth);
    const QFontMetrics fm(Box()->font());
    EXPECT_GE(Box()->width(), fm.horizontalAdvance(Box()->text() + "  "));
    Type(QString(200, QLatin1Char('x')));
    EXPECT_EQ(Box()->geometry().right(), grid->viewport()->width() - 1);
    Key(Qt::Key_Escape);
}

TEST_F(GridTest, ComboOpensDroppedDownWithThePrefixMatchSelected)
{
    struct Case {
        QString text;
        int selected;
    } cases[] = {
        {"dis", 1}, {"DISABLE", 1}, {"e", 0}, {"    Enable", -1}, {"", 0}, {"x", -1},
    };
    MakeCombo(2, {"Enable", "Disable", "Disabled forever"});
    for (const Case& c : cases) {
        grid->SetItemText(2, 2, c.text);
        ASSERT_TRUE(grid->EditCell(2, 2));
        auto* list = List();
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(list->IsDroppedDown()) << c.text.toStdString();
        EXPECT_EQ(list->CurrentIndex(), c.selected) << c.text.toStdString();
        EXPECT_EQ(list->List()->font(), grid->font());
        Key(Qt::Key_Escape);
        EXPECT_FALSE(grid->IsEditing());
        EXPECT_EQ(grid->GetCell(2, 2)->GetText(), c.text);
    }
}

TEST_F(GridTest, ClosingAnIndentedComboWithoutAChoiceKeepsItsText)
{
    // No option begins with the indent, so none is selected; however the list closes, the
    // cell keeps its value and the owner hears of no change.
    MakeCombo(2, {"Enable", "Disable"});
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"Enter", [this] { Key(Qt::Key_Return); }},
        {"Esc", [this] { Key(Qt::Key_Escape); }},
        {"a click elsewhere",
         [this] {
             List()->HideDropDown();
             Click(6, 1);
         }},
    };
    for (const auto& [name, close] : ways) {
        grid->SetItemText(2, 2, "    Disable");
        grid->SetFocusCell(2, 2);
        log.clear();
        Key(Qt::Key_F2);
        ASSERT_NE(List(), nullptr) << name;
        EXPECT_EQ(List()->CurrentIndex(), -1) << name;
        close();
        EXPECT_FALSE(grid->IsEditing()) << name;
        EXPECT_EQ(grid->GetCell(2, 2)->GetText(), "    Disable") << name;
        const std::vector<int> codes = Codes();
        EXPECT_EQ(std::count(codes.begin(), codes.end(), GVN_ENDLABELEDIT), 0) << name;
    }
}

TEST_F(GridTest, MarksAndHighlightsAreDrawnOverTheCellsOwnLook)
{
    grid->SetItemBkColour(3, 2, QColor(235, 240, 220));
    grid->SetItemFgColour(3, 2, QColor(0, 0, 255));
    grid->SetItemBkColour(4, 1, QColor(225, 230, 210));
    grid->SetItemMarked(3, 2, true);
    grid->SetItemHighlight(4, 1, CellHighlight::Match);
    grid->SetItemHighlight(5, 1, CellHighlight::Current);
    EXPECT_TRUE(grid->IsItemMarked(3, 2));
    EXPECT_FALSE(grid->IsItemMarked(4, 2));
    EXPECT_EQ(grid->GetItemHighlight(4, 1), CellHighlight::Match);
    EXPECT_FALSE(grid->SetItemMarked(99, 2, true));
    // The cell's own colours and font stay as they were set.
    EXPECT_EQ(grid->GetItemBkColour(3, 2), QColor(235, 240, 220));
    EXPECT_EQ(grid->GetItemFgColour(3, 2), QColor(0, 0, 255));
    EXPECT_EQ(grid->GetItemFont(3, 2), nullptr);

    grid->SetFocusCell(0, 0);
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect marked = grid->CellRect(3, 2);
    EXPECT_EQ(shot.pixelColor(marked.topRight() + QPoint(-2, 1)), CGridCtrl::kMarkerColour);
    EXPECT_EQ(shot.pixelColor(marked.topLeft() + QPoint(2, 2)), QColor(235, 240, 220));
    const QRect framed = grid->CellRect(4, 1);
    EXPECT_EQ(shot.pixelColor(QPoint(framed.center().x(), framed.top() + 2)), CGridCtrl::kHighlightFrame);
    EXPECT_EQ(shot.pixelColor(framed.center() + QPoint(framed.width() / 3, 0)), QColor(225, 230, 210));
    const QRect current = grid->CellRect(5, 1);
    EXPECT_EQ(shot.pixelColor(QPoint(current.center().x(), current.top() + 3)), CGridCtrl::kCurrentFrame);

    // Bold text: the marked value covers more pixels than the same text unmarked.
    auto inked = [&](const QImage& img, const QRect& r) {
        int n = 0;
        for (int y = r.top() + 3; y < r.bottom() - 2; ++y)
            for (int x = r.left() + 3; x < r.left() + r.width() / 2; ++x)
                n += img.pixelColor(x, y) == QColor(235, 240, 220) ? 0 : 1;
        return n;
    };
    const int bold = inked(shot, marked);
    grid->SetItemMarked(3, 2, false);
    const int plain = inked(grid->viewport()->grab().toImage(), marked);
    EXPECT_GT(bold, plain);

    // The marks go with a changed cell kind, and with the cells.
    grid->SetItemMarked(3, 2, true);
    grid->SetCellType(3, 2, GridCellKind::Combo);
    EXPECT_TRUE(grid->IsItemMarked(3, 2));
    grid->DeleteAllItems();
    grid->SetRowCount(8);
    grid->SetColumnCount(3);
    EXPECT_FALSE(grid->IsItemMarked(3, 2));
}

TEST_F(GridTest, EverySelectionChangeIsReportedBeforeTheEditEnds)
{
    MakeCombo(2, {"48", "60", "72", "84"});
    grid->SetItemText(2, 2, "    60");
    // The owner writes the choice into the cell at once, as the parameter view does.
    onNotify = [this](const GridNotify& n) {
        if (n.code == GVN_COMBOSELCHANGE)
            grid->SetItemText(n.row, n.col, "    " + n.text);
    };
    grid->SetFocusCell(2, 2);
    Key(Qt::Key_F2);
    ASSERT_NE(List(), nullptr);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    ASSERT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT, GVN_COMBOSELCHANGE, GVN_COMBOSELCHANGE}));
    EXPECT_EQ(log[1].text, "48");
    EXPECT_EQ(log[2].text, "60");
    EXPECT_EQ(log[2].row, 2);
    EXPECT_EQ(log[2].col, 2);
    // The cell already holds the choice: no end notification.
    EXPECT_EQ(grid->GetItemText(2, 2), "60");

    // Without an owner that writes, the change arrives after the selections.
    onNotify = nullptr;
    log.clear();
    grid->SetFocusCell(2, 2);
    Key(Qt::Key_F2);
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT, GVN_COMBOSELCHANGE, GVN_ENDLABELEDIT}));
    EXPECT_EQ(grid->GetCell(2, 2)->GetText(), "48");

    // Tab ends the list too and editing goes on in the next cell.
    log.clear();
    grid->SetItemText(2, 2, "72");
    grid->SetFocusCell(2, 2);
    Key(Qt::Key_F2);
    Key(Qt::Key_Down);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT, GVN_COMBOSELCHANGE, GVN_ENDLABELEDIT,
                                         GVN_BEGINLABELEDIT}));
    EXPECT_EQ(log[1].text, "84");
    EXPECT_EQ(grid->GetItemText(2, 2), "84");
    EXPECT_EQ(grid->EditingCell(), (CCellID{3, 0}));
    Key(Qt::Key_Escape);
}

TEST_F(GridTest, ClickingAnOptionSelectsItAndClosesTheDropDown)
{
    MakeCombo(2, {"Enable", "Disable"});
    grid->SetItemText(2, 2, "Enable");
    ASSERT_TRUE(grid->EditCell(2, 2));
    auto* list = List();
    ASSERT_NE(list, nullptr);
    QListWidget* lw = list->List();
    const QRect item = lw->visualItemRect(lw->item(1));
    QTest::mouseClick(lw->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_FALSE(list->IsDroppedDown());
    EXPECT_EQ(list->CurrentText(), "Disable");
    EXPECT_EQ(Codes(), (std::vector<int>{GVN_BEGINLABELEDIT, GVN_COMBOSELCHANGE}));
    // The choice lands when the list loses the focus.
    Click(6, 2);
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->GetItemText(2, 2), "Disable");
}

TEST_F(GridTest, DropDownSizeFollowsTheCellAndTheLongestOption)
{
    QStringList many;
    for (int i = 0; i < 12; ++i)
        many << QStringLiteral("option %1").arg(i);
    many << QStringLiteral("a rather long option that is wider than the value column");
    MakeCombo(2, many);
    ASSERT_TRUE(grid->EditCell(2, 2));
    auto* list = List();
    ASSERT_NE(list, nullptr);
    const int cellH = grid->CellRect(2, 2).height();
    const int sb = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    EXPECT_EQ(list->height(), cellH);
    EXPECT_EQ(list->DropDown()->height(), 4 * cellH + sb);
    const QFontMetrics fm(grid->font());
    EXPECT_GE(list->DropDown()->width(), fm.horizontalAdvance(many.last()));
    EXPECT_EQ(list->DropDown()->geometry().top(), list->mapToGlobal(QPoint(0, cellH)).y());
    Key(Qt::Key_Escape);

    MakeCombo(3, {"on", "off"});  // a short list needs less
    ASSERT_TRUE(grid->EditCell(3, 2));
    ASSERT_NE(List(), nullptr);
    const int rowH = List()->List()->sizeHintForRow(0);
    EXPECT_LT(List()->DropDown()->height(), 4 * cellH + sb);
    EXPECT_GE(List()->DropDown()->height(), 2 * rowH);
    EXPECT_LE(List()->DropDown()->height(), 2 * rowH + 8);
    EXPECT_GE(List()->DropDown()->width(), grid->CellRect(3, 2).width());
    Key(Qt::Key_Escape);
}

TEST_F(GridTest, UsersResizeColumnsButNotRows)
{
    const int before = grid->GetColumnWidth(0);
    const int rowBefore = grid->GetRowHeight(2);
    const QRect c0 = grid->CellRect(2, 0);
    const QPoint divider(c0.right() + 1, c0.center().y());
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, divider);
    QTest::mouseMove(grid->viewport(), divider + QPoint(40, 0));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, divider + QPoint(40, 0));
    EXPECT_EQ(grid->GetColumnWidth(0), before + 40);
    EXPECT_TRUE(Codes(true).empty());

    const QPoint rowDivider(c0.center().x() + 200, grid->CellRect(2, 1).bottom() + 1);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, rowDivider);
    QTest::mouseMove(grid->viewport(), rowDivider + QPoint(0, 30));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, rowDivider + QPoint(0, 30));
    EXPECT_EQ(grid->GetRowHeight(2), rowBefore);
}

TEST_F(GridTest, RowHeightsDefaultToTheGridFont)
{
    QFont big("Arial");
    big.setPointSizeF(20);
    grid->SetRowHeight(1, 42);
    grid->SetFont(big);
    EXPECT_EQ(grid->GetRowHeight(0), QFontMetrics(big).height() + 6);
    EXPECT_EQ(grid->GetRowHeight(1), 42);
}

}  // namespace
