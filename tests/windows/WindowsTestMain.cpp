// The serial port is a QObject: one core application for the run.
#include "QtTestApp.h"

namespace {
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new dttest::QtCoreEnvironment);
}  // namespace
