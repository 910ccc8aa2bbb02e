// A stand-in for "Quellis64.dll" with the four exports the setup tool calls.
//
// Every call is appended to "calls.log" beside the module, one line each:
//   process id <TAB> export <TAB> allUsers <TAB> launcher path <TAB> command line
// so a test can see which instance called what, with which arguments.
//
// What each export does is read from "standin.cfg" beside the module, one
// "Export=behaviour" line each (standin_behaviour.h has the words). By default
// RegisterVarkelApp and UnregisterVarkelApp store and delete the value
// "Command" of "Software\Orvane\Varkel" as the real module does, and the two
// server exports succeed without touching the registry.
//
// Built three times: complete, without the two launcher-path exports
// (STANDIN_WITHOUT_APP_EXPORTS), and without the two server exports
// (STANDIN_WITHOUT_SERVER_EXPORTS).
#include <windows.h>

#include <string>

#include "standin_behaviour.h"

namespace {

HMODULE selfModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&selfModule), &module);
    return module;
}

std::wstring ownFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(selfModule(), path, MAX_PATH * 4);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void logCall(const char* exportName, bool allUsers, const wchar_t* launcherPath) {
    std::string line = std::to_string(GetCurrentProcessId()) + "\t" + exportName + "\t" + (allUsers ? "1" : "0") +
                       "\t" + (launcherPath ? utf8(launcherPath) : std::string(standin::kNullPath)) + "\t" +
                       utf8(GetCommandLineW()) + "\n";
    HANDLE file = CreateFileW((ownFolder() + standin::kLogName).c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

std::string behaviourOf(const char* exportName, const char* fallback) {
    HANDLE file = CreateFileW((ownFolder() + standin::kConfigName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fallback;
    char buffer[4096] = {};
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer - 1, &got, nullptr);
    CloseHandle(file);
    const std::string config(buffer, got);
    const std::string key = std::string(exportName) + "=";
    for (size_t start = 0; start < config.size();) {
        size_t end = config.find('\n', start);
        if (end == std::string::npos) end = config.size();
        const std::string line = config.substr(start, end - start);
        if (line.rfind(key, 0) == 0) return line.substr(key.size());
        start = end + 1;
    }
    return fallback;
}

HKEY rootFor(bool allUsers) { return allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

bool storeCommand(const wchar_t* launcherPath, bool allUsers) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(rootFor(allUsers), standin::kAppKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD bytes = static_cast<DWORD>((wcslen(launcherPath) + 1) * sizeof(wchar_t));
    const bool stored = RegSetValueExW(key, standin::kCommandValue, 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(launcherPath), bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

bool deleteCommand(bool allUsers) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(rootFor(allUsers), standin::kAppKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    const bool deleted = RegDeleteValueW(key, standin::kCommandValue) == ERROR_SUCCESS;
    RegCloseKey(key);
    return deleted;
}

bool runningWithNoFork() { return wcsstr(GetCommandLineW(), L" /nofork ") != nullptr; }

// Renames the setup tool beside the module, so that starting it again fails.
void hideSetupTool() {
    MoveFileW((ownFolder() + standin::kSetupToolName).c_str(), (ownFolder() + standin::kHiddenSetupToolName).c_str());
}

// The export's result in eax. Only the low byte counts for the setup tool, so
// "high-bits-only" returns 0x100: a caller that read the whole register would
// take it for success.
int act(const char* exportName, const char* fallback, bool allUsers, const wchar_t* argument, bool storesPath) {
    logCall(exportName, allUsers, argument);
    const std::string behaviour = behaviourOf(exportName, fallback);
    if (behaviour == standin::kSucceed) return 1;
    if (behaviour == standin::kFail) return 0;
    if (behaviour == standin::kHighBitsOnly) return 0x100;
    if (behaviour == standin::kFailUnlessNoFork) return runningWithNoFork() ? 1 : 0;
    if (behaviour == standin::kHideSetupAndFail) {
        hideSetupTool();
        return 0;
    }
    if (behaviour == standin::kRegistry) {
        if (storesPath) return storeCommand(argument ? argument : L"", allUsers) ? 1 : 0;
        return deleteCommand(allUsers) ? 1 : 0;
    }
    return 0;
}

}  // namespace

#define STANDIN_EXPORT extern "C" __declspec(dllexport)

#ifndef STANDIN_WITHOUT_APP_EXPORTS
STANDIN_EXPORT int RegisterVarkelApp(const wchar_t* launcherPath, bool allUsers) {
    return act("RegisterVarkelApp", standin::kRegistry, allUsers, launcherPath, true);
}

STANDIN_EXPORT int UnregisterVarkelApp(const wchar_t* ignored, bool allUsers) {
    return act("UnregisterVarkelApp", standin::kRegistry, allUsers, ignored, false);
}
#endif

#ifndef STANDIN_WITHOUT_SERVER_EXPORTS
STANDIN_EXPORT int DllRegisterServer(bool allUsers) {
    return act("DllRegisterServer", standin::kSucceed, allUsers, nullptr, false);
}

STANDIN_EXPORT int DllUnregisterServer(bool allUsers) {
    return act("DllUnregisterServer", standin::kSucceed, allUsers, nullptr, false);
}
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
