#include "installer_harness.h"

#include <shlobj.h>

#include <sstream>

#include "test_files.h"

namespace installertest {

namespace {

constexpr DWORD kInstallerTimeoutMs = 180000;
constexpr DWORD kUninstallTimeoutMs = 180000;
constexpr DWORD kPollMs = 100;
constexpr DWORD kWizardStepMs = 1000;
// The names NSIS gives the uninstaller's copy in the temporary folder
// ("Un.exe" in NSIS 3.08, "Au_.exe" in older versions).
bool isUninstallerCopy(const wchar_t* name) { return lstrcmpiW(name, L"Un.exe") == 0 || lstrcmpiW(name, L"Au_.exe") == 0; }

// Entries that the system keeps for itself and that change under the tests
// for reasons of its own: the pending renames through which the uninstaller's
// temporary copy is deleted at the next start, and the display and device
// entries that Wine writes when a session's first window opens, and the
// console defaults that Wine's console host writes for the prefix's first
// console (PowerShell's stand-in runs with one).
const wchar_t* const kSystemBookkeeping[] = {
    L"Console\\",
    L"Console :",
    L"System\\CurrentControlSet\\Control\\Session Manager :PendingFileRenameOperations",
    L"System\\CurrentControlSet\\Control\\Video\\",
    L"System\\CurrentControlSet\\Enum\\DISPLAY\\",
    L"System\\CurrentControlSet\\Control\\Class\\",
    L"System\\CurrentControlSet\\Control\\DeviceClasses\\",
    L"System\\CurrentControlSet\\Control\\ServiceCurrent",
    L"System\\CurrentControlSet\\Hardware Profiles\\",
    L"Hardware\\",
    L"Software\\Wine\\Temporary System Parameters\\",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\",
    L"Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\",
};
bool isSystemBookkeeping(const std::wstring& path) {
    for (const wchar_t* entry : kSystemBookkeeping)
        if (path.rfind(entry, 0) == 0) return true;
    return false;
}

bool uninstallerCopyRuns() {
    for (const PROCESSENTRY32W& process : wintest::runningProcesses())
        if (isUninstallerCopy(process.szExeFile)) return true;
    return false;
}

// The wizard's own window is a dialog too, but without a box's text control;
// its button IDOK is "Next", "Install" or "Close". A wizard page is driven by
// pressing that button whenever it is enabled, at most once a step.
wintest::RunOptions::Driver wizardStepper() {
    return [nextStepMs = DWORD{0}](HWND window, DWORD waitedMs) mutable {
        if (GetDlgItem(window, 0xFFFF) != nullptr || GetDlgItem(window, IDOK) == nullptr) return false;
        if (IsWindowEnabled(GetDlgItem(window, IDOK)) && waitedMs >= nextStepMs) {
            PostMessageW(window, WM_COMMAND, IDOK, 0);
            nextStepMs = waitedMs + kWizardStepMs;
        }
        return true;
    };
}

std::string hexBytes(const BYTE* data, DWORD size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (DWORD i = 0; i < size; ++i) {
        text.push_back(digits[data[i] >> 4]);
        text.push_back(digits[data[i] & 15]);
    }
    return text;
}

void dumpKey(HKEY root, REGSAM view, const std::wstring& path, const std::wstring& label, Snapshot& out) {
    HKEY key = nullptr;
    if (isSystemBookkeeping(path + L"\\")) return;
    if (RegOpenKeyExW(root, path.empty() ? nullptr : path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return;
    out[label + path] = "key";
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxValueData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values, &maxValueName,
                     &maxValueData, nullptr, nullptr);
    std::vector<wchar_t> name(std::max(maxSubKey, maxValueName) + 2);
    std::vector<BYTE> data(maxValueData + 2);
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            continue;
        if (isSystemBookkeeping(path + L" :" + std::wstring(name.data(), nameLength))) continue;
        out[label + path + L" :" + std::wstring(name.data(), nameLength)] =
            std::to_string(type) + ":" + hexBytes(data.data(), size);
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0; i < subKeys; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            children.emplace_back(name.data(), nameLength);
    }
    RegCloseKey(key);
    for (const auto& child : children)
        dumpKey(root, view, path.empty() ? child : path + L"\\" + child, label, out);
}

void dumpFolder(const std::wstring& folder, Snapshot& out) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    out[L"dir " + folder] = "folder";
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            dumpFolder(path, out);
        } else {
            out[L"file " + path] = wintest::readFileBytes(path);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

std::wstring knownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

}  // namespace

std::wstring testInstaller(const wchar_t* name) { return wintest::testProgramDirectory() + L"\\" + name; }

// Answers the boxes of the installer's child processes too (QuellisSetup
// shows its own), and walks through a wizard.
wintest::RunResult runInstaller(const wchar_t* name, const std::wstring& arguments, const wintest::RunOptions& options) {
    wintest::RunOptions watched = options;
    watched.timeoutMs = kInstallerTimeoutMs;
    watched.watchDescendants = true;
    watched.drive = wizardStepper();
    return wintest::runWatched(wintest::quoted(testInstaller(name)) + L" " + arguments, watched);
}

bool runUninstallAndWait(const std::wstring& commandLine, HKEY root) {
    wintest::RunOptions options;
    options.timeoutMs = kUninstallTimeoutMs;
    wintest::RunResult started = wintest::runWatched(commandLine, options);
    if (started.timedOut) return false;
    for (DWORD waited = 0; waited < kUninstallTimeoutMs; waited += kPollMs) {
        // The uninstaller removes its entry as its last step.
        if (!keyExists(root, kUninstallKey) && !uninstallerCopyRuns()) return true;
        Sleep(kPollMs);
    }
    return false;
}

std::wstring readString(HKEY root, const std::wstring& key, const wchar_t* valueName) {
    wchar_t text[1024] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), valueName, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return {};
    return text;
}

