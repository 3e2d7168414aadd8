#pragma once
// CGridCtrl: a scrollable grid of cells, each with its own text, format, colours, font and
// state, merged ranges drawn as one cell, and in-place editing with owner notifications.
// Built on QTableView: the view does scrolling, spans and grid lines; cells, focus, editing
// and notifications are the grid's own.
#include <QPointer>
#include <QTableView>

#include <functional>
#include <memory>
#include <vector>

#include "GridCell.h"
#include "GridCellCombo.h"

class CGridInPlaceEdit;
class CGridModel;

// Notification codes sent to the owner.
enum GridNotifyCode {
    GVN_COMBOSELCHANGE = -1,  // selection of an open in-place list changed; text = the option
    GVN_CLICK = -2,           // left click completed, on the cell where the button went down
    GVN_DBLCLICK = -3,
    GVN_RCLICK = -5,
    GVN_SELCHANGING = -100,
    GVN_SELCHANGED = -101,
    GVN_BEGINLABELEDIT = -105,  // answer < 0: editing does not start
    GVN_ENDLABELEDIT = -106,    // answer < 0: the previous text is put back
};

struct GridNotify {
    CGridCtrl* sender = nullptr;
    int id = 0;  // control id given to Create
    int code = 0;
    int row = -1;
    int col = -1;
    QString text;  // GVN_COMBOSELCHANGE only
};

class CGridCtrl : public QTableView {
    Q_OBJECT
public:
    using NotifyHandler = std::function<int(const GridNotify&)>;

    enum Style : unsigned { GS_VISIBLE = 0x1, GS_BORDER = 0x2, GS_TABSTOP = 0x4, GS_DEFAULT = 0x7 };

    // Overlay colours and sizes, in pixels.
    static inline const QColor kMarkerColour{200, 60, 0};
    static constexpr int kMarkerSize = 9;
    static inline const QColor kHighlightFrame{255, 150, 0};
    static constexpr int kHighlightWidth = 2;
    static inline const QColor kCurrentFrame{220, 100, 0};
    static inline const QColor kCurrentWash{255, 200, 0, 60};
    static constexpr int kCurrentWidth = 3;
    // Amber, apart from the red of a refusal and the orange of the change marker and find frames.
    static inline const QColor kWarnColour{200, 130, 0};
    static constexpr int kWarnBarWidth = 5;

    explicit CGridCtrl(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0, QWidget* parent = nullptr);
    ~CGridCtrl() override;

    bool Create(const QRect& rect, QWidget* parent, int id, unsigned style = GS_DEFAULT);
    int GetDlgCtrlID() const { return id_; }
    // The owner's answer to a notification; without a handler every answer is 0.
    void SetNotifyHandler(NotifyHandler handler) { notify_ = std::move(handler); }

    // Structure. Counts grow with plain cells and shrink from the end.
    bool DeleteAllItems();
    bool SetRowCount(int rows);
    bool SetColumnCount(int cols);
    bool SetFixedRowCount(int rows);
    bool SetFixedColumnCount(int cols);
    int GetRowCount() const { return static_cast<int>(cells_.size()); }
    int GetColumnCount() const { return cols_; }
    int GetFixedRowCount() const { return fixedRows_; }
    int GetFixedColumnCount() const { return fixedCols_; }
    bool SetColumnWidth(int col, int width);
    int GetColumnWidth(int col) const;
    bool SetRowHeight(int row, int height);
    int GetRowHeight(int row) const;
    // Height of rows nobody sized: the grid font's height plus the cell margins.
    int GetDefCellHeight() const;

    // Cells. Every operation ignores positions outside the grid and then reports failure.
    bool IsValid(int row, int col) const;
    bool SetItem(const GV_ITEM& item);
    bool GetItem(GV_ITEM& item) const;
    // Stores the text unchanged and marks the cell modified.
    bool SetItemText(int row, int col, const QString& text);
    // The text without its leading white space (spaces, tabs, line breaks).
    QString GetItemText(int row, int col) const;
    bool SetItemState(int row, int col, unsigned state);
    unsigned GetItemState(int row, int col) const;
    bool SetItemFormat(int row, int col, unsigned format);
    unsigned GetItemFormat(int row, int col) const;
    bool SetItemBkColour(int row, int col, const QColor& colour = QColor());
    bool SetItemFgColour(int row, int col, const QColor& colour = QColor());
    QColor GetItemBkColour(int row, int col) const;
    QColor GetItemFgColour(int row, int col) const;
    bool SetItemFont(int row, int col, const QFont& font);
    const QFont* GetItemFont(int row, int col) const;
    // Overlays that leave the cell's colours and font alone (see CGridCell::IsMarked).
    bool SetItemMarked(int row, int col, bool marked);
    bool IsItemMarked(int row, int col) const;
    bool SetItemWarned(int row, int col, bool warned);
    bool IsItemWarned(int row, int col) const;
    bool SetItemHighlight(int row, int col, CellHighlight highlight);
    CellHighlight GetItemHighlight(int row, int col) const;
    // Replaces the cell by one of another kind, keeping text, format, state, colours and font.
    bool SetCellType(int row, int col, GridCellKind kind);
    CGridCell* GetCell(int row, int col) const;
    CGridCellCombo* GetComboCell(int row, int col) const;

