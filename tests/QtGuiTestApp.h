#pragma once
// One widgets application object per test executable, made on first use and kept for the run.
#include <QApplication>

namespace dttest {

// The widgets' application object (a QApplication).
inline QApplication* GuiApp() {
    static int argc = 1;
    static char name[] = "drivetune-tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

}  // namespace dttest
