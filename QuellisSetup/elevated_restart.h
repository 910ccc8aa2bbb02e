// Repeating a failed all-users attempt in a second instance that runs with
// administrator rights.
#pragma once

#include <string>

namespace varkel::setup {

// Starts exePath with the verb "runas" and "/nofork" in front of commandLine,
// waits for it and returns its exit code; -99 when it cannot be started.
int restartElevated(const std::wstring& exePath, const wchar_t* commandLine);

}  // namespace varkel::setup
