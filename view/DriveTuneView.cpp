#include "DriveTuneView.h"

#include <algorithm>

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <QUndoStack>

#include "BalloonTip.h"
#include "ControllerProfile.h"
#include "EditStep.h"
#include "Fonts.h"
#include "GridPasses.h"
#include "ParamTables.h"
#include "QtText.h"
#include "RangeRules.h"
#include "Teardown.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace {

constexpr unsigned kTitleFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
constexpr unsigned kNameFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

constexpr int kFocNominalRow = dt::kFocRowNominalVoltage;
constexpr int kFocTitleHeight = 40;
constexpr int kFocRowHeight = 42;

const QColor kWhite(255, 255, 255);
const QColor kRefused(255, 0, 0);
const QColor kEditableText(0, 0, 255);
const QColor kReadOnlyText(128, 128, 128);

}  // namespace

// Colours of one section; parity is that of the grid row, or of the group number for group cells.
struct CDriveTuneView::Palette {
    QColor title;
    QColor nameEven, nameOdd;
    QColor valueEven, valueOdd;
    QColor groupEven, groupOdd;

    const QColor& Name(int row) const { return row % 2 ? nameOdd : nameEven; }
    const QColor& Value(int row) const { return row % 2 ? valueOdd : valueEven; }
    const QColor& Group(int group) const { return group % 2 ? groupOdd : groupEven; }
};

namespace {
// The FOC set and the parameter section are green, the function section sage.
const CDriveTuneView::Palette* GreenPalette() {
    static const CDriveTuneView::Palette p{QColor(100, 150, 50),  QColor(225, 230, 210), QColor(200, 210, 160),
                                           QColor(235, 240, 220), QColor(210, 220, 170), QColor(200, 210, 160),
                                           QColor(225, 230, 210)};
    return &p;
}
const CDriveTuneView::Palette* SagePalette() {
    static const CDriveTuneView::Palette p{QColor(70, 110, 90),   QColor(215, 220, 210), QColor(165, 190, 180),
                                           QColor(225, 230, 220), QColor(170, 200, 190), QColor(165, 190, 180),
                                           QColor(215, 220, 210)};
    return &p;
}
}  // namespace

CDriveTuneView::CDriveTuneView(dt::ToolState& state, QWidget* parent)
    : QWidget(parent), state_(state), history_(new QUndoStack(this)) {
    CreateHistoryActions();
}

void CDriveTuneView::CreateHistoryActions() {
    // Window-wide, so they work wherever the focus is; an open editor keeps its own Ctrl+Z.
    auto* undo = new QAction(this);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo->setShortcutContext(Qt::WindowShortcut);
    // An open list of choices would write its own text over what a step puts back.
    connect(undo, &QAction::triggered, this, [this] {
        if (!grid_ || !grid_->IsEditing()) history_->undo();
    });
    addAction(undo);
    auto* redo = new QAction(this);
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redo->setShortcutContext(Qt::WindowShortcut);
    connect(redo, &QAction::triggered, this, [this] {
        if (!grid_ || !grid_->IsEditing()) history_->redo();
    });
    addAction(redo);
}

CDriveTuneView::~CDriveTuneView() {
    // An editor still open closes while the grid goes, and would report to this view.
    DisconnectChildrenFrom(this);
}

void CDriveTuneView::OnInitialUpdate() {
    balloon_ = new BalloonTip();
    balloon_->Create(this);

    titleFont_ = QFont(dt::kArialFace);
    titleFont_.setPointSizeF(13.0);
    gridFont_ = QFont(dt::kArialFace);
    gridFont_.setPointSizeF(11.0);
    valueFontFace_ = QFont(dt::kSongFace);
    valueFontFace_.setPointSizeF(14.0);
    groupFont_ = titleFont_;
    valueFont_ = valueFontFace_;

    if (panelFactory_) panel_ = panelFactory_(this);
    if (panel_) panel_->show();
    BuildGrid();
}

void CDriveTuneView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    OnSize(e->size().width(), e->size().height());
}

void CDriveTuneView::OnSize(int width, int height) {
    if (!grid_) return;
    if (panel_) panel_->setGeometry(0, 0, width + kPanelExtraWidth, kPanelHeight);
    grid_->setGeometry(0, kPanelHeight, width, qMax(0, height - kPanelHeight));
}

