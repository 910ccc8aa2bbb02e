// The startup configuration file: key=value lines read into StartupConfig.
#pragma once

#include <string_view>

#include "launch_context.h"

namespace varkel {

// Reads the file at path (resolved against the current directory) into
// config, after setting every default. Returns true when the whole file was
// read; false after a failure that has already been shown to the user.
bool readStartupConfig(const WideString& path, StartupConfig& config);

// The parsing alone: applies every setting line of the file's bytes to config
// (defaults are not set here). Exposed for tests and fuzzing.
void applyStartupConfigText(std::string_view bytes, StartupConfig& config);

// One line as the reader sees it (its line feed, if any, still at its end).
void applyStartupConfigLine(WideView line, StartupConfig& config);

}  // namespace varkel
