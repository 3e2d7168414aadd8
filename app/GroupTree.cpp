#include "GroupTree.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

#include "AppResources.h"
#include "GridCtrl.h"

namespace {
// Every item gets the same fixed height.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(CGroupTree::kItemHeight);
        return s;
    }
};
}  // namespace

namespace {
constexpr int kMarkIconSize = 14;

// The grid's own overlays in small: the amber bar of a value out of range, the corner of a change.
QIcon MarkIcon(int marks) {
    QPixmap picture(kMarkIconSize, kMarkIconSize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setPen(Qt::NoPen);
    if (marks & CGroupTree::kOutOfRangeMark) {
        p.setBrush(CGridCtrl::kWarnColour);
        p.drawRect(0, 1, 5, kMarkIconSize - 2);
    }
    if (marks & CGroupTree::kChangedMark) {
        p.setBrush(CGridCtrl::kMarkerColour);
        const QPoint tri[3] = {{kMarkIconSize, 1}, {kMarkIconSize - 8, 1}, {kMarkIconSize, 9}};
        p.drawPolygon(tri, 3);
    }
    return QIcon(picture);
}
}  // namespace

void CGroupTree::SetTopicMark(QTreeWidgetItem* item, int marks) {
    if (!item || TopicMarkOf(item) == marks) return;
    item->setData(0, kMarkRole, marks);
    item->setIcon(0, marks == kNoMark ? QIcon() : MarkIcon(marks));
}

int CGroupTree::TopicMarkOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kMarkRole).toInt() : kNoMark;
}

CGroupTree::CGroupTree(QWidget* parent) : QTreeWidget(parent) {
    LoadAppResources();
    setObjectName(QStringLiteral("groupTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setItemDelegate(new FixedHeightDelegate(this));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void CGroupTree::LoadLogo(const QString& path) {
    const QPixmap file = QFileInfo::exists(path) ? ReadPicture(path) : QPixmap();
    logoFromFile_ = !file.isNull();
    logo_ = logoFromFile_ ? file : ReadPicture(kBuiltInLogo);
    viewport()->update();
}

QRect CGroupTree::LogoRect() const {
    if (logo_.isNull()) return QRect();
    const QSize size = logo_.deviceIndependentSize().toSize();
    const int top = qMax(0, viewport()->height() - kLogoMargin - size.height());
    return QRect(QPoint(kLogoMargin, top), size);
}

void CGroupTree::paintEvent(QPaintEvent* e) {
    QTreeWidget::paintEvent(e);
    if (logo_.isNull()) return;
    QPainter p(viewport());
    p.drawPixmap(LogoRect().topLeft(), logo_);
}

// The logo stays put while the items scroll, so scrolling repaints instead of moving pixels.
void CGroupTree::scrollContentsBy(int dx, int dy) {
    QTreeWidget::scrollContentsBy(dx, dy);
    viewport()->update();
}

void CGroupTree::drawBranches(QPainter* p, const QRect& rect, const QModelIndex& index) const {
    const int indent = indentation();
    const QColor lineColour(128, 128, 128);
    p->save();
    p->setPen(QPen(lineColour, 1, Qt::DotLine));
    // Slot of the item itself: the rightmost indent step of the branch area.
    const int midY = rect.top() + rect.height() / 2;
    const int x = rect.right() - indent / 2;
    const QModelIndex parent = index.parent();
    const bool hasNext = index.sibling(index.row() + 1, 0).isValid();
    const bool firstTop = !parent.isValid() && index.row() == 0;
    p->drawLine(x, midY, rect.right(), midY);
    p->drawLine(x, firstTop ? midY : rect.top(), x, hasNext ? rect.bottom() : midY);
    // Ancestors that have siblings below keep their line running through this row.
    int ax = x - indent;
    for (QModelIndex a = parent; a.isValid(); a = a.parent(), ax -= indent) {
        if (a.sibling(a.row() + 1, 0).isValid()) p->drawLine(ax, rect.top(), ax, rect.bottom());
    }
    if (model()->hasChildren(index)) {
        const QRect box(x - 4, midY - 4, 8, 8);
        p->setPen(QPen(lineColour, 1));
        p->setBrush(palette().color(QPalette::Base));
        p->drawRect(box);
        p->setPen(QPen(palette().color(QPalette::Text), 1));
        p->drawLine(box.left() + 2, midY, box.right() - 2, midY);
        if (!isExpanded(index)) p->drawLine(x, box.top() + 2, x, box.bottom() - 2);
    }
    p->restore();
}

void CGroupTree::resizeEvent(QResizeEvent* e) {
    QTreeWidget::resizeEvent(e);
    viewport()->update();
}
