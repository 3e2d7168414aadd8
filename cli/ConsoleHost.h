#pragma once
// The controller link presented on a console: message boxes become lines of text, the value
// cells are the state's edit sheet, a refused range check is printed, and the end of each
// exchange is reported to whoever runs the event loop.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "GridPasses.h"
#include "LinkEvents.h"
#include "LinkHost.h"
#include "ProgressLine.h"

namespace dt {
struct ControllerLink;
struct ToolState;
}  // namespace dt

namespace dt::cli {

// text with its control characters other than line breaks and tabs shown as ^X (ESC as ^[).
std::string Printable(const std::string& text);

class ConsoleHost : public LinkHost, public LinkListener {
public:
    // Messages go to err; a refused range check prints its message to out, as `check` does.
    ConsoleHost(ToolState& state, std::ostream& out, std::ostream& err);

    // The link whose time-out SetLinkBusy drives and whose range checks are printed; set once the
    // link exists.
    void Attach(ControllerLink* link);
    // Called when an exchange ends (SetLinkBusy(false)).
    void OnIdle(std::function<void()> handler) { onIdle_ = std::move(handler); }
    // Information messages are dropped while quiet (the Connect exchange before a store);
    // warnings and errors are always printed.
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    // --quiet: information messages are dropped for the whole command.
    void SetAlwaysQuiet(bool quiet) { alwaysQuiet_ = quiet; }
    // A refused range check is printed as JSON (the check's shape, for this file) instead of text.
    void PrintRefusalsAsJson(std::string file) {
        jsonFile_ = std::move(file);
        json_ = true;
    }

    // The line on err that counts blocks read and written (enabled on a terminal, not --quiet);
    // every message wipes it first.
    ProgressLine& Progress() { return progress_; }

    bool Idle() const { return idle_; }
    struct Message {
        std::string text;
        MessageKind kind;
    };
    const std::vector<Message>& Messages() const { return messages_; }

    void SetLinkBusy(bool busy) override;
    void ShowMessage(const std::string& text, MessageKind kind) override;
    // Nobody is there to answer: the message is shown and the answer is No.
    bool Ask(const std::string& text, MessageKind kind) override;
    void ReportBackupFailure(const std::string& why) override;

    // A refused range check prints its message to out, as `check` does.
    void OnValuesChecked(const ValidationResult& result) override;

private:
    ToolState& state_;
    std::ostream& out_;
    std::ostream& err_;
    ControllerLink* link_ = nullptr;
    std::function<void()> onIdle_;
    bool quiet_ = false;
    bool alwaysQuiet_ = false;
    bool json_ = false;
    std::string jsonFile_;
    bool idle_ = true;
    std::vector<Message> messages_;
    ProgressLine progress_;
};

}  // namespace dt::cli
