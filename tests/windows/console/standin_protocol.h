// What the console and splash-screen stand-ins and the tests that drive them
// share: the environment variables that set the stand-ins' behaviour (the
// launcher inherits them from the test) and the lines of the splash record.
#pragma once

namespace consoletest {

// ---- The stand-in "jvm.dll" (standin_jvm.cpp) -----------------------------------------
inline constexpr const wchar_t* kMainResultVariable = L"VARKEL_CONSOLE_MAIN_RESULT";  // mainVK's return value
inline constexpr const wchar_t* kExceptionVariable = L"VARKEL_CONSOLE_EXCEPTION";     // mainVK throws; toString() gives this
inline constexpr const wchar_t* kMissingClassVariable = L"VARKEL_CONSOLE_MISSING_CLASS";  // "1": no main class
// mainVK writes this line to the standard output handle, as a Java program's
// System.out does, and then to the C runtime's stdout stream.
inline constexpr const wchar_t* kOutputVariable = L"VARKEL_CONSOLE_OUTPUT";
// mainVK waits (at most kHoldLimitMs) until this file exists, so that a test
// can look at a launcher that would otherwise end at once. While it waits, a
// file of the same name with kHeldSuffix says so.
inline constexpr const wchar_t* kHoldFileVariable = L"VARKEL_CONSOLE_HOLD_FILE";
inline constexpr const wchar_t* kHeldSuffix = L".held";
inline constexpr unsigned kHoldLimitMs = 60000;

// ---- The stand-in "splashscreen.dll" (standin_splash.cpp) ------------------------------
// The file each call is appended to, one line a call, in UTF-8:
//   attach <bits> <module path> <DLL directory at load time>
//   SplashInit
//   SplashLoadFile <image>
//   SplashSetFileJarName <image> <jar name, or "(null)">
//   SplashClose
inline constexpr const wchar_t* kSplashRecordVariable = L"VARKEL_SPLASH_RECORD";
inline constexpr const char* kNullName = "(null)";

}  // namespace consoletest
