#include "SlotTile.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <nlohmann/json.hpp>

#include "StationTexts.h"

namespace dt::station {

namespace {

// Grey, amber, green, red: what gang programmers show; the word and the icon say it too.
QColor LookColour(TileLook look) {
    switch (look) {
        case TileLook::Busy: return QColor(0xFF, 0xC1, 0x4D);
        case TileLook::Pass: return QColor(0x5C, 0xC0, 0x5C);
        case TileLook::Fail: return QColor(0xE8, 0x5A, 0x5A);
        case TileLook::Idle: break;
    }
    return QColor(0xD6, 0xD6, 0xD6);
}

// "name: recipe -> unit; ..." from the attempt's rounded rows.
QString RoundedText(const std::string& json) {
    const nlohmann::json rows = nlohmann::json::parse(json.empty() ? "[]" : json, nullptr, false);
    QStringList parts;
    if (!rows.is_array()) return QString();
    for (const nlohmann::json& r : rows) {
        if (!r.is_object()) continue;
        parts << QString::fromStdString(r.value("name", "") + ": " + r.value("recipe", "") + " → " + r.value("unit", ""));
    }
    return parts.join("; ");
}

}  // namespace

void StateIcon::SetIcon(TileIcon icon) {
    icon_ = icon;
    update();
}

void StateIcon::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = std::min(width(), height());
    p.translate((width() - s) / 2, (height() - s) / 2);
    p.scale(s / 100.0, s / 100.0);
    p.setPen(QPen(Qt::black, 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath path;
    switch (icon_) {
        case TileIcon::Waiting:  // a clock
            p.drawEllipse(QPointF(50, 50), 40, 40);
            path.moveTo(50, 22), path.lineTo(50, 50), path.lineTo(70, 62);
            break;
        case TileIcon::Reading:  // an arrow into the PC
        case TileIcon::Writing:  // and out of it
            path.moveTo(50, 10), path.lineTo(50, 90);
            if (icon_ == TileIcon::Reading) path.moveTo(22, 62), path.lineTo(50, 90), path.lineTo(78, 62);
            else path.moveTo(22, 38), path.lineTo(50, 10), path.lineTo(78, 38);
            break;
        case TileIcon::Verifying:  // a magnifier
            p.drawEllipse(QPointF(42, 42), 28, 28);
            path.moveTo(62, 62), path.lineTo(90, 90);
            break;
        case TileIcon::Pass:  // a tick
            path.moveTo(12, 52), path.lineTo(40, 82), path.lineTo(90, 18);
            break;
        case TileIcon::Fail:  // a cross
            path.moveTo(15, 15), path.lineTo(85, 85), path.moveTo(85, 15), path.lineTo(15, 85);
            break;
        case TileIcon::Stopped:  // a square
            p.drawRect(QRectF(18, 18, 64, 64));
            break;
    }
    p.drawPath(path);
}

SlotTile::SlotTile(Language language, const QString& port, QWidget* parent)
    : QFrame(parent), language_(language) {
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    port_ = new QLabel(port, this);
    icon_ = new StateIcon(this);
    word_ = new QLabel(this);
    detail_ = new QLabel(this);
    identity_ = new QLabel(this);
    rounded_ = new QLabel(this);
    label_ = new QLabel(this);
    counts_ = new QLabel(this);
    for (QLabel* l : {detail_, identity_, rounded_, label_}) l->setMinimumWidth(1);
    auto* grid = new QGridLayout(this);
    grid->addWidget(port_, 0, 0, 1, 2);
    grid->addWidget(icon_, 1, 0);
    grid->addWidget(word_, 1, 1);
    grid->addWidget(detail_, 2, 0, 1, 2);
    grid->addWidget(identity_, 3, 0, 1, 2);
    grid->addWidget(rounded_, 4, 0, 1, 2);
    grid->addWidget(label_, 5, 0, 1, 2);
    grid->addWidget(counts_, 6, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    setAccessibleName(port);
    ShowStatus(SlotStatus{}, SlotCounts{});
}

QString SlotTile::Text(int id) const { return QString::fromUtf8(StationText(language_, static_cast<StxId>(id))); }

void SlotTile::ShowStatus(const SlotStatus& s, const SlotCounts& counts) {
    counts_->setText(Text(STX_TILE_COUNTS).arg(QString::number(counts.passed), QString::number(counts.failed)));
    const bool pass = s.outcome == record::Outcome::Pass;
    const QString cause = QString::fromStdString(s.cause);
    switch (s.state) {
        case SlotState::Waiting: return SetLook(TileLook::Idle, TileIcon::Waiting, Text(STX_STATE_WAITING), QString());
        case SlotState::Reading: return SetLook(TileLook::Busy, TileIcon::Reading, Text(STX_STATE_READING), QString());
        case SlotState::Writing: {
            // block counts those acknowledged: the one in flight is the next, the last stays last.
            const int inFlight = std::min(s.block + 1, s.blocks);
            return SetLook(TileLook::Busy, TileIcon::Writing,
                           Text(STX_STATE_WRITING).arg(QString::number(inFlight), QString::number(s.blocks)),
                           QString());
        }
        case SlotState::Verifying: return SetLook(TileLook::Busy, TileIcon::Verifying, Text(STX_STATE_VERIFYING), QString());
        case SlotState::Ended:
        case SlotState::Remove: {
            // The outcome stays in sight until the unit is taken away.
            QString detail = pass ? QString() : cause;
            if (s.state == SlotState::Remove) detail = detail.isEmpty() ? Text(STX_STATE_REMOVE) : detail + "\n" + Text(STX_STATE_REMOVE);
            return SetLook(pass ? TileLook::Pass : TileLook::Fail, pass ? TileIcon::Pass : TileIcon::Fail,
                           Text(pass ? STX_STATE_PASS : STX_STATE_FAIL), detail);
        }
        case SlotState::Stopped: return SetLook(TileLook::Idle, TileIcon::Stopped, Text(STX_STATE_STOPPED), cause);
    }
}

void SlotTile::SetLook(TileLook look, TileIcon icon, const QString& word, const QString& detail) {
    look_ = look;
    icon_->SetIcon(icon);
    word_->setText(word);
    icon_->setAccessibleName(word);
    FitWord();
    SetDetail(detail);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, LookColour(look));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
}

void SlotTile::SetDetail(const QString& text) {
    fullDetail_ = text;
    ShowElided(detail_, text);
}

void SlotTile::ShowElided(QLabel* label, const QString& text) {
    // Each line stays one line, cut to the tile's width; the whole text is its tooltip.
    label->setToolTip(text);
    QStringList lines;
    const QFontMetrics fm(label->font());
    for (const QString& line : text.split('\n')) lines << fm.elidedText(line, Qt::ElideRight, std::max(10, width() - 16));
    label->setText(text.isEmpty() ? QString() : lines.join('\n'));
}

void SlotTile::FitWord() {
    // As large as the tile allows, never cut: a long word gets a smaller font.
    QFont big = word_->font();
    big.setBold(true);
    const int room = width() - icon_->width() - 30;
    int px = std::max(12, height() / 6);
    big.setPixelSize(px);
    while (px > 10 && QFontMetrics(big).horizontalAdvance(word_->text()) > room) big.setPixelSize(--px);
    word_->setFont(big);
}

void SlotTile::ShowBegun(const record::Attempt& a) {
    for (QLabel* l : {identity_, rounded_}) {
        l->setProperty("full", QString());
        ShowElided(l, QString());
    }
    label_->setText(a.label.empty() ? QString() : Text(STX_TILE_LABEL).arg(QString::fromStdString(a.label)));
}

void SlotTile::ShowEnded(const record::Attempt& a) {
    identity_->setProperty("full", QString::fromStdString(a.identity));
    const QString rounded = RoundedText(a.roundedJson);
    rounded_->setProperty("full", rounded.isEmpty() ? QString() : Text(STX_TILE_ROUNDED).arg(rounded));
    for (QLabel* l : {identity_, rounded_}) ShowElided(l, l->property("full").toString());
}

void SlotTile::ShowPendingLabel(const QString& label) {
    label_->setText(label.isEmpty() ? QString() : "→ " + Text(STX_TILE_LABEL).arg(label));
}

void SlotTile::SetSelected(bool selected) {
    selected_ = selected;
    // A thick frame and a marked name: selection shows without colour as well.
    setLineWidth(selected ? 5 : 1);
    const QString name = accessibleName();
    port_->setText(selected ? "▶ " + name : name);
}

void SlotTile::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    // Fonts follow the tile, so 8 tiles and 32 both fill the window legibly.
    const int h = height();
    QFont small = font();
    small.setPixelSize(std::clamp(h / 14, 10, 22));
    for (QLabel* l : {port_, detail_, identity_, rounded_, label_, counts_}) l->setFont(small);
    QFont name = small;
    name.setBold(true);
    port_->setFont(name);
    icon_->setFixedSize(h / 5, h / 5);
    FitWord();
    SetDetail(fullDetail_);
    for (QLabel* l : {identity_, rounded_}) ShowElided(l, l->property("full").toString());
}

void SlotTile::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) emit Clicked();
    QFrame::mousePressEvent(e);
}

}  // namespace dt::station
