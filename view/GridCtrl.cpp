#include "GridCtrl.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "GridInPlaceEdit.h"

// Table model over the grid's own cells: the view only needs counts and, for
// accessibility, the texts. Painting goes through CGridDelegate.
class CGridModel : public QAbstractTableModel {
public:
    explicit CGridModel(CGridCtrl* grid) : QAbstractTableModel(grid), grid_(grid) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : grid_->GetRowCount();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : grid_->GetColumnCount();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const CGridCell* c = grid_->Cell(index.row(), index.column());
        if (!c)
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return c->GetText();
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
    }

    void InsertRows(int first, int last, const std::function<void()>& change)
    {
        beginInsertRows(QModelIndex(), first, last);
        change();
        endInsertRows();
    }
    void RemoveRows(int first, int last, const std::function<void()>& change)
    {
        beginRemoveRows(QModelIndex(), first, last);
        change();
        endRemoveRows();
    }
    void InsertColumns(int first, int last, const std::function<void()>& change)
    {
        beginInsertColumns(QModelIndex(), first, last);
        change();
        endInsertColumns();
    }
    void RemoveColumns(int first, int last, const std::function<void()>& change)
    {
        beginRemoveColumns(QModelIndex(), first, last);
        change();
        endRemoveColumns();
    }
    void Reset(const std::function<void()>& change)
    {
        beginResetModel();
        change();
        endResetModel();
    }

private:
    CGridCtrl* grid_;
};

class CGridDelegate : public QStyledItemDelegate {
public:
    explicit CGridDelegate(CGridCtrl* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        grid_->DrawCell(p, option.rect, index.row(), index.column());
    }

private:
    CGridCtrl* grid_;
};

namespace {

bool IsLeadingBlank(QChar ch)
{
    const char16_t u = ch.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\v' || u == '\f';
}

Qt::Alignment AlignmentOf(unsigned format)
{
    Qt::Alignment a = Qt::AlignLeft;
    if (format & DT_RIGHT)
        a = Qt::AlignRight;
    else if (format & DT_CENTER)
        a = Qt::AlignHCenter;
    if (format & DT_VCENTER)
        a |= Qt::AlignVCenter;
    else if (format & DT_BOTTOM)
        a |= Qt::AlignBottom;
    else
        a |= Qt::AlignTop;
    return a;
}

constexpr int kDividerSlack = 3;

}  // namespace

CGridCtrl::CGridCtrl(int rows, int cols, int fixedRows, int fixedCols, QWidget* parent) : QTableView(parent)
{
    model_ = new CGridModel(this);
    setModel(model_);
    setItemDelegate(new CGridDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setDragEnabled(false);
    setAcceptDrops(false);
    setAutoScroll(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &CGridCtrl::FollowEditor);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CGridCtrl::FollowEditor);

    SetFont(font());
    SetRowCount(rows);
    SetColumnCount(cols);
    SetFixedRowCount(fixedRows);
    SetFixedColumnCount(fixedCols);
}

CGridCtrl::~CGridCtrl()
{
    AbortEdit();
}