void CDriveTuneView::BuildGrid() {
    if (!grid_) {
        grid_ = new CGridCtrl();
        grid_->Create(rect(), this, kGridId, CGridCtrl::GS_DEFAULT);
        grid_->SetNotifyHandler([this](const GridNotify& n) { return OnGridNotify(n); });
        grid_->installEventFilter(this);
        grid_->viewport()->installEventFilter(this);
        // A balloon left standing after a scroll would point at another row.
        for (QScrollBar* bar : {grid_->verticalScrollBar(), grid_->horizontalScrollBar()})
            connect(bar, &QScrollBar::valueChanged, this, [this] {
                if (balloon_) balloon_->Destroy();
            });
        OnSize(width(), height());
    } else {
        grid_->DeleteAllItems();
    }
    grid_->EnableEditing(true);
    grid_->EnableDragAndDrop(false);
    grid_->SetRowResize(false);
    grid_->SetFont(gridFont_);

    const std::vector<dt::GridRow> layout = dt::GridLayout(state_);
    const int rows = static_cast<int>(layout.size());
    grid_->SetRowCount(rows);
    grid_->SetColumnCount(3);
    grid_->SetFixedRowCount(0);
    grid_->SetFixedColumnCount(0);
    grid_->SetColumnWidth(0, 280);
    grid_->SetColumnWidth(1, 300);
    grid_->SetColumnWidth(2, 150);
    // Each table of the layout in its own colours; the FOC table has a shape of its own.
    for (int row = 0; row < rows;) {
        const dt::GridSet set = layout[row].set;
        if (set == dt::GridSet::Parameter) FillTableRows(state_.Tables().ParameterSettings(), row, *GreenPalette());
        else if (set == dt::GridSet::Function) FillTableRows(state_.FunctionSettings(), row, *SagePalette());
        else FillFocRows();
        while (row < rows && layout[row].set == set) ++row;
    }
    state_.sheet.Layout(state_.kind, rows);
    // Steps of other rows or another language cannot be put back onto these.
    ClearHistory();
    RefreshMarks();
}

void CDriveTuneView::SetTitleCell(int row, int col, const std::string& text, const QColor& bk) {
    GV_ITEM item;
    item.row = row;
    item.col = col;
    item.mask = GVIF_TEXT | GVIF_FORMAT;
    item.text = Q(text);
    item.format = kTitleFormat;
    grid_->SetItem(item);
    grid_->SetItemState(row, col, GVIS_READONLY);
    grid_->SetItemFont(row, col, groupFont_);
    grid_->SetItemBkColour(row, col, bk);
}

void CDriveTuneView::SetNameCell(int row, const std::string& name, const QColor& bk) {
    GV_ITEM item;
    item.row = row;
    item.col = 1;
    item.mask = GVIF_TEXT | GVIF_FORMAT;
    item.text = Q(name);
    item.format = kNameFormat;
    grid_->SetItem(item);
    grid_->SetItemState(row, 1, GVIS_READONLY);
    grid_->SetItemBkColour(row, 1, bk);
}

void CDriveTuneView::SetValueCell(int row, int kind, int readOnly, const QColor& bk) {
    grid_->SetItemBkColour(row, 2, bk);
    grid_->SetItemFont(row, 2, valueFont_);
    const bool editable = kind != 0 && readOnly != 1;
    grid_->SetItemState(row, 2, editable ? GVIS_MODIFIED : GVIS_READONLY);
    grid_->SetItemFgColour(row, 2, editable ? kEditableText : kReadOnlyText);
}

