// The hand-over from the 32-bit launcher to "Varkel-64.exe" when only a
// 64-bit Java runtime was found.
#pragma once

#include "launch_context.h"

namespace varkel {

// "\"<exeDirectory>\Varkel-64.exe\" <commandLine>": the parent's argument
// text passes on unchanged.
WideString respawnCommandLine(const LaunchContext& ctx);

// Starts the 64-bit build without waiting for it. False when it could not be
// started; the system's last error then says why.
bool respawnIn64BitMode(const LaunchContext& ctx);

}  // namespace varkel
