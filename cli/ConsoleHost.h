#pragma once
// The controller link presented on a console: message boxes become lines of text, the grid
// becomes a list of value-cell texts, and the end of each exchange is reported to whoever
// runs the event loop.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "GridPasses.h"
#include "LinkHost.h"

namespace dt {
struct ControllerLink;
struct ToolState;
}  // namespace dt

namespace dt::cli {

class ConsoleHost : public LinkHost {
public:
    // Messages go to err; a refused range check prints its message to out, as `check` does.
    ConsoleHost(ToolState& state, std::ostream& out, std::ostream& err);

    // The link whose time-out SetBusy drives; set once the link exists.
    void Attach(ControllerLink* link) { link_ = link; }
    // Called when an exchange ends (SetBusy(true)).
    void OnIdle(std::function<void()> handler) { onIdle_ = std::move(handler); }
    // Information messages are dropped while quiet (the Connect exchange before a store);
    // warnings and errors are always printed.
    void SetQuiet(bool quiet) { quiet_ = quiet; }

    bool Idle() const { return idle_; }
    // Completed reads (standard or FOC completion) since the start.
    int Completions() const { return completions_; }
    const ValueCells& Cells() const { return cells_; }
    struct Message {
        std::string text;
        int type;
    };
    const std::vector<Message>& Messages() const { return messages_; }

    void SetBusy(bool enable) override;
    int ShowMessage(const std::string& text, int type) override;
    void RebuildGroupTree() override {}
    void BuildGrid() override { ++completions_; }
    void ShowValues() override;
    void StoreValues() override;
    int ValidateAll() override;
    // Files are named on the command line; nothing is ever chosen interactively.
    std::string ChooseSaveFile(const std::string&, const std::string&, const std::string&) override { return ""; }
    std::string ChooseOpenFile(const std::string&, const std::string&) override { return ""; }
    void ReportBackupFailure(const std::string& why) override;

private:
    ToolState& state_;
    std::ostream& out_;
    std::ostream& err_;
    ControllerLink* link_ = nullptr;
    std::function<void()> onIdle_;
    bool quiet_ = false;
    bool idle_ = true;
    int completions_ = 0;
    ValueCells cells_;
    std::vector<Message> messages_;
};

}  // namespace dt::cli
