// The few functions of user32.dll, advapi32.dll and version.dll the launcher
// calls, bound on first use.
//
// A launch that goes well shows no box and moves no window, and with JAVA_PATH
// set reads no registry, so the launcher imports none of them: loading
// them is most of what a start costs beyond the process itself (under Wine,
// user32 starts the graphics driver, some 30 ms, and advapi32 some 4 ms).
// user32 and advapi32 are among the system's known DLLs, so loading one by
// name always maps the system's own copy, whatever the DLL directory is set
// to; version.dll is not, and is loaded from the system folder by flag.
// version.dll reads a JVM library's version resource, which only
// JAVA_MIN_VERSION asks for, and only for a Java home without a release file.
// SINGLE_INSTANCE=1 reads token users and builds the pipe's DACL through
// advapi32, and grants the foreground through user32.
#pragma once

#include <windows.h>

namespace varkel::win {

enum class DeferredLibrary { user32, advapi32, version };

using MessageBoxFunction = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);
using GetWindowRectFunction = BOOL(WINAPI*)(HWND, LPRECT);
using MoveWindowFunction = BOOL(WINAPI*)(HWND, int, int, int, int, BOOL);
using RegOpenKeyExFunction = LSTATUS(WINAPI*)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
using RegQueryValueExFunction = LSTATUS(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using RegCloseKeyFunction = LSTATUS(WINAPI*)(HKEY);
// The Java installers' keys (platform_windows.cpp, their block).
using RegEnumKeyExFunction = LSTATUS(WINAPI*)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD, PFILETIME);
using RegGetValueFunction = LSTATUS(WINAPI*)(HKEY, LPCWSTR, LPCWSTR, DWORD, LPDWORD, PVOID, LPDWORD);
// A JVM library's version resource (platform_windows.cpp, fileProductVersion).
using GetFileVersionInfoSizeFunction = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueFunction = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
// The hand-over to the running instance (hand_over_pipe.cpp).
using OpenProcessTokenFunction = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using GetTokenInformationFunction = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
using ConvertSidToStringSidFunction = BOOL(WINAPI*)(PSID, LPWSTR*);
using ConvertStringSecurityDescriptorFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
using AllowSetForegroundWindowFunction = BOOL(WINAPI*)(DWORD);

// The address of a function of one of the libraries, or null when the
// library or the function cannot be found (the caller then does without it,
// as after a failed call). The library is loaded and the function looked up
// once (lazy_library.h).
void* deferredFunction(DeferredLibrary library, const char* name);

template <typename Function>
Function deferred(DeferredLibrary library, const char* name) {
    return reinterpret_cast<Function>(deferredFunction(library, name));
}

}  // namespace varkel::win
