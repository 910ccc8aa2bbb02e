// Console mode: a console window for the Java program's output, and the final
// wait for Enter or Escape when the console was asked for on the command line.
#pragma once

#include "launch_context.h"
#include "platform.h"

namespace varkel {

// Creates and arranges the console and binds the standard streams to it, or
// ends the process with exit code 10.
void createConsole(LaunchContext& ctx);

// Prints the prompt and waits until Enter or Escape is pressed (or released).
// Returns the virtual-key code that ended the wait (13 or 27), or 0 when the
// console input kept failing and the wait was given up.
int waitForConsoleKey();

// The launcher's decisions about the console and the splash screen.
bool consoleWanted(const LaunchContext& ctx);
bool waitsForConsoleKey(const LaunchContext& ctx);
bool splashWanted(const LaunchContext& ctx);

// The arranged sizes: at least 100 columns of buffer, a window of at least
// 850 x 400 pixels at the same top-left corner.
platform::ConsoleBufferSize arrangedBufferSize(platform::ConsoleBufferSize current);
platform::WindowRect arrangedWindowRect(platform::WindowRect current);

}  // namespace varkel
