#pragma once
// One cell of CGridCtrl, and the records and flags the grid's users pass in and get back.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>

class CGridCtrl;

// Fields of a GV_ITEM that SetItem applies.
enum GridItemMask : unsigned {
    GVIF_TEXT = 0x01,
    GVIF_IMAGE = 0x02,
    GVIF_PARAM = 0x04,
    GVIF_STATE = 0x08,
    GVIF_BKCLR = 0x10,
    GVIF_FGCLR = 0x20,
    GVIF_FORMAT = 0x40,
    GVIF_FONT = 0x80,
    GVIF_MARGIN = 0x100,
};

// Cell state bits; setting the state replaces all of them.
enum GridItemState : unsigned {
    GVIS_FOCUSED = 0x01,
    GVIS_SELECTED = 0x02,
    GVIS_DROPHILITED = 0x04,
    GVIS_READONLY = 0x08,
    GVIS_FIXED = 0x10,
    GVIS_FIXEDROW = 0x20,
    GVIS_FIXEDCOL = 0x40,
    GVIS_MODIFIED = 0x80,
};

// Text-drawing flags of a cell's format (the values of the platform's text-drawing call).
enum GridFormat : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
};

// Combo styles: 2 lets the user type, 3 only picks an option.
enum GridComboStyle { CBS_SIMPLE = 1, CBS_DROPDOWN = 2, CBS_DROPDOWNLIST = 3 };

enum class GridCellKind { Text, Combo };

// Frames drawn over a cell without touching its colours: a find match, and the match gone to.
enum class CellHighlight { None, Match, Current };

// Set-item record: SetItem applies the fields named in mask; GetItem fills them all.
struct GV_ITEM {
    int row = 0;
    int col = 0;
    unsigned mask = 0;
    unsigned state = 0;
    unsigned format = 0;
    int image = -1;
    QColor bkColour;  // invalid = the grid's default colour
    QColor fgColour;
    std::intptr_t param = 0;
    QFont font;
    unsigned margin = 0;
    QString text;
};

// A row/column pair; (-1, -1) is no cell.
struct CCellID {
    int row = -1;
    int col = -1;
    bool IsValid() const { return row >= 0 && col >= 0; }
    bool operator==(const CCellID& o) const { return row == o.row && col == o.col; }
    bool operator!=(const CCellID& o) const { return !(*this == o); }
};

// Plain text cell. Cells are owned by their grid; GetCell hands out a pointer for
// kind-specific settings (see CGridCellCombo).
class CGridCell {
public:
    static constexpr unsigned kDefaultFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    static constexpr unsigned kDefaultMargin = 3;

    CGridCell() = default;
    virtual ~CGridCell() = default;
    CGridCell(const CGridCell&) = default;
    CGridCell& operator=(const CGridCell&) = default;

    virtual GridCellKind Kind() const { return GridCellKind::Text; }
    // A changed text is accepted or refused here; plain and combo cells accept everything.
    virtual bool ValidateEdit(const QString& text);

    const QString& GetText() const { return text_; }
    void SetText(const QString& text) { text_ = text; }
    unsigned GetFormat() const { return format_; }
    void SetFormat(unsigned format) { format_ = format; }
    unsigned GetState() const { return state_; }
    void SetState(unsigned state) { state_ = state; }
    QColor GetBackClr() const { return bk_; }
    void SetBackClr(const QColor& c) { bk_ = c; }
    QColor GetTextClr() const { return fg_; }
    void SetTextClr(const QColor& c) { fg_ = c; }
    // Null when the cell uses the grid font.
    const QFont* GetFont() const { return hasFont_ ? &font_ : nullptr; }
    void SetFont(const QFont* font);
    unsigned GetMargin() const { return margin_; }
    void SetMargin(unsigned m) { margin_ = m; }
    int GetImage() const { return image_; }
    void SetImage(int image) { image_ = image; }
    std::intptr_t GetData() const { return param_; }
    void SetData(std::intptr_t p) { param_ = p; }
    // Drawn on top of the cell's own colours and font: marked = bold text and a corner
    // marker (a changed value); a highlight frames it.
    bool IsMarked() const { return marked_; }
    void SetMarked(bool marked) { marked_ = marked; }
    // Warned: a bar along the left edge (a value outside its range, not yet refused).
    bool IsWarned() const { return warned_; }
    void SetWarned(bool warned) { warned_ = warned; }
    CellHighlight GetHighlight() const { return highlight_; }
    void SetHighlight(CellHighlight highlight) { highlight_ = highlight; }

    // Merge bookkeeping: the top-left cell holds the range, the others point at it.
    bool IsMergeTopLeft() const { return mergeRange_.isValid(); }
    QRect MergeRange() const { return mergeRange_; }  // x = column, y = row
    CCellID MergedTo() const { return mergedTo_; }

    // Copies the common fields (text, format, state, colours, font, margin, image, data, marks) from another cell.
    void CopyCommon(const CGridCell& other);

private:
    friend class CGridCtrl;
    QString text_;
    unsigned format_ = kDefaultFormat;
    unsigned state_ = 0;
    QColor bk_;
    QColor fg_;
    QFont font_;
    bool hasFont_ = false;
    unsigned margin_ = kDefaultMargin;
    int image_ = -1;
    std::intptr_t param_ = 0;
    bool marked_ = false;
    bool warned_ = false;
    CellHighlight highlight_ = CellHighlight::None;
    QRect mergeRange_;
    CCellID mergedTo_;
};
