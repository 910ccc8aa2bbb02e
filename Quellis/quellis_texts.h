// The context-menu command's fixed texts.
#pragma once

inline constexpr const wchar_t* kMenuItemText = L"Open with &Varkel";  // the ampersand marks the access key
inline constexpr const char* kVerbA = "owvarkel";
inline constexpr const wchar_t* kVerbW = L"owvarkel";
inline constexpr const char* kHelpTextA = "Open file(s) with Varkel";
inline constexpr const wchar_t* kHelpTextW = L"Open file(s) with Varkel";
inline constexpr const wchar_t* kMessageCaption = L"Varkel";
