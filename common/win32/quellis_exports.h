// The four exports of "Quellis64.dll" that the setup tool binds by name,
// declared once for the module that defines them and the tool that calls them.
//
// They take the setup tool's allUsers flag as a one-byte boolean and return
// one, with the Windows calling convention. DllRegisterServer and
// DllUnregisterServer keep the names that COM tools look for, but a generic
// registration tool calls them without the flag: the extension is registered
// through QuellisSetup only.
#pragma once

#include <windows.h>

namespace varkel {

// The module's file name: the setup tool loads it from its own directory.
inline constexpr const wchar_t* kQuellisModuleName = L"Quellis64.dll";

// The names the exports are bound by (GetProcAddress takes narrow names).
inline constexpr const char* kRegisterAppExportName = "RegisterVarkelApp";
inline constexpr const char* kUnregisterAppExportName = "UnregisterVarkelApp";
inline constexpr const char* kRegisterServerExportName = "DllRegisterServer";
inline constexpr const char* kUnregisterServerExportName = "DllUnregisterServer";

using ServerExport = bool(WINAPI*)(bool allUsers);                          // DllRegisterServer, DllUnregisterServer
using AppExport = bool(WINAPI*)(const wchar_t* launcherPath, bool allUsers);  // RegisterVarkelApp, UnregisterVarkelApp

}  // namespace varkel
