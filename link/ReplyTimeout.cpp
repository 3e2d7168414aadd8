#include "ReplyTimeout.h"

#include "LinkEvents.h"
#include "LinkHost.h"
#include "SupportLog.h"
#include "ToolState.h"

namespace dt {

ReplyTimeout::ReplyTimeout(const ToolState& state, LinkHost& host, int intervalMs, QObject* parent)
    : QObject(parent), state_(state), host_(host) {
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, &ReplyTimeout::Tick);
}

void ReplyTimeout::SetLinkBusy(bool busy) {
    if (!busy) {
        timer_.stop();
        return;
    }
    count_ = 0;
    timer_.start();
}

void ReplyTimeout::Tick() {
    if (count_ != kLastCount) {
        ++count_;
        return;
    }
    // Stopped before the modal message, so no tick arrives while it is open.
    timer_.stop();
    LogEvent("time-out: no answer from the controller");
    // Listeners learn of it before the box opens, as of every other outcome.
    if (events_) events_->Raise(LinkLost{LossReason::Timeout, std::string()});
    host_.ShowMessage(state_.Message(MSG_TIMEOUT), MessageKind::Error);
    host_.SetLinkBusy(false);
    emit TimedOut();
}

}  // namespace dt
