// Stands in for the launcher (and for the installer's package tool): writes the
// command line it received, as UTF-16, to the file named by
// VARKEL_RECORDER_OUTPUT, then ends, with the exit code that
// VARKEL_RECORDER_EXIT_CODE names (0 without it). The file appears whole
// (written aside, then renamed), so a test that sees it can read it.
#include <windows.h>

#include <cwchar>
#include <string>

#include "menu_command.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t output[4096] = {};
    DWORD length = GetEnvironmentVariableW(quellistest::kRecorderOutputVariable, output, 4096);
    if (length == 0 || length >= 4096) return 1;
    std::wstring partial = std::wstring(output) + L".partial";
    const wchar_t* commandLine = GetCommandLineW();
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    WriteFile(file, commandLine, static_cast<DWORD>(lstrlenW(commandLine) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    if (!MoveFileExW(partial.c_str(), output, MOVEFILE_REPLACE_EXISTING)) return 3;
    wchar_t exitCode[16] = {};
    length = GetEnvironmentVariableW(quellistest::kRecorderExitCodeVariable, exitCode, 16);
    return length != 0 && length < 16 ? static_cast<int>(wcstol(exitCode, nullptr, 10)) : 0;
}
