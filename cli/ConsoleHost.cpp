#include "ConsoleHost.h"

#include "ControllerLink.h"
#include "Sheet.h"
#include "SupportLog.h"
#include "ToolState.h"

namespace dt::cli {

ConsoleHost::ConsoleHost(ToolState& state, std::ostream& out, std::ostream& err)
    : state_(state), out_(out), err_(err), progress_(err, state.language) {}

void ConsoleHost::SetLinkBusy(bool busy) {
    if (link_) link_->timeout.SetLinkBusy(busy);
    idle_ = !busy;
    if (!busy && onIdle_) onIdle_();
}

std::string Printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        // Line breaks and tabs are layout; any other control character (an escape sequence or a
        // carriage return from a distributor's text.ini) would act on the terminal: shown as ^X.
        if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F) {
            out += '^';
            out += static_cast<char>(byte ^ 0x40);
        } else {
            out += c;
        }
    }
    return out;
}

void ConsoleHost::ShowMessage(const std::string& text, MessageKind kind) {
    messages_.push_back({text, kind});
    LogEvent("message: " + text);
    progress_.Clear();
    if (!((quiet_ || alwaysQuiet_) && kind == MessageKind::Info)) err_ << Printable(text) << "\n" << std::flush;
}

bool ConsoleHost::Ask(const std::string& text, MessageKind kind) {
    ShowMessage(text, kind);
    return false;
}

void ConsoleHost::ReportBackupFailure(const std::string& why) {
    progress_.Clear();
    err_ << "drivetune-cli: " << state_.Extra(XTX_BACKUP_FAILED) << " " << why << "\n" << std::flush;
}

void ConsoleHost::Attach(ControllerLink* link) {
    link_ = link;
    if (!link_) return;
    link_->protocol.Events().Subscribe(*this);
    link_->protocol.Events().Subscribe(progress_);
}

void ConsoleHost::OnValuesChecked(const ValidationResult& result) {
    if (!result.refused) return;
    if (!json_) {
        out_ << result.message << "\n" << std::flush;
        return;
    }
    Json document = Document();
    document.update(CheckJson(state_, state_.sheet.Texts(), result, jsonFile_));
    PrintJson(out_, document);
    out_.flush();
}

}  // namespace dt::cli
