#pragma once
// One Qt application object per test executable, made on first use and kept for the run:
// a core application for the link and the command line, a widgets application for windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>

namespace dttest {

namespace detail {
template <typename App>
App* MakeApp() {
    static int argc = 1;
    static char name[] = "drivetune-tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new App(argc, argv);
    return qobject_cast<App*>(QCoreApplication::instance());
}
}  // namespace detail

// An event loop without widgets.
inline QCoreApplication* CoreApp() { return detail::MakeApp<QCoreApplication>(); }
// The widgets' application object.
inline QApplication* GuiApp() { return detail::MakeApp<QApplication>(); }

// Registers the core application before the first test runs.
class QtCoreEnvironment : public ::testing::Environment {
public:
    void SetUp() override { CoreApp(); }
};

}  // namespace dttest
