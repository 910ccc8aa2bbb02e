#include "registry_access.h"

#include <cwchar>

#include "owners.h"

using varkel::RegistryKeyOwner;

bool WriteRegistryString(HKEY root, const wchar_t* subKey, const wchar_t* valueName, const wchar_t* text) {
    RegistryKeyOwner key;
    if (RegCreateKeyExW(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_WOW64_64KEY, nullptr,
                        key.receive(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    DWORD byteCount = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), byteCount) ==
           ERROR_SUCCESS;
}

bool ReadRegistryString(HKEY root, const wchar_t* subKey, const wchar_t* valueName, void* buffer, DWORD* byteSize) {
    RegistryKeyOwner key;
    if (RegOpenKeyExW(root, subKey, 0, KEY_READ | KEY_WOW64_64KEY, key.receive()) != ERROR_SUCCESS) return false;
    DWORD limit = *byteSize;
    LONG read = RegQueryValueExW(key.get(), valueName, nullptr, nullptr, static_cast<BYTE*>(buffer), byteSize);
    // Its close is checked: a failed close fails the read, as it always has.
    LONG closed = RegCloseKey(key.release());
    return read == ERROR_SUCCESS && *byteSize <= limit && closed == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const wchar_t* subKey, const wchar_t* valueName) {
    RegistryKeyOwner key;
    if (RegOpenKeyExW(root, subKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, key.receive()) != ERROR_SUCCESS) return false;
    return RegDeleteValueW(key.get(), valueName) == ERROR_SUCCESS;
}
