#include "GridCellCombo.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

#include "GridCtrl.h"

void CGridCellCombo::SetOptions(const std::vector<std::string>& utf8Options)
{
    options_.clear();
    for (const std::string& s : utf8Options)
        options_.append(QString::fromStdString(s));
}

int CGridInPlaceList::PrefixMatch(const QStringList& options, const QString& text)
{
    for (int i = 0; i < options.size(); ++i) {
        if (options[i].startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

CGridInPlaceList::CGridInPlaceList(CGridCtrl* grid, const QRect& cellRect, int row, int col,
                                   const QStringList& options, int comboStyle, const QString& initText, const QFont& font)
    : QWidget(grid->viewport()),
      grid_(grid),
      row_(row),
      col_(col),
      style_(comboStyle),
      initText_(initText),
      options_(options),
      cellHeight_(cellRect.height())
{
    setFont(font);
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(cellRect);

    if (style_ != CBS_DROPDOWNLIST) {
        edit_ = new QLineEdit(this);
        edit_->setFrame(false);
        edit_->setFont(font);
        edit_->setText(initText_);
        QStyleOptionComboBox opt;
        opt.initFrom(this);
        opt.editable = true;
        edit_->setGeometry(style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this));
        edit_->installEventFilter(this);
        setFocusProxy(edit_);
    }

    popup_ = new QFrame(this, Qt::Popup);
    popup_->setFrameStyle(QFrame::Box | QFrame::Plain);
    popup_->setLineWidth(1);
    auto* layout = new QVBoxLayout(popup_);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    list_ = new QListWidget(popup_);
    list_->setMinimumSize(1, 1);  // a short list may be shorter than a scroll area likes
    list_->setFrameShape(QFrame::NoFrame);
    list_->setFont(font);
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->addItems(options_);
    layout->addWidget(list_);
    popup_->installEventFilter(this);
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    connect(list_, &QListWidget::currentRowChanged, this, &CGridInPlaceList::OnRowChanged);

    SelectQuietly(PrefixMatch(options_, initText_));
}

CGridInPlaceList::~CGridInPlaceList()
{
    ended_ = true;
}

void CGridInPlaceList::SelectQuietly(int index)
{
    quiet_ = true;
    // Through the item view's own setter, so that taking the focus later does not pick row 0.
    list_->setCurrentIndex(index < 0 ? QModelIndex() : list_->model()->index(index, 0));
    if (index < 0)
        list_->clearSelection();
    quiet_ = false;
    update();
}

int CGridInPlaceList::CurrentIndex() const
{
    const int row = list_->currentRow();
    if (row < 0 || !list_->item(row)->isSelected())
        return -1;
    return row;
}

QString CGridInPlaceList::CurrentText() const
{
    if (edit_)
        return edit_->text();
    const int i = CurrentIndex();
    return i < 0 ? QString() : options_[i];
}

QWidget* CGridInPlaceList::DropDown() const
{
    return popup_;
}

bool CGridInPlaceList::IsDroppedDown() const
{
    return popup_->isVisible();
}

void CGridInPlaceList::ShowDropDown()
{
    if (ended_ || popup_->isVisible())
        return;
    const QFontMetrics fm(list_->font());
    int longest = 0;
    for (const QString& s : options_)
        longest = qMax(longest, fm.horizontalAdvance(s));
    const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int frame = 2 * popup_->frameWidth() + 2;
    const int padding = 8;  // item view's text margins

    // Four cell heights plus a scroll bar at most; a short list gets no empty tail.
    const int rowH = qMax(1, list_->sizeHintForRow(0));
    const int fullList = rowH * qMax(1, static_cast<int>(options_.size())) + frame;
    const int maxH = 4 * cellHeight_ + sb;
    const int h = qMin(maxH, fullList);
    const bool needsBar = fullList > maxH;
    const int w = qMax(width(), longest + padding + frame + (needsBar ? sb : 0));

    QPoint below = mapToGlobal(QPoint(0, height()));
    QRect r(below, QSize(w, h));
    if (const QScreen* scr = screen()) {
        const QRect avail = scr->availableGeometry();
        if (r.bottom() > avail.bottom() && mapToGlobal(QPoint(0, 0)).y() - h >= avail.top())
            r.moveBottom(mapToGlobal(QPoint(0, 0)).y() - 1);
        if (r.right() > avail.right())
            r.moveRight(avail.right());
    }
    popup_->setGeometry(r);
    popup_->show();
    list_->setFocus(Qt::PopupFocusReason);
    if (list_->currentRow() >= 0)
        list_->scrollToItem(list_->currentItem());
}

void CGridInPlaceList::HideDropDown()
{
    if (popup_->isVisible())
        popup_->hide();
}

void CGridInPlaceList::OnRowChanged(int row)
{
    if (quiet_ || ended_)
        return;
    if (row >= 0 && list_->item(row))
        list_->item(row)->setSelected(true);
    const QString text = row >= 0 ? options_.value(row) : QString();
    if (edit_)
        edit_->setText(text);
    update();
    if (grid_)
        grid_->NotifyComboSelChange(row_, col_, text);
}

void CGridInPlaceList::ToggleDropDown()
{
    if (IsDroppedDown())
        HideDropDown();
    else
        ShowDropDown();
}

void CGridInPlaceList::StepClosedList(int key)
{
    // A closed list still steps through its options.
    const int n = list_->count();
    if (n == 0)
        return;
    int i = list_->currentRow();
    if (key == Qt::Key_Up)
        i = i < 0 ? 0 : qMax(0, i - 1);
    else if (key == Qt::Key_Down)
        i = i < 0 ? 0 : qMin(n - 1, i + 1);
    else if (key == Qt::Key_PageUp)
        i = 0;
    else
        i = n - 1;
    list_->setCurrentRow(i);
}

bool CGridInPlaceList::HandleKey(QKeyEvent* e, bool fromList)
{
    const int key = e->key();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool alt = e->modifiers() & Qt::AltModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EndEdit(Qt::Key_Return);
        return true;
    case Qt::Key_Escape:
        // Back to the option the edit began with, then the grid keeps the cell as it was.
        SelectQuietly(PrefixMatch(options_, initText_));
        if (edit_)
            edit_->setText(initText_);
        EndEdit(Qt::Key_Escape);
        return true;
    case Qt::Key_Tab:
        EndEdit((e->modifiers() & Qt::ShiftModifier) ? Qt::Key_Backtab : Qt::Key_Tab);
        return true;
    case Qt::Key_Backtab:
        EndEdit(Qt::Key_Backtab);
        return true;
    case Qt::Key_F4:
        ToggleDropDown();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (alt) {
            ToggleDropDown();
            return true;
        }
        [[fallthrough]];
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (ctrl) {
            EndEdit(key);
            return true;
        }
        if (!fromList && key != Qt::Key_Left && key != Qt::Key_Right) {
            StepClosedList(key);
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool CGridInPlaceList::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
            HandleKey(ke, false);
            return true;
        }
    }
    return QWidget::event(e);
}

void CGridInPlaceList::keyPressEvent(QKeyEvent* e)
{
    if (HandleKey(e, false))
        return;
    if (!edit_ && !e->text().isEmpty() && e->text().at(0).isPrint()) {
        list_->keyboardSearch(e->text());
        return;
    }
    QWidget::keyPressEvent(e);
}

void CGridInPlaceList::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        if (IsDroppedDown())
            HideDropDown();
        else
            ShowDropDown();
    }
}

