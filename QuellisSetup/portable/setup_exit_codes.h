// The setup tool's exit codes. Installers test them, so they never change.
#pragma once

namespace varkel::setup::exit_code {

inline constexpr int kDone = 0;
inline constexpr int kRejectedCommandLine = -1;
inline constexpr int kModuleNotLoadable = -2;
inline constexpr int kAppExportMissing = -3;       // RegisterVarkelApp / UnregisterVarkelApp
inline constexpr int kLauncherPathFailed = -4;     // storing or removing the launcher path
inline constexpr int kServerExportMissing = -5;    // DllRegisterServer / DllUnregisterServer
inline constexpr int kRegisterServerFailed = -6;   // registering or unregistering the extension
inline constexpr int kElevationNotStarted = -99;   // ShellExecuteExW failed
// Any other code is the elevated instance's, passed on unchanged.

}  // namespace varkel::setup::exit_code
