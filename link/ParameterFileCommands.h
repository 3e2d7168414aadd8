#pragma once
// Export and Import of parameter files: .foc holds the whole 1024-byte block of a standard
// controller, .ged the 32-byte block of an FOC controller, both raw. Neither touches the port.
#include <string>
#include <vector>

#include "ParameterFiles.h"

namespace dt {

struct ToolState;
class LinkHost;
class SheetView;
class FileChooser;
class ControllerProfile;

// Qt file-dialog filter from the "description|pattern||" form of the message table
// ("DriveTune file(*.foc)|*.foc||" -> "DriveTune file(*.foc)").
std::string DialogFilter(const std::string& pairs);

class ParameterFileCommands {
public:
    ParameterFileCommands(ToolState& state, LinkHost& host);

    // Shows each accepted import (tree, values); may be null.
    void SetSheetView(SheetView* view) { view_ = view; }

    // Asks the chooser for a file (ChooseSaveFile / ChooseOpenFile) and runs ExportTo /
    // ImportFrom; a cancelled choice does nothing.
    void Export(FileChooser& chooser);
    void Import(FileChooser& chooser);

    // Writes the FOC block (an FOC controller) or the whole ParameterBlock to path, atomically: a failed
    // write leaves an existing file as it was. Shows MSG_EXPORT_OK or MSG_EXPORT_OPEN_FAILED.
    bool ExportTo(const std::string& path);
    // Loads path by its extension as given ("foc" or "ged", case-sensitive; others are ignored
    // silently). A refused file changes nothing in memory. Shows the outcome message; on
    // success the sheet view shows the values (and rebuilds the tree after a .ged).
    bool ImportFrom(const std::string& path);
    // The same with the content already read (standard input, a name in any case), as a file of
    // the given kind.
    bool ImportContent(const ControllerProfile& file, const std::vector<unsigned char>& content);

    // Why the last ExportTo or ImportFrom could not write or read its file, in the system's words.
    const std::string& LastError() const { return lastError_; }

private:
    ToolState& state_;
    LinkHost& host_;
    SheetView* view_ = nullptr;
    std::string lastError_;
};

}  // namespace dt