void CDriveTuneView::FillTableRows(const dt::ParamTableSet& set, int firstRow, const Palette& palette) {
    const dt::Language lang = state_.language;
    for (int i = 0; i < set.rowCount; ++i) {
        const int row = firstRow + i;
        for (int j = 0; j < set.groupCount; ++j) {
            if (set.GroupFirstRow(j) == i) SetTitleCell(row, 0, set.groups[j].Title(lang), palette.Group(j));
        }
        const dt::ParamDescriptor& d = set.rows[i];
        if (i == 0) {
            GV_ITEM item;
            item.row = row;
            item.col = 0;
            item.mask = GVIF_TEXT | GVIF_FORMAT;
            item.text = Q(d.Name(lang));
            item.format = kTitleFormat;
            grid_->SetItem(item);
            continue;
        }
        SetNameCell(row, d.Name(lang), palette.Name(row));
        SetValueCell(row, d.kind, d.read_only, palette.Value(row));
        if (d.kind >= 100) {
            grid_->SetCellType(row, 2, GridCellKind::Combo);
            if (CGridCellCombo* combo = grid_->GetComboCell(row, 2)) {
                combo->SetOptions(dt::ProfileOf(state_).Choices(state_, row, d));
                combo->SetStyle(CBS_DROPDOWNLIST);
            }
        }
    }
    grid_->SetItemBkColour(firstRow, 0, palette.title);
    grid_->SetItemFgColour(firstRow, 0, kWhite);
    grid_->SetItemState(firstRow, 0, GVIS_READONLY);
    grid_->MergeCells(firstRow, 0, firstRow, 2);
    for (int j = 0; j < set.groupCount; ++j) {
        const int first = firstRow + set.GroupFirstRow(j);
        grid_->MergeCells(first, 0, first + set.groups[j].rows - 1, 0);
    }
}

void CDriveTuneView::FillFocRows() {
    const dt::ParamTables& t = state_.Tables();
    const dt::ParamTableSet& set = t.FocSettings();
    const dt::Language lang = state_.language;
    const Palette& palette = *GreenPalette();
    const int n = set.rowCount;
    grid_->SetColumnWidth(2, 165);

    GV_ITEM title;
    title.row = 0;
    title.col = 0;
    title.mask = GVIF_TEXT | GVIF_FORMAT;
    title.text = Q(set.rows[0].Name(lang));
    title.format = kTitleFormat;
    grid_->SetItem(title);
    grid_->SetRowHeight(0, kFocTitleHeight);

    if (n > 1) SetTitleCell(1, 0, state_.FunctionSettings().Title(lang), QColor(225, 230, 210));
    if (n > 4) SetTitleCell(4, 0, t.ParameterSettings().Title(lang), QColor(200, 210, 160));

    for (int i = 1; i < n; ++i) {
        const dt::ParamDescriptor& d = set.rows[i];
        SetNameCell(i, d.Name(lang), palette.Name(i));
        SetValueCell(i, d.kind, d.read_only, palette.Value(i));
        grid_->SetRowHeight(i, kFocRowHeight);
        if (d.kind >= 100) {
            grid_->SetCellType(i, 2, GridCellKind::Combo);
            if (CGridCellCombo* combo = grid_->GetComboCell(i, 2)) {
                combo->SetOptions(dt::ProfileOf(state_).Choices(state_, i, d));
                combo->SetStyle(CBS_DROPDOWNLIST);
            }
        }
    }
    grid_->SetItemBkColour(0, 0, palette.title);
    grid_->SetItemFgColour(0, 0, kWhite);
    grid_->SetItemState(0, 0, GVIS_READONLY);
    grid_->MergeCells(0, 0, 0, 2);
    if (n > 3) grid_->MergeCells(1, 0, 3, 0);
    if (n > 4) grid_->MergeCells(4, 0, n - 1, 0);
}

void CDriveTuneView::SetValueText(int row, const std::string& text) {
    grid_->SetItemText(row, 2, Q(dt::IndentValue(text)));
}

void CDriveTuneView::ShowValues() {
    if (!grid_) return;
    const std::vector<dt::GridRow> layout = dt::GridLayout(state_);
    for (size_t row = 0; row < layout.size(); ++row) {
        if (layout[row].record == 0 || layout[row].desc->kind == 0) continue;
        SetValueText(static_cast<int>(row), state_.sheet.Text(static_cast<int>(row)));
    }
    RefreshMarks();
}

// An accepted value cell: its palette's value colour for the row's parity; in the FOC set the
// nominal voltage row has the odd colour and every other row the even one.
QColor CDriveTuneView::AcceptedColour(dt::GridSet set, int row) {
    if (set == dt::GridSet::Foc) {
        const Palette& green = *GreenPalette();
        return row == kFocNominalRow ? green.valueOdd : green.valueEven;
    }
    return (set == dt::GridSet::Function ? SagePalette() : GreenPalette())->Value(row);
}

