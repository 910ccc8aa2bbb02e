// The few user32 functions the launcher calls, bound on first use.
//
// A launch that goes well shows no box and moves no window, so the launcher
// does not import user32.dll: loading it costs a noticeable part of the
// launcher's start-up (under Wine it starts the graphics driver, some 30 ms).
// user32.dll is one of the system's known DLLs, so loading it by name always
// maps the system's own copy, whatever the DLL directory is set to.
#pragma once

#include <windows.h>

namespace varkel::win {

using MessageBoxFunction = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);
using GetWindowRectFunction = BOOL(WINAPI*)(HWND, LPRECT);
using MoveWindowFunction = BOOL(WINAPI*)(HWND, int, int, int, int, BOOL);

// The address of a user32 function, or null when user32.dll or the function
// cannot be found (the caller then does without it, as a failed call).
void* user32Function(const char* name);

template <typename Function>
Function user32(const char* name) {
    return reinterpret_cast<Function>(user32Function(name));
}

}  // namespace varkel::win
