#include "AppIdentity.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QThread>

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

std::future<void> PrepareWindowProgram() {
    // Qt takes the first thread it sees for the main thread: let that be this one, whatever the
    // second core touches.
    QThread::currentThread();
    std::promise<DecodedPictures> pictures;
    UseDecodedPictures(pictures.get_future());
    return std::async(std::launch::async, [pictures = std::move(pictures)]() mutable {
        pictures.set_value(DecodeBuiltInPictures());  // the window icon needs them first
        FcInit();
    });
}

std::future<void> StartWindowProgram(std::future<void> prepared) {
    // Two starts of fontconfig at once would each parse the configuration.
    std::future<void> fontList = std::async(std::launch::async, [prepared = std::move(prepared)] {
        if (prepared.valid()) prepared.wait();
        QFontDatabase::families();
    });
    SetApplicationIdentity();
    StartSupportLog("drivetune");
    SetFrameTrace(qEnvironmentVariable("DRIVETUNE_TRACE") == QLatin1String("1"));
    return fontList;
}

}  // namespace dt
