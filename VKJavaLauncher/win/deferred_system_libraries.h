// The few functions of user32.dll and advapi32.dll the launcher calls, bound
// on first use.
//
// A launch that goes well shows no box and moves no window, and with JAVA_PATH
// set reads no registry, so the launcher imports neither library: loading
// them is most of what a start costs beyond the process itself (under Wine,
// user32 starts the graphics driver, some 30 ms, and advapi32 some 4 ms).
// Both are among the system's known DLLs, so loading one by name always maps
// the system's own copy, whatever the DLL directory is set to.
#pragma once

#include <windows.h>

namespace varkel::win {

enum class DeferredLibrary { user32, advapi32 };

using MessageBoxFunction = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);
using GetWindowRectFunction = BOOL(WINAPI*)(HWND, LPRECT);
using MoveWindowFunction = BOOL(WINAPI*)(HWND, int, int, int, int, BOOL);
using RegOpenKeyExFunction = LSTATUS(WINAPI*)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
using RegQueryValueExFunction = LSTATUS(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using RegCloseKeyFunction = LSTATUS(WINAPI*)(HKEY);
// The Java installers' keys (platform_windows.cpp, their block).
using RegEnumKeyExFunction = LSTATUS(WINAPI*)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD, PFILETIME);
using RegGetValueFunction = LSTATUS(WINAPI*)(HKEY, LPCWSTR, LPCWSTR, DWORD, LPDWORD, PVOID, LPDWORD);

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
