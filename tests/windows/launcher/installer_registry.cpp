#include "installer_registry.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace launchertest {

namespace {

// The keys the installer-key source reads, each with the vendor folder that
// holds it (removed too when nothing else is left in it).
struct WrittenKey {
    const wchar_t* key;
    const wchar_t* parent;  // null: a folder other software uses
};
constexpr WrittenKey kWrittenKeys[] = {
    {L"SOFTWARE\\JavaSoft\\JDK", nullptr},
    {L"SOFTWARE\\JavaSoft\\JRE", nullptr},
    {L"SOFTWARE\\JavaSoft\\Java Development Kit", nullptr},
    {L"SOFTWARE\\Eclipse Adoptium\\JDK", nullptr},
    {L"SOFTWARE\\Eclipse Adoptium\\JRE", L"SOFTWARE\\Eclipse Adoptium"},
    {L"SOFTWARE\\AdoptOpenJDK\\JDK", nullptr},
    {L"SOFTWARE\\AdoptOpenJDK\\JRE", L"SOFTWARE\\AdoptOpenJDK"},
    {L"SOFTWARE\\Eclipse Foundation\\JDK", nullptr},
    {L"SOFTWARE\\Eclipse Foundation\\JRE", L"SOFTWARE\\Eclipse Foundation"},
    {L"SOFTWARE\\Microsoft\\JDK", nullptr},
    {L"SOFTWARE\\Azul Systems\\Zulu", L"SOFTWARE\\Azul Systems"},
    {L"SOFTWARE\\BellSoft\\Liberica", L"SOFTWARE\\BellSoft"},
};

HKEY createKey(HKEY root, REGSAM view, const std::wstring& key) {
    HKEY created = nullptr;
    EXPECT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &created, nullptr),
              ERROR_SUCCESS)
        << wintest::utf8(key);
    return created;
}

}  // namespace

void createRegistryKey(HKEY root, REGSAM view, const std::wstring& key) {
    if (HKEY created = createKey(root, view, key)) RegCloseKey(created);
}

void writeRegistryText(HKEY root, REGSAM view, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY created = createKey(root, view, key);
    if (!created) return;
    EXPECT_EQ(RegSetValueExW(created, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(created);
}

void writeRegistryNumber(HKEY root, REGSAM view, const std::wstring& key, const wchar_t* name, DWORD value) {
    HKEY created = createKey(root, view, key);
    if (!created) return;
    EXPECT_EQ(RegSetValueExW(created, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
    RegCloseKey(created);
}

void removeJavaInstallerKeys() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            for (const WrittenKey& written : kWrittenKeys) {
                HKEY key = nullptr;
                if (RegOpenKeyExW(root, written.key, 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
                    RegDeleteTreeW(key, nullptr);
                    RegCloseKey(key);
                    RegDeleteKeyExW(root, written.key, view, 0);
                }
                // Fails, as it should, while the folder holds anything else.
                if (written.parent) RegDeleteKeyExW(root, written.parent, view, 0);
            }
        }
    }
}

}  // namespace launchertest
