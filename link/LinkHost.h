#pragma once
// What the controller link needs from whoever presents it: the window (dialogs and the
// grid), the command line (the console), a station's slot or a test (a recorder). The link
// calls these on the GUI thread only.
#include <string>

#include "Texts.h"

namespace dt {

class LinkHost {
public:
    virtual ~LinkHost() = default;

    // busy = true: an exchange starts; disable the command controls and (re)start the reply
    // time-out (ReplyTimeout::SetLinkBusy). busy = false: the exchange ended; enable them and
    // stop the time-out.
    virtual void SetLinkBusy(bool busy) = 0;

    // One modal message. It may run a nested event loop; the link is prepared for that.
    virtual void ShowMessage(const std::string& text, MessageKind kind) = 0;
    // A Yes/No question with No pre-selected; true when the answer is Yes.
    virtual bool Ask(const std::string& text, MessageKind kind) = 0;

    // An automatic backup could not be written (why: the file and the system's reason). The
    // operation goes on; the host tells the user.
    virtual void ReportBackupFailure(const std::string& why) { (void)why; }
};

// A front end that shows the controller's sheet (the window; a test's recorder), told when the
// link has changed what it should show. A front end without one reads the state's edit sheet.
class SheetView {
public:
    virtual ~SheetView() = default;

    // The group tree from the current tables (after an upload and after a .ged import).
    virtual void RebuildGroupTree() = 0;
    // Grid rows for the current table sets (after an upload).
    virtual void BuildGrid() = 0;
    // Value cells filled from the state's edit sheet, which the link has just filled.
    virtual void ShowValues() = 0;
};

// The file choice of Export and Import.
class FileChooser {
public:
    virtual ~FileChooser() = default;

    // filter is in Qt's form ("DriveTune file(*.foc)"), defaultExt has no dot ("foc"); the save
    // dialog appends it to a name typed without one. The chosen path, or "" when the user cancels.
    virtual std::string ChooseSaveFile(const std::string& title, const std::string& filter,
                                       const std::string& defaultExt) = 0;
    virtual std::string ChooseOpenFile(const std::string& title, const std::string& filter) = 0;
};

}  // namespace dt
