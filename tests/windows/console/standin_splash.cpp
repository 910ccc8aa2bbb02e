// A stand-in for a Java runtime's "splashscreen.dll": its four entry points
// draw nothing and append what they received to the record file named by the
// environment (standin_protocol.h), so a test can read their order and
// arguments. Loading appends an "attach" line with the module's bitness, its
// own path and the DLL directory in force, which tells which candidate loaded
// and from which search directory.
//
// Built for both bitnesses: the one the launcher cannot load must be skipped.
#include <windows.h>

#include <string>

#include "standin_protocol.h"

namespace {

using namespace consoletest;

HMODULE selfModule = nullptr;

std::string utf8(const wchar_t* text, DWORD length) {
    if (length == 0) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), n, nullptr, nullptr);
    return out;
}

// Each line goes out in one unbuffered write: the launcher may end the
// process right after a call.
void record(const std::string& line) {
    wchar_t path[MAX_PATH * 4] = {};
    DWORD length = GetEnvironmentVariableW(kSplashRecordVariable, path, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4) return;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

void recordAttach() {
    wchar_t modulePath[MAX_PATH * 4] = {};
    DWORD moduleLength = GetModuleFileNameW(selfModule, modulePath, MAX_PATH * 4);
    wchar_t dllDirectory[MAX_PATH * 4] = {};
    DWORD directoryLength = GetDllDirectoryW(MAX_PATH * 4, dllDirectory);
    record("attach " + std::to_string(sizeof(void*) * 8) + " " + utf8(modulePath, moduleLength) + " " +
           utf8(dllDirectory, directoryLength));
}

std::string nameOrNull(const char* name) { return name ? std::string(name) : std::string(kNullName); }

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        selfModule = instance;
        recordAttach();
    }
    return TRUE;
}

__declspec(dllexport) void SplashInit(void) { record("SplashInit"); }

__declspec(dllexport) int SplashLoadFile(const char* fileName) {
    record("SplashLoadFile " + nameOrNull(fileName));
    return 1;
}

__declspec(dllexport) void SplashSetFileJarName(const char* fileName, const char* jarName) {
    record("SplashSetFileJarName " + nameOrNull(fileName) + " " + nameOrNull(jarName));
}

__declspec(dllexport) void SplashClose(void) { record("SplashClose"); }

}  // extern "C"