    // Draws the range as one cell from its top-left cell; an overlapped earlier merge is undone.
    bool MergeCells(int firstRow, int firstCol, int lastRow, int lastCol);
    bool UnMergeCells(int row, int col);
    // The cell that draws (row, col): the top-left cell of its merge, or itself.
    CCellID GetMergedTopLeft(int row, int col) const;

    // Moves the focus (kept out of fixed rows and columns); returns the previous focus cell.
    CCellID SetFocusCell(int row, int col);
    CCellID GetFocusCell() const { return focus_; }
    bool EnsureVisible(int row, int col);
    // Scrolls so that the row is the first one below the fixed rows (as far as the range allows).
    bool ScrollToTop(int row, int col);
    // The grid font: default of every cell without a font of its own, and of the in-place controls.
    void SetFont(const QFont& font);
    QFont GetFont() const { return font(); }

    void EnableEditing(bool enable) { editingAllowed_ = enable; }
    bool IsEditable() const { return editingAllowed_; }
    void EnableDragAndDrop(bool enable) { dragAndDrop_ = enable; }  // never offered; kept for callers
    void SetRowResize(bool enable) { rowResize_ = enable; }
    void SetColumnResize(bool enable) { columnResize_ = enable; }
    bool GetRowResize() const { return rowResize_; }
    bool GetColumnResize() const { return columnResize_; }
    bool IsCellEditable(int row, int col) const;

    // Rectangle of a cell (of its whole merge) in viewport coordinates.
    QRect CellRect(int row, int col) const;
    void Refresh() { viewport()->update(); }

    // Starts editing as F2 does; false when the cell is not editable or the owner refused.
    bool EditCell(int row, int col);
    bool IsEditing() const { return !editor_.isNull(); }
    QWidget* InPlaceEditor() const { return editor_; }
    CCellID EditingCell() const { return editingCell_; }

    // Called by the in-place controls.
    void EndInPlaceEdit(int row, int col, const QString& text, int key);
    void NotifyComboSelChange(int row, int col, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool event(QEvent* e) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    friend class CGridModel;
    friend class CGridDelegate;

    enum class StartBy { Mouse, Key, Continue };

    int Notify(int code, int row, int col, const QString& text = QString());
    CGridCell* Cell(int row, int col) const;
    void DrawCell(QPainter* p, const QRect& rect, int row, int col) const;
    void DrawOverlays(QPainter* p, const QRect& rect, const CGridCell& c) const;
    CCellID HitTest(const QPoint& viewportPos) const;
    int ColumnDividerAt(int x) const;
    bool StartEdit(CCellID cell, StartBy how, int key, const QString& keyText);
    CCellID NextCell(CCellID from, int key, Qt::KeyboardModifiers mods) const;
    void MoveFocusByUser(CCellID to);
    bool IsNavigationKey(int key) const;
    void ApplySizes();
    void ApplySpans();
    void ResetFixedStates();
    void FollowEditor();
    void AbortEdit();
    void DropMergesOutside(int rows, int cols);

    CGridModel* model_;
    std::vector<std::vector<std::unique_ptr<CGridCell>>> cells_;
    int cols_ = 0;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    std::vector<int> rowHeights_;  // 0 = default height
    std::vector<int> colWidths_;
    int id_ = 0;
    NotifyHandler notify_;
    bool editingAllowed_ = true;
    bool dragAndDrop_ = false;
    bool rowResize_ = false;
    bool columnResize_ = true;
    CCellID focus_;
    CCellID pressCell_;
    bool prepareEdit_ = false;
    int resizingCol_ = -1;
    int resizeStartX_ = 0;
    int resizeStartWidth_ = 0;
    QPointer<QWidget> editor_;
    CCellID editingCell_;
};
