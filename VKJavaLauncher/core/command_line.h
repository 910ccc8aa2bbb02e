// The launcher's command line: splitting into arguments, the launcher's own
// options, and the arguments handed to the Java program.
#pragma once

#include <vector>

#include "launch_context.h"

namespace varkel {

// The tokens of a text split at blanks (U+0020 only), double quotes grouping
// and being dropped (quoted_words.h). There is no limit on the number or
// length of tokens.
using TokenList = std::vector<WideString>;
TokenList splitArguments(WideView text);

// Picks out "--conf=<name>", "--file-list=<name>", "--console" and "--help"
// and fills startupConfigName, fileLists, consoleRequested and javaArgs.
// Returns the number of arguments handed to the Java program from the command
// line itself (the lists are read later, by readFileLists).
std::size_t parseCommandLine(LaunchContext& ctx, WideView lpCmdLine);

}  // namespace varkel
