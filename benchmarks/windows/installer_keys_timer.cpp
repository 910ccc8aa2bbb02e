// Times the launcher's reading of the Java installers' registry keys against
// the real registry (here: Wine's), with the launcher's own code and its
// Windows platform functions.
//
//   installer_keys_timer.exe VERSIONS REPETITIONS
//
// Registers VERSIONS installed versions, spread over Oracle's, Adoptium's and
// Azul's keys as on a machine that keeps its updates side by side, reads them
// REPETITIONS times and prints the median and quartiles of one reading, then
// removes what it wrote. Meant for a registry of its own (the benchmark's Wine
// prefix): it deletes those vendors' keys before and after.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "java_homes.h"
#include "run_quartiles.h"

namespace {

struct VendorKey {
    HKEY root;
    const wchar_t* key;
    const wchar_t* below;
    const wchar_t* value;
    const wchar_t* namePrefix;
};
const VendorKey kKeys[] = {
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\JavaSoft\\JDK", L"", L"JavaHome", L""},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Eclipse Adoptium\\JDK", L"\\hotspot\\MSI", L"Path", L""},
    {HKEY_CURRENT_USER, L"SOFTWARE\\Azul Systems\\Zulu", L"", L"InstallationPath", L"zulu-"},
};

void removeKeys() {
    for (const VendorKey& k : kKeys)
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(k.root, k.key, 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) continue;
            RegDeleteTreeW(key, nullptr);
            RegCloseKey(key);
            RegDeleteKeyExW(k.root, k.key, view, 0);
        }
}

bool registerVersions(int versions) {
    for (int i = 0; i < versions; ++i) {
        const VendorKey& k = kKeys[i % 3];
        const REGSAM view = i % 2 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
        const std::wstring version = std::to_wstring(8 + i % 14) + L".0." + std::to_wstring(i);
        const std::wstring path = std::wstring(k.key) + L"\\" + k.namePrefix + version + k.below;
        const std::wstring home = L"C:\\Program Files\\Java\\jdk-" + version + L"\\";
        HKEY key = nullptr;
        if (RegCreateKeyExW(k.root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return false;
        RegSetValueExW(key, k.value, 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                       static_cast<DWORD>((home.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: installer_keys_timer.exe VERSIONS REPETITIONS\n");
        return 2;
    }
    const int versions = std::max(0, _wtoi(argv[1]));
    const int repetitions = std::max(1, _wtoi(argv[2]));
    removeKeys();
    if (!registerVersions(versions)) {
        std::fprintf(stderr, "cannot write the registry (%lu)\n", GetLastError());
        removeKeys();
        return 1;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> milliseconds;
    std::size_t homes = 0;
    for (int i = 0; i < repetitions; ++i) {
        LARGE_INTEGER begin, end;
        QueryPerformanceCounter(&begin);
        homes = varkel::javaPathsFromInstallerRegistry().size();
        QueryPerformanceCounter(&end);
        milliseconds.push_back(1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
                               static_cast<double>(frequency.QuadPart));
    }
    removeKeys();
    std::printf("installer_keys versions=%d", versions);
    varkel::timing::printQuartiles(milliseconds);
    std::printf(" runs=%d homes=%zu\n", repetitions, homes);
    // Every version gives a home; per-user ones twice, as HKEY_CURRENT_USER is
    // read in both views.
    return homes >= static_cast<std::size_t>(versions) ? 0 : 1;
}
