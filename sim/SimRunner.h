#pragma once
// Runs drivetune-sim: builds the controller, opens and binds the terminal, serves requests.
#include <functional>
#include <string>

#include "ControllerSet.h"
#include "SimOptions.h"
#include "ReplyWriter.h"
#include "VirtualController.h"

namespace sim {

// The set the options choose; false with a reason when a file cannot be used.
bool BuildControllerSet(const SimOptions& options, ControllerSet& set, std::string& error);

// Returns the process exit status.
int RunSimulator(const SimOptions& options);

// The answer to one request (an empty frame: none).
using RequestHandler = std::function<Reply(const Frame&)>;
// Serves the requests arriving on a terminal's master side until a stop signal; false when the
// terminal fails. verbose logs every request and reply on standard error.
bool Serve(int master, const RequestHandler& handle, ReplyWriter& writer, bool verbose);

// --count N: N controllers on N terminals, controlled from standard input (Batch.cpp).
int RunBatch(const SimOptions& options);

}  // namespace sim
