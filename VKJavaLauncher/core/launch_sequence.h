// The launcher's start-up, from its command line to its exit code: the one
// place that decides the order of the work.
#pragma once

#include "launch_context.h"

namespace varkel {

// Runs the whole launch and ends the process; never returns.
[[noreturn]] void runLaunchSequence(LaunchContext& ctx, WideView commandLine);

// The executable's directory with its trailing backslash.
WideString executableDirectory();

}  // namespace varkel