void CDriveTuneView::ShowCheck(const dt::ValidationResult& r) {
    if (!grid_) return;
    const std::vector<dt::GridRow> layout = dt::GridLayout(state_);
    for (int row : r.refusedRows) grid_->SetItemBkColour(row, 2, kRefused);
    for (int row : r.acceptedRows)
        if (row >= 0 && row < static_cast<int>(layout.size()))
            grid_->SetItemBkColour(row, 2, AcceptedColour(layout[row].set, row));
    grid_->Refresh();
    if (!r.refused) return;
    if (messageSink_) messageSink_(r.message, dt::MessageKind::Error);
    // The box has closed: the first value it names is where the fixing starts.
    if (!r.refusedRows.empty()) GoToRow(r.refusedRows.front());
}

void CDriveTuneView::GoToGroup(const std::string& title) {
    if (!grid_) return;
    int row = -1;
    for (const dt::GridHeading& h : dt::ProfileOf(state_).Headings(state_)) {
        if (h.text != title) continue;
        row = h.row;
        break;
    }
    if (row < 0 || row >= grid_->GetRowCount()) return;
    grid_->SetFocusCell(row, 0);
    // The topic's heading at the top, its rows below it.
    grid_->ScrollToTop(row, 0);
}

bool CDriveTuneView::GoToRow(int row) {
    if (!IsValueRow(row)) return false;
    grid_->SetFocusCell(row, 2);
    grid_->EnsureVisible(row, 2);
    grid_->setFocus(Qt::OtherFocusReason);
    return true;
}

void CDriveTuneView::SetPanelEnabled(bool enable) {
    if (panelBusy_) panelBusy_(enable);
}

void CDriveTuneView::OnComboSelChange(int row, int col, const std::string& text) {
    // Choices live in the value column only.
    if (!grid_ || col != 2 || row < 0 || row >= state_.sheet.Rows()) return;
    CEditStep* step = CellStep(row, [this, row, text] { ApplyChoice(row, text); });
    // Every move through an open list changes the cells; the list as a whole is one step.
    if (grid_->IsEditing()) step->JoinMoves(editOpening_, row);
    Push(step);
}

void CDriveTuneView::ApplyChoice(int row, const std::string& text) {
    std::vector<dt::CellWrite> writes = dt::ProfileOf(state_).ChoiceWrites(state_, row, text);
    writes.push_back({row, text});
    PutTexts(writes);
}

void CDriveTuneView::PutTexts(const std::vector<dt::CellWrite>& writes) {
    std::vector<int> rows;
    for (const dt::CellWrite& w : writes) {
        state_.sheet.SetCell(w.row, w.text);
        rows.push_back(w.row);
    }
    dt::ProfileOf(state_).FollowSheet(state_, rows);
}

void CDriveTuneView::EditCell(int row, const std::string& text) {
    if (row < 0 || row >= state_.sheet.Rows()) return;
    if (dt::TrimLeft(text) == state_.sheet.Text(row)) {
        ShowValues();
        return;
    }
    Push(CellStep(row, [this, row, text] { PutTexts({{row, text}}); }));
}

void CDriveTuneView::OnGridClick(int row, int col) {
    if (col != 1 || row < 0) return;
    const std::vector<dt::GridRow> layout = dt::GridLayout(state_);
    if (row >= static_cast<int>(layout.size())) return;
    const dt::ParamDescriptor& d = *layout[row].desc;
    const std::string& hint = d.Hint(state_.language);
    if (hint.empty()) return;
    lastHint_ = Q(d.Name(state_.language) + ":\n\n" + hint);
    if (const QString allowed = AllowedLine(row); !allowed.isEmpty()) lastHint_ += "\n" + allowed;
    if (state_.sheet.IsChanged(row))
        lastHint_ += "\n" + Q(dt::FillIn(state_.Extra(dt::XTX_CONTROLLER_VALUE), *state_.sheet.Baseline(row)));
    if (balloon_) balloon_->Show(lastHint_);
}

int CDriveTuneView::OnGridNotify(const GridNotify& n) {
    if (n.code == GVN_COMBOSELCHANGE) OnComboSelChange(n.row, n.col, n.text.toStdString());
    else if (n.code == GVN_CLICK) OnGridClick(n.row, n.col);
    else if (n.code == GVN_BEGINLABELEDIT) {
        ++editOpening_;
        OnBeginEdit(n.row);
    } else if (n.code == GVN_SELCHANGED && !grid_->IsEditing()) TellCurrentRange();
    else if (n.code == GVN_ENDLABELEDIT && n.col == 2) EditCell(n.row, grid_->GetItemText(n.row, 2).toStdString());
    return 0;
}