bool CGridCtrl::Create(const QRect& rect, QWidget* parent, int id, unsigned style)
{
    id_ = id;
    if (parent && parentWidget() != parent)
        setParent(parent);
    setGeometry(rect);
    setFrameShape((style & GS_BORDER) ? QFrame::StyledPanel : QFrame::NoFrame);
    setFocusPolicy((style & GS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    setVisible(style & GS_VISIBLE);
    return true;
}

int CGridCtrl::Notify(int code, int row, int col, const QString& text)
{
    if (!notify_)
        return 0;
    GridNotify n;
    n.sender = this;
    n.id = id_;
    n.code = code;
    n.row = row;
    n.col = col;
    n.text = text;
    return notify_(n);
}

// ---- structure ---------------------------------------------------------------------------

bool CGridCtrl::DeleteAllItems()
{
    AbortEdit();
    model_->Reset([this] {
        cells_.clear();
        cols_ = 0;
        fixedRows_ = 0;
        fixedCols_ = 0;
        rowHeights_.clear();
        colWidths_.clear();
    });
    clearSpans();
    focus_ = CCellID();
    pressCell_ = CCellID();
    prepareEdit_ = false;
    resizingCol_ = -1;
    viewport()->update();
    return true;
}

bool CGridCtrl::SetRowCount(int rows)
{
    if (rows < 0)
        return false;
    const int old = GetRowCount();
    if (rows == old)
        return true;
    if (editingCell_.IsValid() && editingCell_.row >= rows)
        AbortEdit();
    if (rows > old) {
        model_->InsertRows(old, rows - 1, [&] {
            cells_.resize(rows);
            for (int r = old; r < rows; ++r) {
                cells_[r].resize(cols_);
                for (auto& c : cells_[r])
                    c = std::make_unique<CGridCell>();
            }
            rowHeights_.resize(rows, 0);
        });
    } else {
        DropMergesOutside(rows, cols_);
        model_->RemoveRows(rows, old - 1, [&] {
            cells_.resize(rows);
            rowHeights_.resize(rows);
        });
    }
    fixedRows_ = qMin(fixedRows_, rows);
    if (focus_.IsValid() && focus_.row >= rows)
        focus_ = CCellID();
    ResetFixedStates();
    ApplySpans();
    ApplySizes();
    return true;
}

bool CGridCtrl::SetColumnCount(int cols)
{
    if (cols < 0)
        return false;
    const int old = cols_;
    if (cols == old)
        return true;
    if (editingCell_.IsValid() && editingCell_.col >= cols)
        AbortEdit();
    if (cols > old) {
        model_->InsertColumns(old, cols - 1, [&] {
            for (auto& row : cells_) {
                row.resize(cols);
                for (int c = old; c < cols; ++c)
                    row[c] = std::make_unique<CGridCell>();
            }
            cols_ = cols;
            colWidths_.resize(cols, 0);
        });
    } else {
        DropMergesOutside(GetRowCount(), cols);
        model_->RemoveColumns(cols, old - 1, [&] {
            for (auto& row : cells_)
                row.resize(cols);
            cols_ = cols;
            colWidths_.resize(cols);
        });
    }
    fixedCols_ = qMin(fixedCols_, cols);
    if (focus_.IsValid() && focus_.col >= cols)
        focus_ = CCellID();
    ResetFixedStates();
    ApplySpans();
    ApplySizes();
    return true;
}

bool CGridCtrl::SetFixedRowCount(int rows)
{
    if (rows < 0)
        return false;
    if (rows > GetRowCount())
        SetRowCount(rows);
    fixedRows_ = rows;
    ResetFixedStates();
    if (focus_.IsValid() && focus_.row < fixedRows_)
        SetFocusCell(focus_.row, focus_.col);
    viewport()->update();
    return true;
}

bool CGridCtrl::SetFixedColumnCount(int cols)
{
    if (cols < 0)
        return false;
    if (cols > cols_)
        SetColumnCount(cols);
    fixedCols_ = cols;
    ResetFixedStates();
    if (focus_.IsValid() && focus_.col < fixedCols_)
        SetFocusCell(focus_.row, focus_.col);
    viewport()->update();
    return true;
}

void CGridCtrl::ResetFixedStates()
{
    const unsigned fixedBits = GVIS_FIXED | GVIS_FIXEDROW | GVIS_FIXEDCOL;
    for (int r = 0; r < GetRowCount(); ++r) {
        for (int c = 0; c < cols_; ++c) {
            unsigned s = cells_[r][c]->state_ & ~fixedBits;
            if (r < fixedRows_)
                s |= GVIS_FIXED | GVIS_FIXEDROW;
            if (c < fixedCols_)
                s |= GVIS_FIXED | GVIS_FIXEDCOL;
            cells_[r][c]->state_ = s;
        }
    }
}

// Merges reaching past the new size are undone, before the cells go.
void CGridCtrl::DropMergesOutside(int rows, int cols)
{
    for (int r = 0; r < GetRowCount(); ++r) {
        for (int c = 0; c < cols_; ++c) {
            const CGridCell* cell = cells_[r][c].get();
            if (cell->IsMergeTopLeft()) {
                const QRect m = cell->mergeRange_;
                if (m.bottom() >= rows || m.right() >= cols)
                    UnMergeCells(r, c);
            }
        }
    }
}

int CGridCtrl::GetDefCellHeight() const
{
    return QFontMetrics(font()).height() + 2 * static_cast<int>(CGridCell::kDefaultMargin);
}

void CGridCtrl::ApplySizes()
{
    const QFontMetrics fm(font());
    const int defW = fm.averageCharWidth() * 12 + 2 * static_cast<int>(CGridCell::kDefaultMargin);
    verticalHeader()->setDefaultSectionSize(GetDefCellHeight());
    horizontalHeader()->setDefaultSectionSize(defW);
    for (int r = 0; r < GetRowCount(); ++r)
        verticalHeader()->resizeSection(r, rowHeights_[r] > 0 ? rowHeights_[r] : GetDefCellHeight());
    for (int c = 0; c < cols_; ++c)
        horizontalHeader()->resizeSection(c, colWidths_[c] > 0 ? colWidths_[c] : defW);
}

bool CGridCtrl::SetColumnWidth(int col, int width)
{
    if (col < 0 || col >= cols_ || width < 0)
        return false;
    colWidths_[col] = width;
    horizontalHeader()->resizeSection(col, width);
    FollowEditor();
    return true;
}

int CGridCtrl::GetColumnWidth(int col) const
{
    return (col < 0 || col >= cols_) ? 0 : horizontalHeader()->sectionSize(col);
}

bool CGridCtrl::SetRowHeight(int row, int height)
{
    if (row < 0 || row >= GetRowCount() || height < 0)
        return false;
    rowHeights_[row] = height;
    verticalHeader()->resizeSection(row, height);
    FollowEditor();
    return true;
}

int CGridCtrl::GetRowHeight(int row) const
{
    return (row < 0 || row >= GetRowCount()) ? 0 : verticalHeader()->sectionSize(row);
}

void CGridCtrl::SetFont(const QFont& f)
{
    setFont(f);
    ApplySizes();
    viewport()->update();
}

// ---- cells -------------------------------------------------------------------------------

bool CGridCtrl::IsValid(int row, int col) const
{
    return row >= 0 && col >= 0 && row < GetRowCount() && col < cols_;
}

CGridCell* CGridCtrl::Cell(int row, int col) const
{
    return IsValid(row, col) ? cells_[row][col].get() : nullptr;
}

CGridCell* CGridCtrl::GetCell(int row, int col) const
{
    return Cell(row, col);
}

CGridCellCombo* CGridCtrl::GetComboCell(int row, int col) const
{
    return dynamic_cast<CGridCellCombo*>(Cell(row, col));
}

bool CGridCtrl::SetItem(const GV_ITEM& item)
{
    CGridCell* c = Cell(item.row, item.col);
    if (!c)
        return false;
    if (item.mask & GVIF_TEXT)
        c->SetText(item.text);
    if (item.mask & GVIF_IMAGE)
        c->SetImage(item.image);
    if (item.mask & GVIF_PARAM)
        c->SetData(item.param);
    if (item.mask & GVIF_STATE)
        c->SetState(item.state);
    if (item.mask & GVIF_BKCLR)
        c->SetBackClr(item.bkColour);
    if (item.mask & GVIF_FGCLR)
        c->SetTextClr(item.fgColour);
    if (item.mask & GVIF_FORMAT)
        c->SetFormat(item.format);
    if (item.mask & GVIF_FONT)
        c->SetFont(&item.font);
    if (item.mask & GVIF_MARGIN)
        c->SetMargin(item.margin);
    viewport()->update();
    return true;
}

bool CGridCtrl::GetItem(GV_ITEM& item) const
{
    const CGridCell* c = Cell(item.row, item.col);
    if (!c)
        return false;
    item.text = c->GetText();
    item.image = c->GetImage();
    item.param = c->GetData();
    item.state = c->GetState();
    item.bkColour = c->GetBackClr();
    item.fgColour = c->GetTextClr();
    item.format = c->GetFormat();
    item.font = c->GetFont() ? *c->GetFont() : font();
    item.margin = c->GetMargin();
    return true;
}

bool CGridCtrl::SetItemText(int row, int col, const QString& text)
{
    CGridCell* c = Cell(row, col);
    if (!c)
        return false;
    c->SetText(text);
    c->SetState(c->GetState() | GVIS_MODIFIED);
    viewport()->update();
    return true;
}

QString CGridCtrl::GetItemText(int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    if (!c)
        return QString();
    const QString& t = c->GetText();
    int i = 0;
    while (i < t.size() && IsLeadingBlank(t[i]))
        ++i;
    return t.mid(i);
}

bool CGridCtrl::SetItemState(int row, int col, unsigned state)
{
    CGridCell* c = Cell(row, col);
    if (!c)
        return false;
    c->SetState(state);
    viewport()->update();
    return true;
}

unsigned CGridCtrl::GetItemState(int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    return c ? c->GetState() : 0;
}

bool CGridCtrl::SetItemFormat(int row, int col, unsigned format)
{
    CGridCell* c = Cell(row, col);
    if (!c)
        return false;
    c->SetFormat(format);
    viewport()->update();
    return true;
}

unsigned CGridCtrl::GetItemFormat(int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    return c ? c->GetFormat() : 0;
}

bool CGridCtrl::SetItemBkColour(int row, int col, const QColor& colour)
{
    CGridCell* c = Cell(row, col);
    if (!c)
        return false;
    c->SetBackClr(colour);
    viewport()->update();
    return true;
}

bool CGridCtrl::SetItemFgColour(int row, int col, const QColor& colour)
{
    CGridCell* c = Cell(row, col);
    if (!c)
        return false;
    c->SetTextClr(colour);
    viewport()->update();
    return true;
}

QColor CGridCtrl::GetItemBkColour(int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    return c ? c->GetBackClr() : QColor();
}

QColor CGridCtrl::GetItemFgColour(int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    return c ? c->GetTextClr() : QColor();
}

bool CGridCtrl::SetItemFont(int row, int col, const QFont& f)
{
    CGridCell* c = Cell(row, col);
    if (!c)
        return false;
    c->SetFont(&f);
    viewport()->update();
    return true;
}

bool CGridCtrl::SetItemMarked(int row, int col, bool marked)
{
    CGridCell* c = Cell(row, col);
    if (c)
        c->SetMarked(marked);
    viewport()->update();
    return c != nullptr;
}

bool CGridCtrl::IsItemMarked(int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    return c && c->IsMarked();
}

bool CGridCtrl::SetItemWarned(int row, int col, bool warned)
{
    CGridCell* c = Cell(row, col);
    if (c)
        c->SetWarned(warned);
    viewport()->update();
    return c != nullptr;
}

bool CGridCtrl::IsItemWarned(int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    return c && c->IsWarned();
}

bool CGridCtrl::SetItemHighlight(int row, int col, CellHighlight highlight)
{
    CGridCell* c = Cell(row, col);
    if (c)
        c->SetHighlight(highlight);
    viewport()->update();
    return c != nullptr;
}

CellHighlight CGridCtrl::GetItemHighlight(int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    return c ? c->GetHighlight() : CellHighlight::None;
}

const QFont* CGridCtrl::GetItemFont(int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    return c ? c->GetFont() : nullptr;
}

bool CGridCtrl::SetCellType(int row, int col, GridCellKind kind)
{
    CGridCell* old = Cell(row, col);
    if (!old)
        return false;
    if (editingCell_ == CCellID{row, col})
        AbortEdit();
    std::unique_ptr<CGridCell> cell;
    if (kind == GridCellKind::Combo)
        cell = std::make_unique<CGridCellCombo>();
    else
        cell = std::make_unique<CGridCell>();
    cell->CopyCommon(*old);
    cells_[row][col] = std::move(cell);
    viewport()->update();
    return true;
}

// ---- merges ------------------------------------------------------------------------------

CCellID CGridCtrl::GetMergedTopLeft(int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    if (!c)
        return CCellID();
    if (c->mergedTo_.IsValid())
        return c->mergedTo_;
    return CCellID{row, col};
}

bool CGridCtrl::UnMergeCells(int row, int col)
{
    const CCellID tl = GetMergedTopLeft(row, col);
    CGridCell* top = Cell(tl.row, tl.col);
    if (!top || !top->IsMergeTopLeft())
        return false;
    const QRect m = top->mergeRange_;
    for (int r = m.top(); r <= m.bottom(); ++r)
        for (int c = m.left(); c <= m.right(); ++c)
            if (CGridCell* cell = Cell(r, c)) {
                cell->mergeRange_ = QRect();
                cell->mergedTo_ = CCellID();
            }
    if (m.bottom() < model_->rowCount() && m.right() < model_->columnCount())
        setSpan(tl.row, tl.col, 1, 1);
    viewport()->update();
    return true;
}

bool CGridCtrl::MergeCells(int firstRow, int firstCol, int lastRow, int lastCol)
{
    if (!IsValid(firstRow, firstCol) || !IsValid(lastRow, lastCol))
        return false;
    const int r1 = qMin(firstRow, lastRow), r2 = qMax(firstRow, lastRow);
    const int c1 = qMin(firstCol, lastCol), c2 = qMax(firstCol, lastCol);
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            UnMergeCells(r, c);
    if (r1 == r2 && c1 == c2)
        return true;
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            cells_[r][c]->mergedTo_ = (r == r1 && c == c1) ? CCellID() : CCellID{r1, c1};
    cells_[r1][c1]->mergeRange_ = QRect(QPoint(c1, r1), QPoint(c2, r2));
    setSpan(r1, c1, r2 - r1 + 1, c2 - c1 + 1);
    if (focus_.IsValid() && focus_.row >= r1 && focus_.row <= r2 && focus_.col >= c1 && focus_.col <= c2) {
        Cell(focus_.row, focus_.col)->state_ &= ~GVIS_FOCUSED;
        focus_ = CCellID{r1, c1};
        cells_[r1][c1]->state_ |= GVIS_FOCUSED;
    }
    viewport()->update();
    return true;
}

void CGridCtrl::ApplySpans()
{
    clearSpans();
    for (int r = 0; r < GetRowCount(); ++r)
        for (int c = 0; c < cols_; ++c) {
            const QRect m = cells_[r][c]->mergeRange_;
            if (m.isValid())
                setSpan(r, c, m.height(), m.width());
        }
}

// ---- focus, visibility, drawing ----------------------------------------------------------

CCellID CGridCtrl::SetFocusCell(int row, int col)
{
    const CCellID prev = focus_;
    if (row == -1 && col == -1) {
        if (CGridCell* c = Cell(prev.row, prev.col))
            c->state_ &= ~GVIS_FOCUSED;
        focus_ = CCellID();
        viewport()->update();
        return prev;
    }
    if (!IsValid(row, col))
        return prev;
    row = qMax(row, fixedRows_);
    col = qMax(col, fixedCols_);
    if (!IsValid(row, col))
        return prev;
    const CCellID to = GetMergedTopLeft(row, col);
    if (to == focus_)
        return prev;
    if (CGridCell* c = Cell(prev.row, prev.col))
        c->state_ &= ~GVIS_FOCUSED;
    focus_ = to;
    cells_[to.row][to.col]->state_ |= GVIS_FOCUSED;
    selectionModel()->setCurrentIndex(model_->index(to.row, to.col), QItemSelectionModel::NoUpdate);
    viewport()->update();
    return prev;
}

bool CGridCtrl::EnsureVisible(int row, int col)
{
    const CCellID tl = GetMergedTopLeft(row, col);
    if (!tl.IsValid())
        return false;
    // Rows added a moment ago are not in the scroll range until the layout has run.
    executeDelayedItemsLayout();
    updateGeometries();
    scrollTo(model_->index(tl.row, tl.col), QAbstractItemView::EnsureVisible);
    return true;
}

bool CGridCtrl::ScrollToTop(int row, int col)
{
    const CCellID tl = GetMergedTopLeft(row, col);
    if (!tl.IsValid())
        return false;
    executeDelayedItemsLayout();
    updateGeometries();
    scrollTo(model_->index(tl.row, tl.col), QAbstractItemView::PositionAtTop);
    return true;
}

QRect CGridCtrl::CellRect(int row, int col) const
{
    const CCellID tl = GetMergedTopLeft(row, col);
    if (!tl.IsValid())
        return QRect();
    return visualRect(model_->index(tl.row, tl.col));
}

bool CGridCtrl::IsCellEditable(int row, int col) const
{
    const CCellID tl = GetMergedTopLeft(row, col);
    const CGridCell* c = Cell(tl.row, tl.col);
    if (!c || !editingAllowed_)
        return false;
    if (tl.row < fixedRows_ || tl.col < fixedCols_)
        return false;
    return !(c->GetState() & GVIS_READONLY);
}

void CGridCtrl::DrawOverlays(QPainter* p, const QRect& rect, const CGridCell& c) const
{
    if (c.GetHighlight() != CellHighlight::None) {
        const bool current = c.GetHighlight() == CellHighlight::Current;
        const int width = current ? kCurrentWidth : kHighlightWidth;
        // A see-through wash: the cell's own colour still shows beneath it.
        if (current)
            p->fillRect(rect, kCurrentWash);
        QPen pen(current ? kCurrentFrame : kHighlightFrame);
        pen.setWidth(width);
        pen.setJoinStyle(Qt::MiterJoin);
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        const int in = width / 2;
        p->drawRect(rect.adjusted(in + 1, in + 1, -in - 1, -in - 1));
    }
    if (c.IsWarned())
        p->fillRect(QRect(rect.topLeft(), QSize(kWarnBarWidth, rect.height())), kWarnColour);
    if (c.IsMarked()) {
        // A triangle in the top right corner, apart from the text at the left.
        const QPoint corner = rect.topRight();
        const QPoint tri[3] = {corner, corner - QPoint(kMarkerSize, 0), corner + QPoint(0, kMarkerSize)};
        p->setPen(Qt::NoPen);
        p->setBrush(kMarkerColour);
        p->drawPolygon(tri, 3);
    }
}

void CGridCtrl::DrawCell(QPainter* p, const QRect& rect, int row, int col) const
{
    const CGridCell* c = Cell(row, col);
    if (!c)
        return;
    const bool fixed = row < fixedRows_ || col < fixedCols_;
    const bool isFocus = focus_ == CCellID{row, col};
    QColor bk = c->GetBackClr().isValid() ? c->GetBackClr()
                                            : palette().color(fixed ? QPalette::Button : QPalette::Base);
    QColor fg = c->GetTextClr().isValid() ? c->GetTextClr()
                                            : palette().color(fixed ? QPalette::ButtonText : QPalette::Text);
    if (!isFocus && (c->GetState() & (GVIS_SELECTED | GVIS_DROPHILITED))) {
        bk = palette().color(QPalette::Highlight);
        fg = palette().color(QPalette::HighlightedText);
    }
    p->save();
    p->fillRect(rect, bk);
    QFont f = c->GetFont() ? *c->GetFont() : font();
    if (c->IsMarked())
        f.setBold(true);
    p->setFont(f);
    p->setPen(fg);
    const unsigned format = c->GetFormat();
    const int margin = static_cast<int>(c->GetMargin());
    const QRect textRect = rect.adjusted(margin, 0, -margin, 0);
    int flags = static_cast<int>(AlignmentOf(format));
    if (!(format & DT_NOPREFIX))
        flags |= Qt::TextShowMnemonic;
    QString text = c->GetText();
    if (format & DT_SINGLELINE || !(format & DT_WORDBREAK)) {
        if (format & DT_SINGLELINE) {
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            text.replace(QLatin1Char('\r'), QLatin1Char(' '));
            flags |= Qt::TextSingleLine;
        }
        if (format & DT_END_ELLIPSIS)
            text = QFontMetrics(f).elidedText(text, Qt::ElideRight, textRect.width(),
                                               (format & DT_NOPREFIX) ? 0 : Qt::TextShowMnemonic);
    } else {
        flags |= Qt::TextWordWrap;
    }
    p->setClipRect(rect);
    p->drawText(textRect, flags, text);
    DrawOverlays(p, rect, *c);
    if (isFocus) {
        QPen pen(hasFocus() || IsEditing() ? palette().color(QPalette::WindowText) : QColor(128, 128, 128));
        pen.setWidth(hasFocus() ? 2 : 1);
        pen.setJoinStyle(Qt::MiterJoin);
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        const int in = pen.width() / 2;
        p->drawRect(rect.adjusted(in, in, -in - (pen.width() == 1 ? 1 : 0), -in - (pen.width() == 1 ? 1 : 0)));
    }
    p->restore();
}

// ---- mouse -------------------------------------------------------------------------------

CCellID CGridCtrl::HitTest(const QPoint& pos) const
{
    const int r = rowAt(pos.y());
    const int c = columnAt(pos.x());
    if (r < 0 || c < 0)
        return CCellID();
    return GetMergedTopLeft(r, c);
}

int CGridCtrl::ColumnDividerAt(int x) const
{
    int best = -1;
    int bestDist = kDividerSlack + 1;
    for (int c = 0; c < cols_; ++c) {
        if (isColumnHidden(c))
            continue;
        const int right = columnViewportPosition(c) + columnWidth(c);
        const int d = qAbs(x - right);
        if (d < bestDist && right > 0) {
            best = c;
            bestDist = d;
        }
    }
    return best;
}

void CGridCtrl::MoveFocusByUser(CCellID to)
{
    to = GetMergedTopLeft(to.row, to.col);
    if (!to.IsValid() || to == focus_)
        return;
    Notify(GVN_SELCHANGING, to.row, to.col);
    SetFocusCell(to.row, to.col);
    Notify(GVN_SELCHANGED, to.row, to.col);
    EnsureVisible(to.row, to.col);
}

void CGridCtrl::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (focusPolicy() != Qt::NoFocus && !hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (e->button() == Qt::LeftButton) {
        pressCell_ = CCellID();
        prepareEdit_ = false;
        if (columnResize_) {
            const int c = ColumnDividerAt(pos.x());
            if (c >= 0) {
                resizingCol_ = c;
                resizeStartX_ = pos.x();
                resizeStartWidth_ = columnWidth(c);
                return;
            }
        }
        const CCellID cell = HitTest(pos);
        if (!cell.IsValid())
            return;
        pressCell_ = cell;
        if (cell.row < fixedRows_ || cell.col < fixedCols_)
            return;  // fixed cells report the click but take no focus
        if (cell == focus_)
            prepareEdit_ = true;
        else
            MoveFocusByUser(cell);
    }
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        if (resizingCol_ >= 0) {
            resizingCol_ = -1;
            return;
        }
        const CCellID down = pressCell_;
        const bool edit = prepareEdit_ && HitTest(pos) == down;
        pressCell_ = CCellID();
        prepareEdit_ = false;
        if (!down.IsValid())
            return;
        Notify(GVN_CLICK, down.row, down.col);
        if (edit)
            StartEdit(down, StartBy::Mouse, 0, QString());
    } else if (e->button() == Qt::RightButton) {
        const CCellID cell = HitTest(pos);
        if (cell.IsValid())
            Notify(GVN_RCLICK, cell.row, cell.col);
    }
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    pressCell_ = CCellID();
    prepareEdit_ = false;
    const QPoint pos = e->position().toPoint();
    if (columnResize_ && ColumnDividerAt(pos.x()) >= 0)
        return;
    const CCellID cell = HitTest(pos);
    if (!cell.IsValid())
        return;
    if (cell.row >= fixedRows_ && cell.col >= fixedCols_)
        MoveFocusByUser(cell);
    Notify(GVN_DBLCLICK, cell.row, cell.col);
    StartEdit(cell, StartBy::Mouse, 0, QString());
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (resizingCol_ >= 0) {
        SetColumnWidth(resizingCol_, qMax(1, resizeStartWidth_ + pos.x() - resizeStartX_));
        return;
    }
    if (e->buttons() == Qt::NoButton) {
        if (columnResize_ && ColumnDividerAt(pos.x()) >= 0)
            viewport()->setCursor(Qt::SplitHCursor);
        else
            viewport()->unsetCursor();
    }
}

// ---- keyboard ----------------------------------------------------------------------------

bool CGridCtrl::IsNavigationKey(int key) const
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

CCellID CGridCtrl::NextCell(CCellID from, int key, Qt::KeyboardModifiers mods) const
{
    from = GetMergedTopLeft(from.row, from.col);
    if (!from.IsValid())
        return from;
    const CGridCell* c = Cell(from.row, from.col);
    const QRect m = c->IsMergeTopLeft() ? c->MergeRange() : QRect(from.col, from.row, 1, 1);
    const int minR = fixedRows_, minC = fixedCols_;
    const int maxR = GetRowCount() - 1, maxC = cols_ - 1;
    int r = from.row, col = from.col;
    const int top = rowAt(0), bottom = rowAt(viewport()->height() - 1);
    const int page = qMax(1, (bottom < 0 ? maxR : bottom) - (top < 0 ? 0 : top));
    const bool ctrl = mods & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Down:
        r = m.bottom() + 1;
        break;
    case Qt::Key_Up:
        r = m.top() - 1;
        break;
    case Qt::Key_Right:
        col = m.right() + 1;
        break;
    case Qt::Key_Left:
        col = m.left() - 1;
        break;
    case Qt::Key_PageDown:
        r = qMin(maxR, qMax(m.bottom() + 1, from.row + page));
        break;
    case Qt::Key_PageUp:
        r = qMax(minR, qMin(m.top() - 1, from.row - page));
        break;
    case Qt::Key_Home:
        col = minC;
        if (ctrl)
            r = minR;
        break;
    case Qt::Key_End:
        col = maxC;
        if (ctrl)
            r = maxR;
        break;
    case Qt::Key_Tab:
        col = m.right() + 1;
        if (col > maxC) {
            col = minC;
            r = m.bottom() + 1;
        }
        break;
    case Qt::Key_Backtab:
        col = m.left() - 1;
        if (col < minC) {
            col = maxC;
            r = m.top() - 1;
        }
        break;
    default:
        break;
    }
    if (r < minR || r > maxR || col < minC || col > maxC)
        return from;
    return GetMergedTopLeft(r, col);
}