bool readDword(HKEY root, const std::wstring& key, const wchar_t* valueName, DWORD& value) {
    DWORD size = sizeof value;
    return RegGetValueW(root, key.c_str(), valueName, RRF_RT_REG_DWORD, nullptr, &value,
                        &size) == ERROR_SUCCESS;
}

void provideStandardProfileLocations() {
    for (const wchar_t* path : {L"Software\\Classes", L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    CreateDirectoryW((knownFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs").c_str(), nullptr);
}

Snapshot takeSnapshot(const std::vector<std::wstring>& folders) {
    Snapshot snapshot;
    dumpKey(HKEY_CURRENT_USER, KEY_WOW64_64KEY, L"", L"HKCU\\", snapshot);
    dumpKey(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"", L"HKLM64\\", snapshot);
    dumpKey(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, L"", L"HKLM32\\", snapshot);
    for (const auto& folder : folders) dumpFolder(folder, snapshot);
    return snapshot;
}

Snapshot takeFolderSnapshot(const std::wstring& folder) {
    Snapshot snapshot;
    dumpFolder(folder, snapshot);
    return snapshot;
}

std::string differences(const Snapshot& before, const Snapshot& after) {
    std::ostringstream out;
    for (const auto& [where, what] : before) {
        auto found = after.find(where);
        if (found == after.end()) out << "gone:    " << wintest::utf8(where) << "\n";
        else if (found->second != what) out << "changed: " << wintest::utf8(where) << "\n";
    }
    for (const auto& [where, what] : after)
        if (!before.count(where)) out << "added:   " << wintest::utf8(where) << "\n";
    return out.str();
}

std::wstring perUserDefaultFolder() { return knownFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Varkel"; }
std::wstring allUsersDefaultFolder() { return knownFolder(CSIDL_PROGRAM_FILES) + L"\\Varkel"; }
std::wstring startMenuPrograms(bool allUsers) { return knownFolder(allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS); }

}  // namespace installertest
