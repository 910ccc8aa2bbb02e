// Starting the launcher on the selected files.
#pragma once

#include <string>
#include <vector>

// Reads the launcher command ("Command" under the current user first, then
// under the machine) and starts it with every path quoted. No command, or an
// empty one, starts nothing and shows nothing; a failed start is reported in
// a message box.
void LaunchWithSelection(const std::vector<std::wstring>& paths);
