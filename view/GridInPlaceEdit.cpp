#include "GridInPlaceEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "GridCell.h"
#include "GridCtrl.h"

namespace {

Qt::Alignment AlignmentOf(unsigned format)
{
    if (format & DT_RIGHT)
        return Qt::AlignRight | Qt::AlignVCenter;
    if (format & DT_CENTER)
        return Qt::AlignHCenter | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

CGridInPlaceEdit::CGridInPlaceEdit(CGridCtrl* grid, const QRect& cellRect, int row, int col, const QString& text,
                                   const QFont& font, unsigned format, int margin, bool exitOnArrows)
    : QLineEdit(grid->viewport()), grid_(grid), row_(row), col_(col), exitOnArrows_(exitOnArrows), cellRect_(cellRect)
{
    setFrame(false);
    setFont(font);
    setAlignment(AlignmentOf(format));
    setTextMargins(qMax(0, margin - 1), 0, 0, 0);
    setGeometry(cellRect);
    setText(text);
    connect(this, &QLineEdit::textChanged, this, &CGridInPlaceEdit::Widen);
    Widen();
}

void CGridInPlaceEdit::FollowCell(const QRect& cellRect)
{
    const QPoint shift = cellRect.topLeft() - cellRect_.topLeft();
    cellRect_ = cellRect;
    move(pos() + shift);
}

void CGridInPlaceEdit::Widen()
{
    if (!grid_)
        return;
    const QFontMetrics fm(font());
    const QMargins tm = textMargins();
    const int needed = fm.horizontalAdvance(text() + QStringLiteral("  ")) + tm.left() + tm.right() + 4;
    if (needed <= width())
        return;
    const int room = grid_->viewport()->width() - x();
    const int w = qMin(needed, room);
    if (w > width())
        resize(w, height());
}

bool CGridInPlaceEdit::event(QEvent* e)
{
    // Tab and Backtab end the edit instead of moving the focus chain.
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
            keyPressEvent(ke);
            return true;
        }
    }
    return QLineEdit::event(e);
}

void CGridInPlaceEdit::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EndEdit(Qt::Key_Return);
        return;
    case Qt::Key_Escape:
        EndEdit(Qt::Key_Escape);
        return;
    case Qt::Key_Tab:
        EndEdit((e->modifiers() & Qt::ShiftModifier) ? Qt::Key_Backtab : Qt::Key_Tab);
        return;
    case Qt::Key_Backtab:
        EndEdit(Qt::Key_Backtab);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (exitOnArrows_ || ctrl) {
            EndEdit(key);
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(e);
}

void CGridInPlaceEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // The box's own context menu takes the focus for a moment; that is not the end.
    if (e->reason() != Qt::PopupFocusReason)
        EndEdit(0);
}

void CGridInPlaceEdit::EndEdit(int key)
{
    if (ended_)
        return;
    ended_ = true;
    if (grid_)
        grid_->EndInPlaceEdit(row_, col_, text(), key);
}
