// The files of a Windows 11 menu command's selection: the shell items that
// Explorer hands over as an IShellItemArray.
#pragma once

#include <windows.h>
#include <shobjidl.h>

#include <string>
#include <vector>

// Whether the array holds at least one item and every item is a file-system
// item (a file or folder with a path). Asks the items' attributes only, which
// their shell folder knows without going to the disk.
bool holdsOnlyFileSystemItems(IShellItemArray* items);

// The file-system path of every item, in the array's order; an item without
// one (a library, a device) is left out.
std::vector<std::wstring> fileSystemPaths(IShellItemArray* items);
