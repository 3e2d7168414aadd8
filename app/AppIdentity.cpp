#include "AppIdentity.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>

#include <fontconfig/fontconfig.h>

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

std::future<void> StartFontConfig() {
    return std::async(std::launch::async, [] { FcInit(); });
}

std::future<void> StartWindowProgram(std::future<void> fontConfig) {
    // Two starts of fontconfig at once would each parse the configuration.
    std::future<void> fontList = std::async(std::launch::async, [config = std::move(fontConfig)] {
        if (config.valid()) config.wait();
        QFontDatabase::families();
    });
    SetApplicationIdentity();
    StartSupportLog("drivetune");
    SetFrameTrace(qEnvironmentVariable("DRIVETUNE_TRACE") == QLatin1String("1"));
    return fontList;
}

}  // namespace dt
