// What the stand-in "Quellis64.dll" (quellis_standin.cpp) and the tests that
// configure it share: file names, registry names and behaviour words.
#pragma once

namespace standin {

inline constexpr const wchar_t* kLogName = L"calls.log";
inline constexpr const wchar_t* kConfigName = L"standin.cfg";
inline constexpr const char* kNullPath = "<none>";

inline constexpr const wchar_t* kAppKey = L"Software\\Orvane\\Varkel";
inline constexpr const wchar_t* kCommandValue = L"Command";
inline constexpr const wchar_t* kSetupToolName = L"QuellisSetup.exe";
inline constexpr const wchar_t* kHiddenSetupToolName = L"QuellisSetup.hidden";

// Behaviours, as written after "Export=" in the configuration.
inline constexpr const char* kRegistry = "registry";           // store or delete "Command" like the real module
inline constexpr const char* kSucceed = "true";
inline constexpr const char* kFail = "false";
inline constexpr const char* kHighBitsOnly = "high-bits-only";  // 0x100: false in the low byte
inline constexpr const char* kFailUnlessNoFork = "fail-unless-nofork";
inline constexpr const char* kHideSetupAndFail = "hide-setup-and-fail";  // rename QuellisSetup.exe, then false

}  // namespace standin
