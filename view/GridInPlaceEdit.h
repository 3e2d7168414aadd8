#pragma once
// In-place edit box of CGridCtrl: sits over the cell, widens while the user types, and hands
// the grid its final text and the key that ended it (0 when it lost the focus).
#include <QLineEdit>
#include <QPointer>

class CGridCtrl;

class CGridInPlaceEdit : public QLineEdit {
    Q_OBJECT
public:
    // exitOnArrows: arrows and page keys end the edit without Ctrl (an edit started by a key).
    CGridInPlaceEdit(CGridCtrl* grid, const QRect& cellRect, int row, int col, const QString& text,
                     const QFont& font, unsigned format, int margin, bool exitOnArrows);

    int Row() const { return row_; }
    int Col() const { return col_; }
    void EndEdit(int key);
    // Moves the box with its cell (scrolling), keeping any widening.
    void FollowCell(const QRect& cellRect);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void Widen();

    QPointer<CGridCtrl> grid_;
    int row_;
    int col_;
    bool exitOnArrows_;
    QRect cellRect_;
    bool ended_ = false;
};
