#pragma once
// One Qt application object per test executable, made on first use and kept for the run.
#include <gtest/gtest.h>

#include <QCoreApplication>

namespace dttest {

// An event loop without widgets, for the link and the command line.
inline QCoreApplication* CoreApp() {
    static int argc = 1;
    static char name[] = "drivetune-tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    return QCoreApplication::instance();
}

// Registers the core application before the first test runs.
class QtCoreEnvironment : public ::testing::Environment {
public:
    void SetUp() override { CoreApp(); }
};

}  // namespace dttest