bool CGridCtrl::event(QEvent* e)
{
    // Tab moves between cells instead of leaving the grid.
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if ((ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) &&
            !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(ke);
            return true;
        }
    }
    return QTableView::event(e);
}

void CGridCtrl::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & Qt::AltModifier;
    if (IsEditing()) {
        e->ignore();
        return;
    }
    if (key == Qt::Key_F2) {
        if (focus_.IsValid())
            StartEdit(focus_, StartBy::Mouse, 0, QString());
        return;
    }
    if (IsNavigationKey(key)) {
        if (!focus_.IsValid()) {
            if (IsValid(fixedRows_, fixedCols_))
                MoveFocusByUser(CCellID{fixedRows_, fixedCols_});
            return;
        }
        const int k = (key == Qt::Key_Tab && (mods & Qt::ShiftModifier)) ? int(Qt::Key_Backtab) : key;
        MoveFocusByUser(NextCell(focus_, k, mods));
        return;
    }
    if (key == Qt::Key_Escape || ctrl || alt || !focus_.IsValid()) {
        e->ignore();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        StartEdit(focus_, StartBy::Key, Qt::Key_Return, QString());
        return;
    }
    const QString text = e->text();
    if (key == Qt::Key_Backspace || (!text.isEmpty() && text.at(0).isPrint())) {
        StartEdit(focus_, StartBy::Key, key, text);
        return;
    }
    e->ignore();
}

