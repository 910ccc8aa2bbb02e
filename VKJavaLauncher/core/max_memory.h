// The MAX_MEMORY setting: a number of megabytes ("M") or gigabytes of 1000
// megabytes ("G"), refused at 2 GB or more by the 32-bit build.
#pragma once

#include <optional>

#include "launch_context.h"

namespace varkel {

// Validates config.maxMemory (never absent here) and sets
// config.maxMemoryMegabytes. Returns nothing when the setting is accepted, or
// the message for the user when it is not.
std::optional<WideString> parseMaxMemory(StartupConfig& config, const WideString& configFilePath);

// The count in megabytes, or nothing for an invalid text. Counts beyond the
// signed 32-bit range are held at its maximum.
std::optional<std::int32_t> maxMemoryMegabytes(WideView text);

}  // namespace varkel
