// The texts the context-menu command hands to the launcher and shows the user:
// the launcher's parameter string and the message for a failed start.
//
// Portable (no <windows.h>): text is UTF-16 held as std::u16string, so the same
// code runs in the extension and in the native unit tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quellis {

// Every path in double quotes and followed by one blank, the last one
// included: the launcher splits its command line at blanks outside quotes,
// so a path with blanks stays one argument.
std::u16string buildParameterString(const std::vector<std::u16string>& paths);

// The launcher's start failed: the message names the command and the code
// that ShellExecuteW returned.
inline constexpr std::size_t kLaunchFailureTextLimit = 1024;  // characters, terminator included
std::u16string launchFailureText(std::u16string_view command, std::int32_t code);

}  // namespace quellis
