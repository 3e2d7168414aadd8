#pragma once
// CDriveTuneApp: owns the tool state, the serial port, the document and the main window, and
// brings them up in order.
#include <memory>

#include "AppPaths.h"
#include "ControlPanel.h"
#include "DriveTuneDoc.h"
#include "MainFrame.h"
#include "PortNumbering.h"
#include "SerialPort.h"
#include "ToolState.h"

class CDriveTuneApp {
public:
    explicit CDriveTuneApp(AppPaths paths = AppPaths::Default(), CControlPanel::PortLister lister = {});
    ~CDriveTuneApp();
    CDriveTuneApp(const CDriveTuneApp&) = delete;
    CDriveTuneApp& operator=(const CDriveTuneApp&) = delete;

    // Start-up: the main window (settings, language, tree pane), then the view's first update
    // (fonts, balloon, control panel with its port, the empty grid). False ends the program.
    // show = false leaves the window hidden (tests decide themselves).
    bool InitInstance(bool show = true);
    // A replacement for the file dialogs, handed to the main window when it is made (tests).
    // Message boxes are answered through the one message hook of MessageDlg.h.
    void SetFileHook(CMainFrame::FileHook file) { fileHook_ = std::move(file); }

    // The file named on the command line, imported as Import does once the event loop runs, so
    // its message box stands over the window. Nothing happens for "".
    void ImportAtStart(const std::string& file);

    // Nothing is written at exit.
    int ExitInstance() { return 0; }

    dt::ToolState& State() { return state_; }
    dt::SerialPort& Port() { return port_; }
    CDriveTuneDoc& Document() { return doc_; }
    CMainFrame* MainFrame() const { return frame_.get(); }
    const AppPaths& Paths() const { return paths_; }
    // The numbering the port box and the port share; replaced before InitInstance by tests
    // that count scans.
    dt::PortNumbering& Ports() { return ports_; }
    void SetPortNumbering(dt::PortNumbering numbering) { ports_ = std::move(numbering); }

private:
    AppPaths paths_;
    CControlPanel::PortLister lister_;
    dt::ToolState state_;
    dt::PortNumbering ports_;
    dt::SerialPort port_;
    CDriveTuneDoc doc_;
    std::unique_ptr<CMainFrame> frame_;
    CMainFrame::FileHook fileHook_;
};
