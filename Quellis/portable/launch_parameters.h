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

namespace varkel::quellis {

// Every path in double quotes and followed by one blank, the last one
// included: the launcher splits its command line at blanks outside quotes,
// so a path with blanks stays one argument.
std::u16string buildParameterString(const std::vector<std::u16string>& paths);

// The launcher's start failed: the message names the command and the code
// that ShellExecuteW returned.
inline constexpr std::size_t kLaunchFailureTextLimit = 1024;  // characters, terminator included
std::u16string launchFailureText(std::u16string_view command, std::int32_t code);

// ---- A selection too large for one command line ----------------------------------
// Windows starts a program with a command line of at most 32,767 characters,
// its terminator included.
inline constexpr std::size_t kCommandLineLimit = 32767;

// Whether the launcher's command line, its path in double quotes, one blank
// and the parameters, stays within that limit.
bool fitsOnCommandLine(std::u16string_view launcher, std::u16string_view parameters);

// A selection list's file name, made unique by the writing process, the time
// and the attempt: "Varkel-selection-<process>-<time>-<attempt>.txt".
std::u16string selectionListName(std::uint32_t processId, std::uint64_t time, std::uint32_t attempt);

// A selection list's bytes: every path in UTF-8 without a byte-order mark,
// each followed by CR LF. A lone surrogate, which a Windows file name may
// hold, is written as the three bytes of its code point, and the launcher
// reads it back as it was.
std::string selectionListText(const std::vector<std::u16string>& paths);

// The parameters that hand the launcher a list instead of the paths:
// "--file-list=" and the list's path, in double quotes and followed by one
// blank, like a selected path.
std::u16string fileListParameter(std::u16string_view listPath);

// The list could not be written: the message names the file and gives the
// system's text for the error and its code.
std::u16string selectionListFailureText(std::u16string_view path, std::u16string_view systemText, std::int32_t code);

}  // namespace varkel::quellis
