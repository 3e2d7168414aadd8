#include "BalloonTip.h"

#include <QApplication>
#include <QCursor>
#include <QWindow>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include "Fonts.h"

namespace {

const QColor kFill(225, 235, 244);
const QColor kBorderColour(188, 209, 226);
const QColor kTextColour(128, 0, 128);
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs;

QPolygon TailPolygon(int w, int h)
{
    return QPolygon({QPoint(w - BalloonTip::kMarginX, h - BalloonTip::kMarginY),
                     QPoint(w - BalloonTip::kMarginX, h + BalloonTip::kTail - BalloonTip::kMarginY),
                     QPoint(w - BalloonTip::kMarginX - BalloonTip::kTail, h - BalloonTip::kMarginY)});
}

QPainterPath BodyPath(int w, int h)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, w, h), BalloonTip::kCornerW / 2.0, BalloonTip::kCornerH / 2.0);
    QPainterPath tail;
    tail.addPolygon(QPolygonF(TailPolygon(w, h)));
    tail.closeSubpath();
    return path.united(tail);
}

}  // namespace

BalloonTip::BalloonTip(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    appear_.setTimerType(Qt::PreciseTimer);
    check_.setTimerType(Qt::PreciseTimer);
    appear_.setSingleShot(true);
    appear_.setInterval(kDelayMs);
    check_.setInterval(kCheckMs);
    connect(&appear_, &QTimer::timeout, this, &BalloonTip::Appear);
    connect(&check_, &QTimer::timeout, this, &BalloonTip::Check);
    cursor_ = [] { return QCursor::pos(); };
    // A dialog that opens, or another program taken to the front, takes the hint away with it.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focus) {
        const QWidget* owner = parentWidget();
        if (!owner || focus != owner->window()->windowHandle()) Destroy();
    });
    Create(owner);
}

BalloonTip::~BalloonTip()
{
    Destroy();
}

bool BalloonTip::Create(QWidget* owner)
{
    if (owner && parentWidget() != owner)
        setParent(owner, windowFlags());
    dt::InstallFontSubstitutions();
    QFont f(dt::kSongFace);
    f.setPixelSize(15);
    f.setWeight(QFont::Black);
    setFont(f);
    setGeometry(0, 0, 0, 0);
    hide();
    return true;
}

void BalloonTip::Show(const QString& text)
{
    Show(text, cursor_());
}

void BalloonTip::Show(const QString& text, const QPoint& anchor)
{
    text_ = text;
    anchor_ = anchor;
    // The old balloon does not linger at the old anchor while the new one waits.
    check_.stop();
    hide();
    appear_.start();
}

void BalloonTip::Destroy()
{
    appear_.stop();
    check_.stop();
    hide();
}

QRect BalloonTip::TextRect() const
{
    return QFontMetrics(font()).boundingRect(QRect(0, 0, 0, 0), kTextFlags, text_);
}

QSize BalloonTip::BodySize() const
{
    const QRect t = TextRect();
    int w = t.width() + 2 * kMarginX;
    int h = t.height() + 2 * kMarginY;
    if (!icon_.isNull()) {
        w += icon_.width() + kIconGap;
        h = qMax(h, icon_.height());
    }
    return QSize(w, h);
}

QRegion BalloonTip::Shape() const
{
    const QSize s = BodySize();
    QPainterPath body;
    body.addRoundedRect(QRectF(0, 0, s.width(), s.height()), kCornerW / 2.0, kCornerH / 2.0);
    return QRegion(body.toFillPolygon().toPolygon()).united(QRegion(TailPolygon(s.width(), s.height())));
}

QPoint BalloonTip::TailTip() const
{
    const QSize s = BodySize();
    return QPoint(s.width() - kMarginX, s.height() + kTail - kMarginY);
}

void BalloonTip::Appear()
{
    appear_.stop();
    // Not over a dialog opened while the balloon waited.
    if (QApplication::activeModalWidget())
        return;
    const QSize s = BodySize();
    const QPoint tip = TailTip();
    setGeometry(anchor_.x() - tip.x(), anchor_.y() - tip.y(), s.width(), s.height() + kTail);
    setMask(Shape());
    show();
    raise();
    update();
    check_.start();
}

void BalloonTip::Check()
{
    if (cursor_() != anchor_) {
        check_.stop();
        hide();
    }
}

void BalloonTip::paintEvent(QPaintEvent*)
{
    const QSize s = BodySize();
    QPainter p(this);
    const QRegion shape = Shape();
    p.setClipRegion(shape);
    p.fillRect(rect(), kFill);
    // Border inside the shape, kBorder pixels wide: a doubled pen clipped to the shape.
    QPen pen(kBorderColour);
    pen.setWidth(2 * kBorder);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(BodyPath(s.width(), s.height()));

    QRect textArea = rect().adjusted(kMarginX, kMarginY, 0, 0);
    if (!icon_.isNull()) {
        p.drawPixmap(kMarginX, kMarginY, icon_);
        textArea.adjust(icon_.width() + kIconGap, 8, 0, 0);
    }
    p.setFont(font());
    p.setPen(kTextColour);
    p.drawText(textArea, kTextFlags, text_);
}
