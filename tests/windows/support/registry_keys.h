// Questions about registry keys that the Windows-side tests of several areas ask.
#pragma once

#include <windows.h>

#include <string>

namespace wintest {

// Whether root holds key, in the 64-bit view.
bool keyExists(HKEY root, const std::wstring& key);

}  // namespace wintest
