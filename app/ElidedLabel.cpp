#include "ElidedLabel.h"

#include <QPainter>
#include <QStyle>

namespace {
// Room for the ellipsis and a character or two: a label never shrinks to nothing.
constexpr int kMinimumCharacters = 4;
}  // namespace

CElidedLabel::CElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QString CElidedLabel::ShownText() const {
    const int room = contentsRect().width();
    return fontMetrics().elidedText(text(), Qt::ElideRight, room);
}

QSize CElidedLabel::minimumSizeHint() const {
    const QSize hint = QLabel::minimumSizeHint();
    const int least = fontMetrics().averageCharWidth() * kMinimumCharacters;
    return QSize(qMin(hint.width(), least), hint.height());
}

void CElidedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QString shown = ShownText();
    style()->drawItemText(&p, contentsRect(), static_cast<int>(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

void CElidedLabel::resizeEvent(QResizeEvent* e) {
    QLabel::resizeEvent(e);
    UpdateTip();
}

void CElidedLabel::SetText(const QString& text) {
    setText(text);
    UpdateTip();
}

void CElidedLabel::SetTip(const QString& tip) {
    tip_ = tip;
    UpdateTip();
}

void CElidedLabel::UpdateTip() {
    const bool cut = ShownText() != text();
    if (!cut) setToolTip(tip_);
    else setToolTip(tip_.isEmpty() ? text() : text() + "\n" + tip_);
}
