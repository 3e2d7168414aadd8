// Draws the control-panel icons and the built-in logo into this folder as PNG files.
// Not part of the build: the PNGs are committed. Rebuild them after changing a picture with
//   g++ -std=c++17 -fPIC DrawIcons.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/draw-icons
//   QT_QPA_PLATFORM=offscreen /tmp/draw-icons <this folder>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

namespace {

constexpr int kSize = 64;  // drawn at 64 px, shown at 32 px: sharp on high-density screens too

// Every button shares the badge: a rounded square in the button's colour, white glyph on top.
void Badge(QPainter& p, QColor top, QColor bottom) {
    QLinearGradient g(0, 0, 0, kSize);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(bottom.darker(130), 2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(3, 3, kSize - 6, kSize - 6), 12, 12);
}

QPen Glyph(double width = 5) { return QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A small controller: a box with pins on both sides.
void Chip(QPainter& p, QRectF r) {
    p.setPen(Glyph(3.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 3, 3);
    for (int i = 1; i <= 3; ++i) {
        double y = r.top() + r.height() * i / 4.0;
        p.drawLine(QPointF(r.left() - 6, y), QPointF(r.left(), y));
        p.drawLine(QPointF(r.right(), y), QPointF(r.right() + 6, y));
    }
}

// A sheet of paper with a folded corner.
void Sheet(QPainter& p, QRectF r) {
    QPainterPath path;
    const double fold = r.width() * 0.35;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(Glyph(3.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

// A thick arrow from a to b with a filled head.
void Arrow(QPainter& p, QPointF a, QPointF b, double width = 6) {
    const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
    const double ux = (b.x() - a.x()) / len, uy = (b.y() - a.y()) / len;
    const double head = 13;
    QPointF base(b.x() - ux * head, b.y() - uy * head);
    p.setPen(Glyph(width));
    p.drawLine(a, base);
    QPolygonF tri;
    tri << b << QPointF(base.x() - uy * 10, base.y() + ux * 10) << QPointF(base.x() + uy * 10, base.y() - ux * 10);
    p.setPen(Glyph(2));
    p.setBrush(Qt::white);
    p.drawPolygon(tri);
}

void Connect(QPainter& p) {
    Badge(p, QColor(86, 156, 230), QColor(30, 90, 170));
    // A plug on its cable, prongs pointing into the socket on the right.
    p.setPen(Glyph(4));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable;
    cable.moveTo(8, 50);
    cable.cubicTo(14, 50, 12, 32, 18, 32);
    p.drawPath(cable);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(18, 23, 13, 18), 3, 3);
    p.drawLine(QPointF(31, 27), QPointF(37, 27));
    p.drawLine(QPointF(31, 37), QPointF(37, 37));
    // Socket: a bracket open towards the plug.
    p.setBrush(Qt::NoBrush);
    p.setPen(Glyph(5));
    QPainterPath socket;
    socket.moveTo(42, 18);
    socket.lineTo(52, 18);
    socket.lineTo(52, 46);
    socket.lineTo(42, 46);
    p.drawPath(socket);
}

void Upload(QPainter& p) {
    Badge(p, QColor(110, 190, 90), QColor(40, 120, 40));
    Chip(p, QRectF(20, 38, 24, 16));
    Arrow(p, QPointF(32, 38), QPointF(32, 8));
}

void Download(QPainter& p) {
    Badge(p, QColor(240, 160, 70), QColor(190, 90, 20));
    Chip(p, QRectF(20, 38, 24, 16));
    Arrow(p, QPointF(32, 8), QPointF(32, 37));
}

void Store(QPainter& p) {
    Badge(p, QColor(150, 120, 210), QColor(90, 60, 160));
    // A floppy disk: body, shutter and label.
    p.setPen(Glyph(4));
    p.setBrush(Qt::NoBrush);
    QPainterPath body;
    body.moveTo(14, 14);
    body.lineTo(44, 14);
    body.lineTo(50, 20);
    body.lineTo(50, 50);
    body.lineTo(14, 50);
    body.closeSubpath();
    p.drawPath(body);
    p.drawRect(QRectF(22, 14, 18, 11));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(21, 34, 22, 16));
}

void Default(QPainter& p) {
    Badge(p, QColor(235, 95, 85), QColor(170, 35, 35));
    // A circular arrow turning back to the start.
    p.setPen(Glyph(6));
    p.setBrush(Qt::NoBrush);
    QRectF ring(15, 15, 34, 34);
    p.drawArc(ring, 100 * 16, 290 * 16);
    const double a = 100 * M_PI / 180;
    QPointF tip(32 + 17 * std::cos(a), 32 - 17 * std::sin(a));
    QPolygonF head;
    head << QPointF(tip.x() + 12, tip.y()) << QPointF(tip.x() - 4, tip.y() - 10) << QPointF(tip.x() - 4, tip.y() + 10);
    p.setPen(Glyph(2));
    p.setBrush(Qt::white);
    p.drawPolygon(head);
}

void Import(QPainter& p) {
    Badge(p, QColor(70, 185, 190), QColor(20, 115, 130));
    Sheet(p, QRectF(30, 12, 24, 40));
    Arrow(p, QPointF(8, 32), QPointF(40, 32));
}

void Export(QPainter& p) {
    Badge(p, QColor(100, 130, 160), QColor(50, 70, 100));
    Sheet(p, QRectF(10, 12, 24, 40));
    Arrow(p, QPointF(24, 32), QPointF(57, 32));
}

void Language(QPainter& p) {
    Badge(p, QColor(120, 130, 140), QColor(60, 70, 80));
    // A globe: outline, equator, two meridians.
    p.setPen(Glyph(3.5));
    p.setBrush(Qt::NoBrush);
    QRectF globe(13, 13, 38, 38);
    p.drawEllipse(globe);
    p.drawEllipse(QRectF(24, 13, 16, 38));
    p.drawLine(QPointF(13, 32), QPointF(51, 32));
    p.drawLine(QPointF(17, 22), QPointF(47, 22));
    p.drawLine(QPointF(17, 42), QPointF(47, 42));
}

// The built-in logo: a wheel with a lightning bolt and the product name.
void Logo(const QString& path) {
    QImage img(240, 80, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(40, 40);
    p.setPen(QPen(QColor(60, 100, 40), 7));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(c, 32, 32);
    p.setPen(QPen(QColor(100, 150, 50), 3));
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(c, QPointF(c.x() + 28 * std::cos(a), c.y() + 28 * std::sin(a)));
    }
    QPolygonF bolt;
    bolt << QPointF(46, 8) << QPointF(26, 44) << QPointF(40, 44) << QPointF(32, 72) << QPointF(56, 32)
         << QPointF(42, 32) << QPointF(50, 8);
    p.setPen(QPen(QColor(150, 90, 0), 2));
    p.setBrush(QColor(250, 190, 40));
    p.drawPolygon(bolt);
    QFont f("Liberation Sans");
    f.setPixelSize(30);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(60, 100, 40));
    p.drawText(QRectF(80, 8, 160, 40), Qt::AlignLeft | Qt::AlignVCenter, "DriveTune");
    f.setPixelSize(14);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRectF(82, 44, 160, 24), Qt::AlignLeft | Qt::AlignVCenter, "motor controller setup");
    p.end();
    img.save(path);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const std::pair<const char*, std::function<void(QPainter&)>> icons[] = {
        {"connect", Connect}, {"upload", Upload}, {"download", Download}, {"store", Store},
        {"default", Default}, {"import", Import}, {"export", Export},     {"language", Language},
    };
    for (const auto& [name, draw] : icons) {
        QImage img(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
        p.end();
        img.save(dir + "/" + name + ".png");
    }
    Logo(dir + "/logo.png");
    return 0;
}
