// DriveTune: the parameter tool's window, or with --station the station window.
#include <QApplication>
#include <iostream>

#include "AppIdentity.h"
#include "AppResources.h"
#include "DriveTuneApp.h"
#include "Fonts.h"
#include "StartArguments.h"
#include "StationWindow.h"

namespace {

int RunStationWindow(QApplication& qt, const dt::StartArguments& args) {
    // Its own entry on the desktop, so a task bar tells the two windows apart.
    QGuiApplication::setDesktopFileName("drivetune-station");
    LoadAppResources();
    dt::InstallFontSubstitutions();
    dt::station::StationWindow window;
    if (!args.expectSha256.empty()) window.SetExpectedHash(args.expectSha256);
    if (!args.file.empty()) window.OpenRecipe(args.file);
    window.resize(1024, 600);
    window.show();
    return qt.exec();
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before Qt looks for a display, so they work without one.
    if (dt::AnswerInfoArguments(dt::ParseStartArguments({argv + 1, argv + argc}), std::cout)) return 0;
    std::future<void> prepared = dt::PrepareWindowProgram();
    QApplication qt(argc, argv);
    const std::future<void> fontList = dt::StartWindowProgram(std::move(prepared));
    // Qt has taken its own options out of argv by now.
    const dt::StartArguments args = dt::ParseStartArguments({argv + 1, argv + argc});
    if (args.station) return RunStationWindow(qt, args);
    CDriveTuneApp app;
    if (!app.InitInstance()) return 1;
    app.ImportAtStart(args.file);
    const int result = qt.exec();
    app.ExitInstance();
    return result;
}
