#include "ParameterFileCommands.h"

#include "AtomicFile.h"
#include "ControllerProfile.h"
#include "GridPasses.h"
#include "LinkHost.h"
#include "ParameterFiles.h"
#include "ToolState.h"

namespace dt {

std::string DialogFilter(const std::string& pairs) {
    std::string out;
    size_t pos = 0;
    while (pos < pairs.size()) {
        size_t bar = pairs.find('|', pos);
        if (bar == std::string::npos || bar == pos) break;
        std::string description = pairs.substr(pos, bar - pos);
        size_t end = pairs.find('|', bar + 1);
        std::string pattern = pairs.substr(bar + 1, end == std::string::npos ? std::string::npos : end - bar - 1);
        // A description that already ends with "(pattern)" is a whole Qt filter.
        std::string suffix = "(" + pattern + ")";
        bool carries = description.size() >= suffix.size() &&
                       description.compare(description.size() - suffix.size(), suffix.size(), suffix) == 0;
        if (!out.empty()) out += ";;";
        out += carries || pattern.empty() ? description : description + " " + suffix;
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    return out;
}

ParameterFileCommands::ParameterFileCommands(ToolState& state, LinkHost& host) : state_(state), host_(host) {}

void ParameterFileCommands::Export(FileChooser& chooser) {
    const ControllerProfile& profile = ProfileOf(state_);
    const std::string path =
        chooser.ChooseSaveFile(state_.Message(MSG_EXPORT_TITLE),
                             DialogFilter(profile.FileFilter(state_.Message(MSG_FILE_FILTER))),
                             profile.FileExtension());
    if (!path.empty()) ExportTo(path);
}

void ParameterFileCommands::Import(FileChooser& chooser) {
    const std::string path =
        chooser.ChooseOpenFile(state_.Message(MSG_IMPORT_TITLE), DialogFilter(state_.Message(MSG_FILE_FILTER)));
    if (!path.empty()) ImportFrom(path);
}

bool ParameterFileCommands::ExportTo(const std::string& path) {
    const std::vector<unsigned char> bytes = ExportBytes(state_);
    // The new content replaces the old file only once it is completely written and on disk.
    if (!WriteFileAtomically(path, bytes, lastError_)) {
        host_.ShowMessage(state_.Message(MSG_EXPORT_OPEN_FAILED), MessageKind::Error);
        return false;
    }
    host_.ShowMessage(state_.Message(MSG_EXPORT_OK), MessageKind::Info);
    return true;
}

bool ParameterFileCommands::ImportFrom(const std::string& path) {
    const ControllerProfile* file = ProfileOfFile(path);
    // Only the first 1024 (or 32) bytes count; a longer file is accepted. A name of no kind is
    // still opened, so that a file that cannot be is reported.
    const size_t wanted = file ? file->Facts().fileSize : 0;
    std::vector<unsigned char> content;
    if (!ReadFileChecked(path, content, lastError_, wanted)) {
        host_.ShowMessage(state_.Message(MSG_IMPORT_OPEN_FAILED), MessageKind::Error);
        return false;
    }
    if (!file) return false;
    return ImportContent(*file, content);
}

bool ParameterFileCommands::ImportContent(const ControllerProfile& file, const std::vector<unsigned char>& content) {
    const ImportOutcome outcome = file.Import(state_, content);
    if (!outcome.handled) return false;
    if (outcome.accepted) {
        if (outcome.rebuildTree && view_) view_->RebuildGroupTree();
        ShowOnSheet(state_);
        if (view_) view_->ShowValues();
    }
    const std::string& text = state_.Message(outcome.message);
    host_.ShowMessage(outcome.detail.empty() ? text : text + "\n" + outcome.detail, outcome.kind);
    return outcome.accepted;
}

}  // namespace dt
