// Writing a selection that does not fit on a command line into a list file
// for the launcher ("--file-list=").
#pragma once

#include <optional>
#include <string>
#include <vector>

// Writes the paths into a new file of their own in the user's temporary
// folder, named "Varkel-selection-<unique>.txt", and returns its full path.
// When the file cannot be written, none is left behind, the user is told why
// in a message box, and the result is empty.
std::optional<std::wstring> writeSelectionList(const std::vector<std::u16string>& paths);
