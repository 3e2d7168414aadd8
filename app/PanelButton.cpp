#include "PanelButton.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

#include "ControlPanel.h"

namespace {
constexpr qreal kCornerRadius = 3.0;
constexpr int kPressedDarker = 115;  // percent
}  // namespace

CPanelButton::CPanelButton(QWidget* parent) : QToolButton(parent) {
    // Entering and leaving repaint the button, so the pointed-at face follows the mouse.
    setAttribute(Qt::WA_Hover);
}

QColor CPanelButton::Face() const {
    const QColor face = palette().color(QPalette::Button);
    if (isDown()) return face.darker(kPressedDarker);
    if (isEnabled() && underMouse()) return CControlPanel::HotColour(face);
    return face;
}

void CPanelButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(palette().color(QPalette::Mid));
    p.setBrush(Face());
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
    p.setRenderHint(QPainter::Antialiasing, false);

    QRect iconRect(QPoint(), iconSize());
    iconRect.moveCenter(rect().center());
    icon().paint(&p, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}
