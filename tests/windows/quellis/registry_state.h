// Reading and arranging the registry around the extension: what the exports
// wrote, exactly as stored (type, bytes, key-name letter case), and a clean
// slate before and after each test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "registry_keys.h"
#include "registry_lock.h"

namespace quellistest {

inline const HKEY kHives[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
const char* hiveName(HKEY root);
HKEY otherHive(HKEY root);

// The keys of the layout, under either hive.
std::wstring clsidKey();
std::wstring inprocServerKey();
inline constexpr const wchar_t* kHandlerKey = L"SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers\\Varkel";
inline constexpr const wchar_t* kLauncherKey = L"Software\\Orvane\\Varkel";

struct StoredValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};
// Read in the 64-bit view; valueName null for the default value.
StoredValue readValue(HKEY root, const std::wstring& key, const wchar_t* valueName);
// The bytes a REG_SZ holding text has, terminator included.
std::vector<BYTE> stringBytes(const std::wstring& text, bool withTerminator = true);
using wintest::keyExists;
// The name of parent's sub-key child (matched without regard to case) as the
// registry stores it; empty when there is none.
std::wstring storedSubKeyName(HKEY root, const std::wstring& parent, const std::wstring& child);

void writeValue(HKEY root, const std::wstring& key, const wchar_t* valueName, DWORD type, const void* data,
                DWORD byteCount);
void writeString(HKEY root, const std::wstring& key, const wchar_t* valueName, const std::wstring& text);
void deleteTree(HKEY root, const std::wstring& key);

// Holds the registry lock and removes the extension's registration and the
// launcher key from both hives on entry and on exit.
class CleanExtensionRegistry {
public:
    CleanExtensionRegistry();
    ~CleanExtensionRegistry();

private:
    static void wipe();
    wintest::RegistryLock lock_;
};

// Denies setting values and creating sub-keys on one key (made if missing)
// until the object goes. Wine keeps the rule only while its server runs,
// which covers one test program.
class DenyWrites {
public:
    DenyWrites(HKEY root, const std::wstring& key);
    ~DenyWrites();

private:
    HKEY root_;
    std::wstring key_;
};

}  // namespace quellistest
