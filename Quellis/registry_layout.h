// Where the extension's registration and the launcher path live. This layout
// is the only contract between the setup tool, the extension and the
// launcher's installation; key names keep the letter case written here.
#pragma once

#include <windows.h>

#include <string>

inline constexpr const wchar_t* kClsidKeyPrefix = L"SOFTWARE\\Classes\\CLSID\\";
inline constexpr const wchar_t* kInprocServerSuffix = L"\\InprocServer32";
inline constexpr const wchar_t* kContextMenuHandlerKey = L"SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers\\Varkel";
inline constexpr const wchar_t* kThreadingModelValue = L"ThreadingModel";
inline constexpr const wchar_t* kThreadingModel = L"Apartment";
inline constexpr const wchar_t* kClassDescription = L"Varkel Shell Extension";

inline constexpr const wchar_t* kLauncherKey = L"Software\\Orvane\\Varkel";
inline constexpr const wchar_t* kLauncherCommandValue = L"Command";

// allUsers registers for every user of the machine, otherwise for the caller.
inline HKEY registrationRoot(bool allUsers) { return allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// The class id as StringFromGUID2 writes it: upper-case hex in braces.
std::wstring classIdString();
inline std::wstring clsidKey() { return kClsidKeyPrefix + classIdString(); }
inline std::wstring inprocServerKey() { return clsidKey() + kInprocServerSuffix; }
