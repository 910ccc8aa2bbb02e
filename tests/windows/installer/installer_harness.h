// Running the test installers and their uninstaller as an administrator or a
// user would, and taking the machine's state (registry, folders) before and
// after, to show that an uninstall or a failed install leaves nothing.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "registry_keys.h"
#include "watched_process.h"

namespace installertest {

inline constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Varkel";

// An installer built beside the test program (make-test-installers.sh).
std::wstring testInstaller(const wchar_t* name);

// Runs an installer with the given arguments, answering its boxes.
wintest::RunResult runInstaller(const wchar_t* name, const std::wstring& arguments,
                                const wintest::RunOptions& options = {});

// Runs a command line as it stands (an uninstall entry's QuietUninstallString)
// and waits for the uninstaller's work: an NSIS uninstaller hands over to a
// copy of itself in the temporary folder and returns at once. False when the
// work did not end within the time limit. root: the hive of its entry.
bool runUninstallAndWait(const std::wstring& commandLine, HKEY root);

// A string value in the 64-bit view; empty when missing.
std::wstring readString(HKEY root, const std::wstring& key, const wchar_t* valueName);
bool readDword(HKEY root, const std::wstring& key, const wchar_t* valueName, DWORD& value);
using wintest::keyExists;

// Every key and value of HKEY_CURRENT_USER and of HKEY_LOCAL_MACHINE in both
// views, and every file (with its bytes) under the given folders: one entry
// per item, "where" -> "what".
using Snapshot = std::map<std::wstring, std::string>;
// Creates the containers that every Windows profile in use has and that a
// fresh Wine prefix gets only when some program first writes there (the
// user's class registrations, the user's uninstall list,
// %LOCALAPPDATA%\Programs), so that a "before" snapshot does not depend on
// which test ran first in the prefix.
void provideStandardProfileLocations();
Snapshot takeSnapshot(const std::vector<std::wstring>& folders);
Snapshot takeFolderSnapshot(const std::wstring& folder);
// The entries that differ, one line each, for a failure message.
std::string differences(const Snapshot& before, const Snapshot& after);

// The default folders of the two modes, and the Start menu's program folders.
std::wstring perUserDefaultFolder();
std::wstring allUsersDefaultFolder();
std::wstring startMenuPrograms(bool allUsers);

}  // namespace installertest
