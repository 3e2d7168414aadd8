// The start-up measures of Linux, on a second core while the application connects to the
// display: fontconfig's configuration and font list, and the built-in pictures through libpng
// (each about a tenth of a bare window's first paint in bench/StartupBench). Qt's main thread is
// anchored first because the pictures' thread touches Qt.
#include <QFontDatabase>
#include <QThread>

#include <fontconfig/fontconfig.h>

#include "AppIdentity.h"
#include "AppResources.h"

namespace dt {

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
    StartWindowBasics();
    return fontList;
}

}  // namespace dt