void CGridInPlaceList::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason)
        EndEdit(0);
}

bool CGridInPlaceList::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == list_ && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (HandleKey(ke, true))
            return true;
        return false;
    }
    if (watched == list_ && e->type() == QEvent::ShortcutOverride) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Escape || ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            e->accept();
            return true;
        }
    }
    if (watched == list_->viewport() && e->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton && list_->itemAt(me->position().toPoint()))
            HideDropDown();
        return false;
    }
    if (watched == edit_) {
        if (e->type() == QEvent::KeyPress) {
            if (HandleKey(static_cast<QKeyEvent*>(e), false))
                return true;
        } else if (e->type() == QEvent::FocusOut) {
            auto* fe = static_cast<QFocusEvent*>(e);
            if (fe->reason() != Qt::PopupFocusReason)
                EndEdit(0);
        }
        return false;
    }
    if (watched == popup_ && e->type() == QEvent::Hide) {
        update();
        return false;
    }
    return QWidget::eventFilter(watched, e);
}

void CGridInPlaceList::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionComboBox opt;
    opt.initFrom(this);
    opt.editable = edit_ != nullptr;
    opt.frame = true;
    opt.currentText = edit_ ? QString() : CurrentText();
    if (IsDroppedDown())
        opt.state |= QStyle::State_On;
    style()->drawComplexControl(QStyle::CC_ComboBox, &opt, &p, this);
    if (!edit_)
        style()->drawControl(QStyle::CE_ComboBoxLabel, &opt, &p, this);
}

void CGridInPlaceList::EndEdit(int key)
{
    if (ended_)
        return;
    ended_ = true;
    QString text = CurrentText();
    // Closed without a choice: the cell keeps its value rather than losing it to an empty
    // text. Handed back as the grid reads it, so the grid sees no change.
    if (!edit_ && CurrentIndex() < 0 && grid_)
        text = grid_->GetItemText(row_, col_);
    if (popup_->isVisible())
        popup_->hide();
    if (grid_)
        grid_->EndInPlaceEdit(row_, col_, text, key);
}
