#include "registry_access.h"

#include <cwchar>

bool WriteRegistryString(HKEY root, const wchar_t* subKey, const wchar_t* valueName, const wchar_t* text) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    DWORD byteCount = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    LONG written = RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), byteCount);
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

bool ReadRegistryString(HKEY root, const wchar_t* subKey, const wchar_t* valueName, void* buffer, DWORD* byteSize) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return false;
    DWORD limit = *byteSize;
    LONG read = RegQueryValueExW(key, valueName, nullptr, nullptr, static_cast<BYTE*>(buffer), byteSize);
    LONG closed = RegCloseKey(key);
    return read == ERROR_SUCCESS && *byteSize <= limit && closed == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const wchar_t* subKey, const wchar_t* valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return false;
    LONG deleted = RegDeleteValueW(key, valueName);
    RegCloseKey(key);
    return deleted == ERROR_SUCCESS;
}
