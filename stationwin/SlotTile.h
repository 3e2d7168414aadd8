#pragma once
// One slot of the station at a glance: its port, a large state word with an icon of its own (so
// the state reads without colour), the cause of a failure in one line, the unit's identity and
// rounded rows, and the slot's counts.
#include <QFrame>
#include <QLabel>

#include "SlotEvents.h"
#include "Texts.h"

namespace dt::station {

// The shapes the state icon draws.
enum class TileLook { Idle, Busy, Pass, Fail };
enum class TileIcon { Waiting, Reading, Writing, Verifying, Pass, Fail, Stopped };

class StateIcon : public QWidget {
public:
    explicit StateIcon(QWidget* parent = nullptr) : QWidget(parent) {}
    void SetIcon(TileIcon icon);
    TileIcon Icon() const { return icon_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TileIcon icon_ = TileIcon::Waiting;
};

class SlotTile : public QFrame {
    Q_OBJECT
public:
    SlotTile(Language language, const QString& port, QWidget* parent = nullptr);

    void ShowStatus(const SlotStatus& status, const SlotCounts& counts);
    // A unit has begun: its label; a unit has ended: its identity and rounded rows.
    void ShowBegun(const record::Attempt& a);
    void ShowEnded(const record::Attempt& a);
    // A scanned label waiting for this slot's next unit ("" for none).
    void ShowPendingLabel(const QString& label);
    void SetSelected(bool selected);
    bool Selected() const { return selected_; }

    // What the operator reads.
    QString Port() const { return port_->text(); }
    QString StateWord() const { return word_->text(); }
    // The cause and the next step in full; the tile shows each line cut to its width.
    QString Detail() const { return fullDetail_; }
    QString ShownDetail() const { return detail_->text(); }
    QString Counts() const { return counts_->text(); }
    QString Identity() const { return identity_->toolTip(); }
    TileIcon Icon() const { return icon_->Icon(); }
    TileLook Look() const { return look_; }

signals:
    void Clicked();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void SetLook(TileLook look, TileIcon icon, const QString& word, const QString& detail);
    void SetDetail(const QString& text);
    void ShowElided(QLabel* label, const QString& text);
    void FitWord();
    QString Text(int id) const;

    Language language_;
    QLabel* port_;
    StateIcon* icon_;
    QLabel* word_;
    QLabel* detail_;
    QLabel* identity_;
    QLabel* rounded_;
    QLabel* label_;
    QLabel* counts_;
    QString fullDetail_;
    TileLook look_ = TileLook::Idle;
    bool selected_ = false;
};

}  // namespace dt::station
