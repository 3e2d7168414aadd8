#pragma once
// The link's host for a slot: nobody to show a message to or to ask; the busy state drives the
// slot's own reply time-out, and the last message is kept for the cause of a failure.
#include <functional>
#include <string>

#include "LinkHost.h"

namespace dt {
struct ControllerLink;
}

namespace dt::station {

class SlotHost : public LinkHost {
public:
    void Attach(ControllerLink* link) { link_ = link; }
    void SetLinkBusy(bool busy) override;
    void ShowMessage(const std::string& text, MessageKind kind) override;
    bool Ask(const std::string&, MessageKind) override { return false; }
    void ReportBackupFailure(const std::string& why) override;

    const std::string& LastMessage() const { return lastMessage_; }
    // Told of a backup that could not be written.
    void OnBackupFailure(std::function<void(const std::string&)> f) { backupFailure_ = std::move(f); }

private:
    ControllerLink* link_ = nullptr;
    std::string lastMessage_;
    std::function<void(const std::string&)> backupFailure_;
};

}  // namespace dt::station
