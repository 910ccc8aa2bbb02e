// Stands in for Windows PowerShell as the installer runs it for
// shell-package.ps1: appends the command line it received, and a line feed,
// as UTF-16 to the file named by VARKEL_PACKAGE_TOOL_LOG, so that a test sees
// every call of one installation in order; then ends with the exit code that
// VARKEL_PACKAGE_TOOL_EXIT_CODE names (0 without it).
#include <windows.h>

#include <cwchar>

#include "package_tool_log.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t log[4096] = {};
    DWORD length = GetEnvironmentVariableW(installertest::kPackageToolLogVariable, log, 4096);
    if (length == 0 || length >= 4096) return 1;
    HANDLE file = CreateFileW(log, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    const wchar_t* commandLine = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, commandLine, static_cast<DWORD>(lstrlenW(commandLine) * sizeof(wchar_t)), &written, nullptr);
    WriteFile(file, L"\n", sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    wchar_t exitCode[16] = {};
    length = GetEnvironmentVariableW(installertest::kPackageToolExitCodeVariable, exitCode, 16);
    return length != 0 && length < 16 ? static_cast<int>(wcstol(exitCode, nullptr, 10)) : 0;
}
