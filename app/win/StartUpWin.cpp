// Windows starts without the Linux measures: there is no fontconfig to warm up, and the system's
// font list is not to be read off the GUI thread.
#include <QThread>

#include "AppIdentity.h"

namespace dt {

std::future<void> PrepareWindowProgram() {
    QThread::currentThread();  // this thread is Qt's main thread
    return {};
}

std::future<void> StartWindowProgram(std::future<void> prepared) {
    if (prepared.valid()) prepared.wait();
    StartWindowBasics();
    return {};
}

}  // namespace dt
