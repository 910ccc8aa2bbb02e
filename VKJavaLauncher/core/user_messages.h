// How the launcher talks to the user and ends the process: the fatal error
// box, the text of the last system error, console output.
#pragma once

#include <cstdint>

#include "launch_context.h"

namespace varkel {

// Waits 500 ms, closes the splash screen, shows message (never used as a
// format) in the launcher's error box in the foreground, then ends the process
// at once with exitCode.
[[noreturn]] void showFatalError(LaunchContext& ctx, const WideString& message, std::uint32_t exitCode);

// An error box without the foreground flag that returns once the user closed it.
void showErrorBox(const WideString& message);

// "Error %d: \"%s\"" with the last system error and the system's text for it
// (its final line end removed). Read it before any other system call.
WideString lastErrorText();
// The same for a known code.
WideString errorText(std::uint32_t code);

// Text to standard output, which console mode has bound to the console.
void printToConsole(WideView text);

}  // namespace varkel
