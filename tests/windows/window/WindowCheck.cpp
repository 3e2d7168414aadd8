// The window under Wine: started as drivetune.exe starts it, the port chosen from the box (the
// system's list), Connect pressed, the grid filled from the controller. Prints the port box's
// entries, the messages shown and the first value rows of the grid, saves a picture of the
// screen, and exits 0 when the upload said so. With a third argument it then prints "shown" and
// keeps the window up until that file exists (or 60 s have passed), so that a picture of the
// display can be taken from outside while the window is on it.
//   drivetune-window-check <picture.png> <COMn> [<file that lets it end>]
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <cstdio>

#include "AppIdentity.h"
#include "ControlPanel.h"
#include "DriveTuneApp.h"
#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "MainFrame.h"
#include "MessageDlg.h"
#include "PortBox.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) return 2;
    std::future<void> prepared = dt::PrepareWindowProgram();
    QApplication qt(argc, argv);
    const std::future<void> fontList = dt::StartWindowProgram(std::move(prepared));
    CDriveTuneApp app;
    std::vector<std::string> messages;
    SetMessageHook([&](CMessageDlg& dlg) {
        messages.push_back(dlg.Text().toStdString());
        return 1;
    });
    if (!app.InitInstance()) return 1;
    CMainFrame& frame = *app.MainFrame();
    if (!QTest::qWaitForWindowExposed(&frame, 10000)) return 1;
    CControlPanel& panel = *frame.Panel();
    CPortBox& box = *panel.PortBox();
    const int entry = box.findText(QString::fromLocal8Bit(argv[2]), Qt::MatchStartsWith);
    for (int i = 0; i < box.count(); ++i) std::printf("port box entry: %s\n", box.itemText(i).toStdString().c_str());
    std::fflush(stdout);
    if (entry < 0) {
        std::fprintf(stderr, "%s is not in the port box\n", argv[2]);
        return 1;
    }
    box.setCurrentIndex(entry);
    QTest::mouseClick(panel.Button(CControlPanel::IDC_CONNECT), Qt::LeftButton);
    static_cast<void>(QTest::qWaitFor([&] { return !messages.empty(); }, 20000));
    QTest::qWait(1500);
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1]));
    for (const std::string& m : messages) std::printf("message: %s\n", m.c_str());
    CGridCtrl& grid = *frame.View()->Grid();
    for (int row = 1; row < 8 && row < grid.GetRowCount(); ++row)
        std::printf("row %d: %s | %s\n", row, grid.GetItemText(row, 1).toStdString().c_str(),
                    grid.GetItemText(row, 2).toStdString().c_str());
    std::fflush(stdout);
    if (argc == 4) {
        std::printf("shown\n");
        std::fflush(stdout);
        const QString release = QString::fromLocal8Bit(argv[3]);
        static_cast<void>(QTest::qWaitFor([&] { return QFileInfo::exists(release); }, 60000));
    }
    const bool uploaded = !messages.empty() && messages.front() == app.State().Message(dt::MSG_UPLOAD_OK);
    app.ExitInstance();
    return uploaded ? 0 : 1;
}
