#pragma once
// The reply time-out of a busy link: a 200 ms timer whose eleventh tick (about 2.2 s after
// the last SetLinkBusy(true)) shows the time-out message and ends the busy state. Replies that
// continue a chain do not restart it; only a new SetLinkBusy(true) does.
// Each ControllerLink owns one; its host calls SetLinkBusy from LinkHost::SetLinkBusy.
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

    // busy: restarts the count and the timer; not busy: stops the timer.
    void SetLinkBusy(bool busy);
    bool IsRunning() const { return timer_.isActive(); }
    int Count() const { return count_; }

    // One timer period (the timer calls it; tests may too).
    void Tick();

    // Told of each time-out (LinkLost, Timeout); may be null.
    void SetEvents(LinkEvents* events) { events_ = events; }

signals:
    // After the message was shown and the busy state ended.
    void TimedOut();

private:
    const ToolState& state_;
    LinkHost& host_;
    LinkEvents* events_ = nullptr;
    QTimer timer_;
    int count_ = 0;
};

}  // namespace dt
