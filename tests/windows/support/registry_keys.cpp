#include "registry_keys.h"

namespace wintest {

bool keyExists(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

}  // namespace wintest
