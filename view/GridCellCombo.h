#pragma once
// Combo cell of CGridCtrl and the in-place drop-down list that edits it.
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <string>
#include <vector>

#include "GridCell.h"

class QLineEdit;
class QListWidget;
class QFrame;

class CGridCellCombo : public CGridCell {
public:
    CGridCellCombo() = default;

    GridCellKind Kind() const override { return GridCellKind::Combo; }

    void SetOptions(const QStringList& options) { options_ = options; }
    void SetOptions(const std::vector<std::string>& utf8Options);
    const QStringList& GetOptions() const { return options_; }
    // CBS_DROPDOWNLIST (3) only picks; other styles also accept typed text.
    void SetStyle(int style) { style_ = style; }
    int GetStyle() const { return style_; }

private:
    QStringList options_;
    int style_ = CBS_DROPDOWN;
};

// The in-place list: a selection field over the cell plus a drop-down part that opens at once.
// It hands the grid its final text (the selected option, or the cell's own text when none is
// selected) and the key that ended it; key 0 means it lost the focus.
class CGridInPlaceList : public QWidget {
    Q_OBJECT
public:
    CGridInPlaceList(CGridCtrl* grid, const QRect& cellRect, int row, int col, const QStringList& options,
                     int style, const QString& initText, const QFont& font);
    ~CGridInPlaceList() override;

    int Row() const { return row_; }
    int Col() const { return col_; }
    // Selected option, -1 for none.
    int CurrentIndex() const;
    QString CurrentText() const;
    bool IsDroppedDown() const;
    void ShowDropDown();
    void HideDropDown();
    // Drop-down part, for tests and the grid.
    QListWidget* List() const { return list_; }
    QWidget* DropDown() const;
    void EndEdit(int key);
    // Index of the first option that begins with text (case-insensitive), or -1.
    static int PrefixMatch(const QStringList& options, const QString& text);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void OnRowChanged(int row);
    bool HandleKey(QKeyEvent* e, bool fromList);
    void ToggleDropDown();
    void StepClosedList(int key);
    void SelectQuietly(int index);

    QPointer<CGridCtrl> grid_;
    int row_;
    int col_;
    int style_;
    QString initText_;
    QStringList options_;
    QFrame* popup_ = nullptr;
    QListWidget* list_ = nullptr;
    QLineEdit* edit_ = nullptr;  // only when the user may type
    int cellHeight_;
    bool quiet_ = false;
    bool ended_ = false;
};
