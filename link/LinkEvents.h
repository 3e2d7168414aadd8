#pragma once
// What happened on the link, told by the part that knows it: the protocol engine (reads,
// written blocks, the controller's answer to a store), the commands (the range check of a
// download) and the reply time-out. The window, the command line and the tests listen; none
// of them learns an outcome from a message text or a frame code.
//
// Events are raised on the GUI thread, before the message box that reports the same outcome,
// so a listener's state is up to date while the box is open.
#include <cstdint>
#include <string>
#include <vector>

#include "GridPasses.h"
#include "ToolState.h"

namespace dt {

// A read exchange completed: blocks, identity and sheet hold the controller's set.
struct ReadCompleted {
    ControllerKind kind = ControllerKind::Standard;
    uint16_t modelWord = kNoModelWord;  // as the identity read found it
    bool versionMatches = true;         // false: the version warning was shown
};

// The controller's answer to a store request.
struct StoreOutcome {
    PendingOperation operation = PendingOperation::Store;  // a store, a download or a restore
    bool stored = false;                                   // kept, or refused
};

// A store request is on its way: from now on only the controller's answer tells what it holds.
struct StoreRequested {
    PendingOperation operation = PendingOperation::Store;
};

// Block index (1-based) of count received during a read.
struct BlockRead {
    int index = 0;
    int count = 0;
};

// Block index (1-based) of count acknowledged during a download; the next one is sent after
// the listeners return.
struct BlockWritten {
    int index = 0;
    int count = 0;
};

// Why an exchange ended without its outcome.
enum class LossReason {
    Timeout,     // no answer in time
    DeviceGone,  // the port's device went away
    BadReply,    // a block of the wrong length ended the read
    Stopped,     // stopped on request after the block in flight; nothing was stored
};
struct LinkLost {
    LossReason reason = LossReason::Timeout;
    std::string detail;  // the system's words, when it gave any
};

// Override what you listen to.
class LinkListener {
public:
    virtual ~LinkListener() = default;
    virtual void OnReadCompleted(const ReadCompleted&) {}
    virtual void OnStoreOutcome(const StoreOutcome&) {}
    virtual void OnStoreRequested(const StoreRequested&) {}
    virtual void OnBlockRead(const BlockRead&) {}
    virtual void OnBlockWritten(const BlockWritten&) {}
    virtual void OnLinkLost(const LinkLost&) {}
    // A download's range check; refused, nothing is sent and no message was shown: the
    // listener presents result.message and the refused rows.
    virtual void OnValuesChecked(const ValidationResult&) {}
};

class LinkEvents {
public:
    // A listener stays subscribed until it unsubscribes; it must outlive its subscription.
    void Subscribe(LinkListener& listener);
    void Unsubscribe(LinkListener& listener);

    void Raise(const ReadCompleted& e) { Each([&](LinkListener& l) { l.OnReadCompleted(e); }); }
    void Raise(const StoreOutcome& e) { Each([&](LinkListener& l) { l.OnStoreOutcome(e); }); }
    void Raise(const StoreRequested& e) {
        Each([&](LinkListener& l) { l.OnStoreRequested(e); });
    }
    void Raise(const BlockRead& e) { Each([&](LinkListener& l) { l.OnBlockRead(e); }); }
    void Raise(const BlockWritten& e) { Each([&](LinkListener& l) { l.OnBlockWritten(e); }); }
    void Raise(const LinkLost& e) { Each([&](LinkListener& l) { l.OnLinkLost(e); }); }
    void Raise(const ValidationResult& e) { Each([&](LinkListener& l) { l.OnValuesChecked(e); }); }

private:
    template <typename Call>
    void Each(const Call& call) {
        // A copy: a listener may subscribe or unsubscribe while it is told.
        const std::vector<LinkListener*> now = listeners_;
        for (LinkListener* l : now)
            if (Subscribed(l)) call(*l);
    }
    bool Subscribed(const LinkListener* l) const;

    std::vector<LinkListener*> listeners_;
};

}  // namespace dt
