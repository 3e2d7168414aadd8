// DriveTune: the parameter tool's window.
#include <QApplication>
#include <iostream>

#include "AppIdentity.h"
#include "DriveTuneApp.h"
#include "StartArguments.h"

int main(int argc, char** argv) {
    // Answered before Qt looks for a display, so they work without one.
    if (dt::AnswerInfoArguments(dt::ParseStartArguments({argv + 1, argv + argc}), std::cout)) return 0;
    std::future<void> prepared = dt::PrepareWindowProgram();
    QApplication qt(argc, argv);
    const std::future<void> fontList = dt::StartWindowProgram(std::move(prepared));
    CDriveTuneApp app;
    if (!app.InitInstance()) return 1;
    // Qt has taken its own options out of argv by now.
    app.ImportAtStart(dt::ParseStartArguments({argv + 1, argv + argc}).file);
    const int result = qt.exec();
    app.ExitInstance();
    return result;
}
