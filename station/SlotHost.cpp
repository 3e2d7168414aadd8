#include "SlotHost.h"

#include "ControllerLink.h"
#include "SupportLog.h"

namespace dt::station {

void SlotHost::SetBusy(bool enable) {
    if (link_) link_->timeout.Busy(enable);
}

void SlotHost::ShowMessage(const std::string& text, MessageKind) {
    lastMessage_ = text;
    LogEvent("message: " + text);
}

void SlotHost::ReportBackupFailure(const std::string& why) {
    if (backupFailure_) backupFailure_(why);
}

}  // namespace dt::station