void CGridCtrl::focusInEvent(QFocusEvent* e)
{
    // Not the item view's: it would move the current index and scroll.
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void CGridCtrl::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}

bool CGridCtrl::edit(const QModelIndex&, EditTrigger, QEvent*)
{
    return false;  // the grid runs its own in-place editors
}

// ---- editing -----------------------------------------------------------------------------

bool CGridCtrl::EditCell(int row, int col)
{
    return StartEdit(CCellID{row, col}, StartBy::Mouse, 0, QString());
}

bool CGridCtrl::StartEdit(CCellID cell, StartBy how, int key, const QString& keyText)
{
    cell = GetMergedTopLeft(cell.row, cell.col);
    if (!cell.IsValid() || IsEditing() || !IsCellEditable(cell.row, cell.col))
        return false;
    if (focus_ != cell)
        SetFocusCell(cell.row, cell.col);
    EnsureVisible(cell.row, cell.col);
    if (Notify(GVN_BEGINLABELEDIT, cell.row, cell.col) < 0)
        return false;
    // The owner may have rebuilt the grid while answering.
    if (!IsCellEditable(cell.row, cell.col) || IsEditing())
        return false;
    const CGridCell* c = Cell(cell.row, cell.col);
    const QRect rect = CellRect(cell.row, cell.col);
    if (const auto* combo = dynamic_cast<const CGridCellCombo*>(c)) {
        auto* list = new CGridInPlaceList(this, rect, cell.row, cell.col, combo->GetOptions(), combo->GetStyle(),
                                          c->GetText(), font());
        editor_ = list;
        editingCell_ = cell;
        list->show();
        list->setFocus(Qt::OtherFocusReason);
        list->ShowDropDown();
        return true;
    }
    auto* box = new CGridInPlaceEdit(this, rect, cell.row, cell.col, c->GetText(), c->GetFont() ? *c->GetFont() : font(),
                                     c->GetFormat(), static_cast<int>(c->GetMargin()), how != StartBy::Mouse);
    editor_ = box;
    editingCell_ = cell;
    box->show();
    box->setFocus(Qt::OtherFocusReason);
    if (how == StartBy::Continue) {
        box->selectAll();
    } else if (how == StartBy::Key && key == Qt::Key_Backspace) {
        box->end(false);
        box->backspace();
    } else if (how == StartBy::Key && key != Qt::Key_Return) {
        box->setText(keyText);  // a typed character replaces the text
    } else {
        box->end(false);
    }
    return true;
}

