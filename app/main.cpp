// DriveTune: the parameter tool's window.
#include <QApplication>

#include "AppIdentity.h"
#include "DriveTuneApp.h"
#include "SupportLog.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    dt::SetApplicationIdentity();
    dt::StartSupportLog("drivetune");
    dt::SetFrameTrace(qEnvironmentVariable("DRIVETUNE_TRACE") == QLatin1String("1"));
    CDriveTuneApp app;
    if (!app.InitInstance()) return 1;
    const int result = qt.exec();
    app.ExitInstance();
    return result;
}
