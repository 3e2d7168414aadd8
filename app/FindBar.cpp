#include "FindBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>

#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "GridPasses.h"
#include "ParamTables.h"
#include "QtText.h"
#include "ToolState.h"

namespace {
constexpr int kNameColumn = 1;
}  // namespace

CFindBar::CFindBar(const dt::ToolState& state, CDriveTuneView& view, QWidget* parent)
    : QLineEdit(parent), state_(state), view_(view) {
    setObjectName(QStringLiteral("findBar"));
    setFixedWidth(kWidth);
    hide();
    connect(this, &QLineEdit::textEdited, this, [this] { Search(); });
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) Search();  // the clear button
    });
}

void CFindBar::InstallShortcuts(QWidget* window) {
    auto* open = new QShortcut(QKeySequence::Find, window);
    connect(open, &QShortcut::activated, this, &CFindBar::Open);
    auto* next = new QShortcut(QKeySequence(Qt::Key_F3), window);
    connect(next, &QShortcut::activated, this, [this] {
        if (isVisible()) Next();
    });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), window);
    connect(previous, &QShortcut::activated, this, [this] {
        if (isVisible()) Previous();
    });
}

std::vector<int> CFindBar::RowsNamed(const dt::ToolState& state, const QString& text) {
    std::vector<int> rows;
    if (text.isEmpty()) return rows;
    const std::vector<dt::GridRow> layout = dt::GridLayout(state);
    for (size_t row = 0; row < layout.size(); ++row) {
        if (layout[row].record == 0) continue;  // the title of a set
        const dt::ParamDescriptor& d = *layout[row].desc;
        if (Q(d.name_en).contains(text, Qt::CaseInsensitive) || Q(d.name_cn).contains(text, Qt::CaseInsensitive))
            rows.push_back(static_cast<int>(row));
    }
    return rows;
}

void CFindBar::Open() {
    // Only now: the clear button's icon is looked up in the icon themes, a cost a start need not pay.
    setClearButtonEnabled(true);
    setPlaceholderText(Q(state_.Extra(dt::XTX_FIND_PLACEHOLDER)));
    setToolTip(Q(state_.Extra(dt::XTX_FIND_TIP)));
    show();
    setFocus(Qt::ShortcutFocusReason);
    selectAll();
    if (!text().isEmpty()) Search();
}

void CFindBar::Close() {
    Frame(false);
    matches_.clear();
    current_ = -1;
    ShowNoMatch(false);
    hide();
    if (CGridCtrl* grid = view_.Grid()) grid->setFocus(Qt::ShortcutFocusReason);
}

void CFindBar::Search() {
    Frame(false);
    matches_ = RowsNamed(state_, text());
    current_ = -1;
    ShowNoMatch(!text().isEmpty() && matches_.empty());
    Frame(true);
    if (!matches_.empty()) GoTo(0);
}

void CFindBar::Reapply() {
    if (!isVisible()) return;
    const int row = CurrentRow();
    matches_ = RowsNamed(state_, text());
    current_ = -1;
    for (size_t i = 0; i < matches_.size(); ++i)
        if (matches_[i] == row) current_ = static_cast<int>(i);
    Frame(true);
}

void CFindBar::Next() {
    if (matches_.empty()) return;
    GoTo(current_ < 0 ? 0 : (current_ + 1) % static_cast<int>(matches_.size()));
}

void CFindBar::Previous() {
    if (matches_.empty()) return;
    const int n = static_cast<int>(matches_.size());
    GoTo(current_ < 0 ? n - 1 : (current_ + n - 1) % n);
}

int CFindBar::CurrentRow() const {
    return current_ >= 0 && current_ < static_cast<int>(matches_.size()) ? matches_[current_] : -1;
}

void CFindBar::GoTo(int index) {
    CGridCtrl* grid = view_.Grid();
    if (!grid || index < 0 || index >= static_cast<int>(matches_.size())) return;
    if (CurrentRow() >= 0) grid->SetItemHighlight(CurrentRow(), kNameColumn, CellHighlight::Match);
    current_ = index;
    const int row = matches_[index];
    grid->SetItemHighlight(row, kNameColumn, CellHighlight::Current);
    grid->SetFocusCell(row, kNameColumn);
    // In the middle, with its neighbours, rather than at the edge.
    grid->scrollTo(grid->model()->index(row, kNameColumn), QAbstractItemView::PositionAtCenter);
    grid->EnsureVisible(row, kNameColumn);
    grid->Refresh();
}

void CFindBar::Frame(bool on) {
    CGridCtrl* grid = view_.Grid();
    if (!grid) return;
    for (int row : matches_) grid->SetItemHighlight(row, kNameColumn, on ? CellHighlight::Match : CellHighlight::None);
    if (on && CurrentRow() >= 0) grid->SetItemHighlight(CurrentRow(), kNameColumn, CellHighlight::Current);
}

void CFindBar::ShowNoMatch(bool noMatch) {
    noMatch_ = noMatch;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, noMatch ? kNoMatchColour : QApplication::palette(this).color(QPalette::Base));
    setPalette(pal);
}

void CFindBar::keyPressEvent(QKeyEvent* e) {
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        shift ? Previous() : Next();
        return;
    case Qt::Key_F3:
        shift ? Previous() : Next();
        return;
    case Qt::Key_Escape:
        Close();
        return;
    default:
        QLineEdit::keyPressEvent(e);
    }
}
