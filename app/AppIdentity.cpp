#include "AppIdentity.h"

#include <QGuiApplication>
#include <QIcon>

#include "AppResources.h"
#include "SupportLog.h"
#include "Version.h"

namespace dt {

void SetApplicationIdentity() {
    LoadAppResources();
    QGuiApplication::setDesktopFileName(QLatin1String(kDesktopFileName));
    QCoreApplication::setApplicationVersion(QStringLiteral(DRIVETUNE_VERSION));
    // The small size is drawn for small sizes, so the task bar does not scale the large one down.
    // The installed desktop entry brings the larger sizes; a 256-pixel window icon would cost a
    // megabyte at every start, for the window's property on the X server.
    QGuiApplication::setWindowIcon(ReadIcon({kAppIcon48, kAppIcon128}));
}

void StartWindowBasics() {
    SetApplicationIdentity();
    StartSupportLog("drivetune");
    SetFrameTrace(qEnvironmentVariable("DRIVETUNE_TRACE") == QLatin1String("1"));
}

}  // namespace dt
