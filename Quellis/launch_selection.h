// Starting the launcher on the selected files: the one way both menu commands
// (the classic context-menu handler and the Windows 11 command) take.
#pragma once

#include <string>
#include <vector>

// Reads the launcher command ("Command" under the current user first, then
// under the machine) and starts it with every path quoted; a selection too
// large for one command line is passed in a list file ("--file-list=") instead.
// No command, or an empty one, starts nothing and shows nothing; a list that
// cannot be written and a failed start are reported in a message box.
void LaunchWithSelection(const std::vector<std::wstring>& paths);

// Whether a launcher command is stored, read as LaunchWithSelection reads it:
// two registry reads, nothing on disk, quick enough for a menu being built.
bool launcherCommandRegistered();
