#include "GroupTree.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

#include "AppResources.h"

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
    QPixmap file;
    logoFromFile_ = QFileInfo::exists(path) && file.load(path);
    logo_ = logoFromFile_ ? file : QPixmap(kBuiltInLogo);
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

void CGroupTree::resizeEvent(QResizeEvent* e) {
    QTreeWidget::resizeEvent(e);
    viewport()->update();
}