void CGridCtrl::AbortEdit()
{
    QPointer<QWidget> ed = editor_;
    editor_ = nullptr;
    editingCell_ = CCellID();
    if (!ed)
        return;
    if (auto* list = qobject_cast<CGridInPlaceList*>(ed.data()))
        list->HideDropDown();
    ed->hide();
    ed->deleteLater();
}

void CGridCtrl::FollowEditor()
{
    if (!editor_ || !editingCell_.IsValid())
        return;
    const QRect rect = CellRect(editingCell_.row, editingCell_.col);
    if (auto* box = qobject_cast<CGridInPlaceEdit*>(editor_.data()))
        box->FollowCell(rect);
    else
        editor_->setGeometry(rect);
}

void CGridCtrl::NotifyComboSelChange(int row, int col, const QString& text)
{
    Notify(GVN_COMBOSELCHANGE, row, col, text);
}

void CGridCtrl::EndInPlaceEdit(int row, int col, const QString& text, int key)
{
    QPointer<QWidget> ed = editor_;
    if (!ed || editingCell_ != CCellID{row, col})
        return;
    editor_ = nullptr;
    editingCell_ = CCellID();
    if (key != 0)
        setFocus(Qt::OtherFocusReason);
    ed->hide();
    ed->deleteLater();

    // Esc cancels: the cell keeps the text it had.
    if (key != Qt::Key_Escape && IsValid(row, col) && text != GetItemText(row, col)) {
        CGridCell* c = Cell(row, col);
        const QString old = c->GetText();
        c->SetText(text);
        if (!c->ValidateEdit(text)) {
            c->SetText(old);
        } else if (Notify(GVN_ENDLABELEDIT, row, col) < 0) {
            if (CGridCell* again = Cell(row, col))
                again->SetText(old);
        } else if (CGridCell* again = Cell(row, col)) {
            again->SetState(again->GetState() | GVIS_MODIFIED);
        }
        viewport()->update();
    }

    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Up || key == Qt::Key_Down ||
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        if (!IsValid(row, col))
            return;
        const CCellID next = NextCell(CCellID{row, col}, key, Qt::NoModifier);
        if (next == CCellID{row, col})
            return;
        MoveFocusByUser(next);
        if (IsCellEditable(next.row, next.col))
            StartEdit(next, StartBy::Continue, key, QString());
    }
}
