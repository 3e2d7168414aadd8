#pragma once
// The reply time-out of a busy panel: a 200 ms timer whose eleventh tick (about 2.2 s after
// the last Busy(false)) shows the time-out message and ends the busy state. Replies that
// continue a chain do not restart it; only a new SetBusy(false) does.
// The window's control panel and the command line each own one and call Busy() from their
// LinkHost::SetBusy.
#include <QObject>
#include <QTimer>

namespace dt {

struct ToolState;
class LinkHost;
class LinkEvents;

class ReplyTimeout : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 200;
    static constexpr int kLastCount = 10;  // the tick that finds this count fires

    ReplyTimeout(const ToolState& state, LinkHost& host, int intervalMs = kIntervalMs, QObject* parent = nullptr);

    // From SetBusy(enable): false restarts the count and the timer, true stops the timer.
    void Busy(bool enable);
    bool IsRunning() const { return timer_.isActive(); }
    int Count() const { return count_; }

    // One timer period (the timer calls it; tests may too).
    void Tick();

    // Told of each time-out (LinkLost, Timeout); may be null.
    void SetEvents(LinkEvents* events) { events_ = events; }

signals:
    // After the message was shown and SetBusy(true) called.
    void TimedOut();

private:
    const ToolState& state_;
    LinkHost& host_;
    LinkEvents* events_ = nullptr;
    QTimer timer_;
    int count_ = 0;
};

}  // namespace dt
