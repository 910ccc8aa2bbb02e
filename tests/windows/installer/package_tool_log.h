// The recorder that the test installers run in PowerShell's place
// (package_tool_recorder.cpp) and what it is told.
#pragma once

namespace installertest {

// The file each call's command line is appended to, one line each.
inline constexpr const wchar_t* kPackageToolLogVariable = L"VARKEL_PACKAGE_TOOL_LOG";
// The exit code of every call (0 without it).
inline constexpr const wchar_t* kPackageToolExitCodeVariable = L"VARKEL_PACKAGE_TOOL_EXIT_CODE";

}  // namespace installertest
