#pragma once
// A link host that records every call in order as readable strings; the link tests and the
// replies fuzzing harness present the link through it.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "LinkHost.h"
#include "ReplyTimeout.h"

namespace dt::test {

// Records every call in order as readable strings.
class RecordingHost : public LinkHost, public SheetView, public FileChooser {
public:
    std::vector<std::string> calls;
    std::vector<std::pair<std::string, MessageKind>> messages;
    bool answerYes = false;  // the answer to every question
    bool enabled = true;
    ReplyTimeout* timeout = nullptr;
    std::function<void(const std::string&, MessageKind)> onMessage;  // runs inside the "modal" box
    std::string saveChoice, openChoice;
    std::vector<std::string> dialogArgs;

    void SetLinkBusy(bool busy) override {
        calls.push_back(busy ? "SetLinkBusy(true)" : "SetLinkBusy(false)");
        enabled = !busy;
        if (timeout) timeout->SetLinkBusy(busy);
    }
    void ShowMessage(const std::string& text, MessageKind kind) override {
        calls.push_back("Message(" + text + "," + KindName(kind) + ")");
        messages.push_back({text, kind});
        if (onMessage) onMessage(text, kind);
        calls.push_back("MessageClosed");
    }
    bool Ask(const std::string& text, MessageKind kind) override {
        calls.push_back("Ask(" + text + "," + KindName(kind) + ")");
        messages.push_back({text, kind});
        if (onMessage) onMessage(text, kind);
        calls.push_back("MessageClosed");
        return answerYes;
    }
    static std::string KindName(MessageKind kind) {
        switch (kind) {
        case MessageKind::Info: return "info";
        case MessageKind::Warning: return "warning";
        case MessageKind::Error: return "error";
        case MessageKind::Question: return "question";
        }
        return "?";
    }
    void RebuildGroupTree() override { calls.push_back("RebuildGroupTree"); }
    void BuildGrid() override { calls.push_back("BuildGrid"); }
    void ShowValues() override { calls.push_back("ShowValues"); }
    std::string ChooseSaveFile(const std::string& title, const std::string& filter, const std::string& ext) override {
        dialogArgs = {title, filter, ext};
        return saveChoice;
    }
    std::string ChooseOpenFile(const std::string& title, const std::string& filter) override {
        dialogArgs = {title, filter};
        return openChoice;
    }

    // Calls without the "MessageClosed" markers.
    std::vector<std::string> Steps() const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c != "MessageClosed") out.push_back(c);
        return out;
    }
    std::string LastMessage() const { return messages.empty() ? "" : messages.back().first; }
    void Clear() {
        calls.clear();
        messages.clear();
    }
};

}  // namespace dt::test
