// "--file-list=<file>": arguments for the Java program read from a file, one a
// line, in the option's place among the others. The shell extension passes a
// selection that does not fit on a command line this way, in a list of its own
// in the user's temporary folder, which the launcher deletes once the Java
// program holds its arguments.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "launch_context.h"

namespace varkel {

// A list's bytes as lines: UTF-8 with or without a byte-order mark, lines
// ending in LF or CR LF, empty lines skipped, every other line kept exactly
// (blanks included). Encoded surrogate code points are accepted, so that a
// file name holding a lone surrogate, as Windows allows, comes back unchanged.
struct FileListText {
    std::vector<WideString> lines;
    std::size_t badLine = 0;  // the first line that is not UTF-8, counted from 1; 0 when there is none
};
FileListText decodeFileList(std::string_view bytes);

// Whether a list is one the extension wrote: a file directly in the temporary
// folder whose name has the extension's prefix and suffix (compared without
// regard to case, as Windows compares names).
bool isSelectionListFile(WideView fullPath, WideView temporaryDirectory);

// Reads the lists that parseCommandLine found, in order, and puts their lines
// into javaArgs in each option's place. A relative name resolves against the
// current directory, which is the executable's by then: as a "--conf=" name
// does. A list that cannot be opened, read or decoded ends the process with its
// message and exit code 2.
void readFileLists(LaunchContext& ctx);

// Deletes the extension's lists among those read; the launch sequence calls it
// once the Java program's argument array is made, never earlier.
void deleteSelectionLists(LaunchContext& ctx);

}  // namespace varkel
