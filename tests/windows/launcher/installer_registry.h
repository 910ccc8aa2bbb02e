// Java installations registered as current Java installers register them, for
// the tests of the launcher's installer-key source. The keys are written into
// the shared Wine prefix: a test holds the registry lock and removes every key
// these tests may write before and after it (removeJavaInstallerKeys).
#pragma once

#include <windows.h>

#include <string>

namespace launchertest {

// Writes a text value (REG_SZ), making the key and its parents, in one view
// (KEY_WOW64_32KEY or KEY_WOW64_64KEY) of HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
void writeRegistryText(HKEY root, REGSAM view, const std::wstring& key, const wchar_t* name, const std::wstring& value);
// Writes a DWORD value, where an installer would have written text.
void writeRegistryNumber(HKEY root, REGSAM view, const std::wstring& key, const wchar_t* name, DWORD value);
// Makes an empty key.
void createRegistryKey(HKEY root, REGSAM view, const std::wstring& key);

// Removes the installer keys the launcher reads, in both views of both roots,
// and the vendor folders they leave empty.
void removeJavaInstallerKeys();

}  // namespace launchertest