void CDriveTuneView::RefreshMarks() {
    if (!grid_) return;
    for (int row = 0; row < grid_->GetRowCount(); ++row) grid_->SetItemMarked(row, 2, state_.sheet.IsChanged(row));
    MarkOutOfRange();
    grid_->Refresh();
    if (marksListener_) marksListener_(ChangedCount());
    if (!grid_->IsEditing()) TellCurrentRange();
}

void CDriveTuneView::MarkOutOfRange() {
    outOfRange_ = dt::OutOfRangeRowsNow(state_);
    const std::vector<dt::GridRow> layout = dt::GridLayout(state_);
    for (int row = 0; row < grid_->GetRowCount(); ++row) {
        const bool out = IsOutOfRange(row);
        grid_->SetItemWarned(row, 2, out);
        // A refusal's red goes once the row's value passes again.
        if (!out && grid_->GetItemBkColour(row, 2) == kRefused && row < static_cast<int>(layout.size()))
            grid_->SetItemBkColour(row, 2, AcceptedColour(layout[row].set, row));
    }
}

bool CDriveTuneView::IsOutOfRange(int row) const {
    return std::find(outOfRange_.begin(), outOfRange_.end(), row) != outOfRange_.end();
}

void CDriveTuneView::TellCurrentRange() {
    if (!rangeListener_) return;
    const int row = grid_->GetFocusCell().row;
    if (IsOutOfRange(row)) rangeListener_(AllowedLine(row), true);
    else rangeListener_(QString(), false);
}

int CDriveTuneView::ChangedCount() const { return state_.sheet.ChangedCount(); }

void CDriveTuneView::ClearHistory() { history_->clear(); }

CEditStep* CDriveTuneView::CellStep(int row, std::function<void()> work) {
    const auto describe = [this, row](const SheetSnapshot& before, const SheetSnapshot& after) {
        return ChangeText(row, before.texts[row], after.texts[row]);
    };
    return new CEditStep(state_, std::move(work), describe, [this] { ShowValues(); }, false);
}

CEditStep* CDriveTuneView::NamedStep(const QString& text, std::function<void()> work, bool withImage) {
    const auto describe = [text](const SheetSnapshot&, const SheetSnapshot&) { return text; };
    return new CEditStep(state_, std::move(work), describe, [this] { ShowValues(); }, withImage);
}

void CDriveTuneView::Push(CEditStep* step) {
    const int rows = state_.sheet.Rows();
    history_->push(step);
    // The rows were laid out anew (another kind of controller): no step fits them.
    if (state_.sheet.Rows() != rows) ClearHistory();
}

// "Rated current(A): 30 → 35", the name as the grid shows it.
QString CDriveTuneView::ChangeText(int row, const std::string& before, const std::string& after) const {
    const std::vector<dt::GridRow> layout = dt::GridLayout(state_);
    const std::string name = row < static_cast<int>(layout.size()) ? layout[row].desc->Name(state_.language) : "";
    const auto shown = [this](const std::string& text) {
        return text.empty() ? state_.Extra(dt::XTX_STEP_EMPTY) : text;
    };
    const std::string values = dt::FillIn(state_.Extra(dt::XTX_STEP_VALUES), shown(before), shown(after));
    return Q(dt::FillIn(state_.Extra(dt::XTX_STEP_CHANGE), name, values));
}

void CDriveTuneView::RecordImport(const std::function<void()>& import, const std::string& fileName) {
    Push(NamedStep(Q(dt::FillIn(state_.Extra(dt::XTX_STEP_IMPORT), fileName)), import, true));
}

bool CDriveTuneView::RevertRow(int row) {
    const std::string* controller = state_.sheet.Baseline(row);
    if (!controller || !state_.sheet.IsChanged(row)) return false;
    EditCell(row, *controller);
    return true;
}

bool CDriveTuneView::RevertAll() {
    const std::vector<int> rows = state_.sheet.ChangedRows();
    if (rows.empty()) return false;
    std::vector<dt::CellWrite> writes;
    for (int row : rows) writes.push_back({row, *state_.sheet.Baseline(row)});
    Push(NamedStep(Q(state_.Extra(dt::XTX_STEP_REVERT_ALL)), [this, writes] { PutTexts(writes); }, false));
    return true;
}

