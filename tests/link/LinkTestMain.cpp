// The link runs on Qt's event loop: one application object for the whole test run.
#include "QtTestApp.h"

namespace {
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new dttest::QtCoreEnvironment);
}  // namespace
