#include "SlotHost.h"

#include "ControllerLink.h"
#include "SupportLog.h"

namespace dt::station {

void SlotHost::SetLinkBusy(bool busy) {
    if (link_) link_->timeout.SetLinkBusy(busy);
}

void SlotHost::ShowMessage(const std::string& text, MessageKind) {
    lastMessage_ = text;
    LogEvent("message: " + text);
}

void SlotHost::ReportBackupFailure(const std::string& why) {
    if (backupFailure_) backupFailure_(why);
}

}  // namespace dt::station