QString CDriveTuneView::AllowedLine(int row) const {
    const std::string range = dt::AllowedRangeNow(state_, row);
    return range.empty() ? QString() : Q(dt::FillIn(state_.Extra(dt::XTX_ALLOWED_RANGE), range));
}

void CDriveTuneView::OnBeginEdit(int row) {
    if (!rangeListener_) return;
    rangeListener_(AllowedLine(row), IsOutOfRange(row));
    // The editor comes up after this notification and goes (Enter, Esc, focus lost) later.
    QTimer::singleShot(0, this, [this] {
        auto clear = [this] {
            if (!rangeListener_ || (grid_ && grid_->IsEditing())) return;
            if (grid_) TellCurrentRange();
            else rangeListener_(QString(), false);
        };
        if (QWidget* editor = grid_ ? grid_->InPlaceEditor() : nullptr)
            connect(editor, &QObject::destroyed, this, clear);
        else
            clear();
    });
}

bool CDriveTuneView::IsValueRow(int row) const {
    if (!grid_ || row < 0 || row >= grid_->GetRowCount()) return false;
    const std::vector<dt::GridRow> layout = dt::GridLayout(state_);
    if (row >= static_cast<int>(layout.size())) return false;
    return layout[row].record != 0 && layout[row].desc->kind != 0;
}

QMenu* CDriveTuneView::CreateContextMenu(int row) {
    if (!IsValueRow(row)) return nullptr;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("valueCellMenu"));
    const auto named = [this](dt::XtxId bare, dt::XtxId withStep, const QString& step) {
        return step.isEmpty() ? Q(state_.Extra(bare)) : Q(dt::FillIn(state_.Extra(withStep), step.toStdString()));
    };
    QAction* undo = menu->addAction(named(dt::XTX_MENU_UNDO, dt::XTX_MENU_UNDO_STEP, history_->undoText()), history_,
                                    &QUndoStack::undo);
    undo->setEnabled(history_->canUndo());
    QAction* redo = menu->addAction(named(dt::XTX_MENU_REDO, dt::XTX_MENU_REDO_STEP, history_->redoText()), history_,
                                    &QUndoStack::redo);
    redo->setEnabled(history_->canRedo());
    if (state_.sheet.IsChanged(row)) {
        const QString text = Q(dt::FillIn(state_.Extra(dt::XTX_REVERT_ROW), *state_.sheet.Baseline(row)));
        menu->addAction(text, this, [this, row] { RevertRow(row); });
    }
    QAction* all = menu->addAction(Q(state_.Extra(dt::XTX_REVERT_ALL)), this, [this] { RevertAll(); });
    all->setEnabled(state_.sheet.ChangedCount() > 0);
    return menu;
}

void CDriveTuneView::PopUpContextMenu(int row, const QPoint& globalPos) {
    QMenu* menu = CreateContextMenu(row);

    if (!menu) return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

bool CDriveTuneView::eventFilter(QObject* watched, QEvent* e) {
    if (!grid_ || (watched != grid_ && watched != grid_->viewport())) return QWidget::eventFilter(watched, e);
    const auto atFocus = [this] {
        const CCellID cell = grid_->GetFocusCell();
        grid_->EnsureVisible(cell.row, 2);
        PopUpContextMenu(cell.row, grid_->viewport()->mapToGlobal(grid_->CellRect(cell.row, 2).center()));
    };
    if (e->type() == QEvent::KeyPress) {
        // The Menu key and Shift+F10; taken here, the key brings no second menu event.
        const auto* key = static_cast<QKeyEvent*>(e);
        const bool menuKey = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if ((menuKey || shiftF10) && !grid_->IsEditing()) {
            atFocus();
            return true;
        }
    } else if (e->type() == QEvent::ContextMenu) {
        const auto* menuEvent = static_cast<QContextMenuEvent*>(e);
        if (menuEvent->reason() == QContextMenuEvent::Mouse) {
            const QPoint at = grid_->viewport()->mapFromGlobal(menuEvent->globalPos());
            const QModelIndex index = grid_->indexAt(at);
            if (index.isValid() && index.column() == 2) PopUpContextMenu(index.row(), menuEvent->globalPos());
        } else {
            atFocus();
        }
        return true;
    }
    return QWidget::eventFilter(watched, e);
}
