// DriveTune: the parameter tool's window.
#include <QApplication>

#include "AppIdentity.h"
#include "DriveTuneApp.h"

int main(int argc, char** argv) {
    std::future<void> prepared = dt::PrepareWindowProgram();
    QApplication qt(argc, argv);
    const std::future<void> fontList = dt::StartWindowProgram(std::move(prepared));
    CDriveTuneApp app;
    if (!app.InitInstance()) return 1;
    const int result = qt.exec();
    app.ExitInstance();
    return result;
}
