#include "DriveTuneApp.h"

#include <QTimer>

#include "AppResources.h"
#include "ControllerLink.h"
#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "Fonts.h"
#include "MainFrame.h"

CDriveTuneApp::CDriveTuneApp(AppPaths paths, CControlPanel::PortLister lister)
    : paths_(std::move(paths)),
      lister_(std::move(lister)),
      ports_(dt::PortNumbering::System(dt::SettingsFolder(paths_.settingsPath) + "/ports")),
      port_([this](int n) { return ports_.DeviceFor(n); }) {
    // The box's list and the port's opening share one scan of the devices at start-up.
    if (!lister_) lister_ = [this] { return ports_.BoxEntries(); };
}

CDriveTuneApp::~CDriveTuneApp() = default;

void CDriveTuneApp::ImportAtStart(const std::string& file) {
    if (file.empty() || !frame_) return;
    QTimer::singleShot(0, frame_.get(), [this, file] {
        if (frame_) frame_->Files().ImportFrom(file);
    });
}

bool CDriveTuneApp::InitInstance(bool show) {
    LoadAppResources();
    dt::InstallFontSubstitutions();
    doc_.OnNewDocument();
    frame_ = std::make_unique<CMainFrame>(state_, port_, paths_, lister_);
    if (fileHook_) frame_->SetFileHook(fileHook_);
    // A device that goes away is the link's news: its listeners (the status line) follow at once.
    QObject::connect(&port_, &dt::SerialPort::DeviceLost, frame_.get(),
                     [this](int) { frame_->Protocol().PortLost(port_.LastError()); });
    frame_->OnCreate();
    frame_->View()->OnInitialUpdate();
    if (show) {
        frame_->show();
        // Keys go to the grid first, so the tree does not pick its first title by itself.
        if (QWidget* grid = frame_->View()->Grid()) grid->setFocus();
    }
    return true;
}
