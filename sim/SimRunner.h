#pragma once
// Runs drivetune-sim: builds the controller, opens and binds the terminal, serves requests.
#include <string>

#include "ControllerSet.h"
#include "SimOptions.h"

namespace sim {

// The set the options choose; false with a reason when a file cannot be used.
bool BuildControllerSet(const SimOptions& options, ControllerSet& set, std::string& error);

// Returns the process exit status.
int RunSimulator(const SimOptions& options);

}  // namespace sim
