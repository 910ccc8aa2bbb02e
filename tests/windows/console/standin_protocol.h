// What the splash-screen stand-in and the tests that drive it share: the
// environment variable that names its record (the launcher inherits it from
// the test) and the lines of that record. The stand-in "jvm.dll" is the
// launcher tests' own (tests/windows/launcher/standin_jvm_protocol.h).
#pragma once

namespace consoletest {

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
