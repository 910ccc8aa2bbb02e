// Picking the extension's menu command as Explorer does, and reading what the
// recorder (quellis_recorder.exe, standing in for the launcher) received.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace quellistest {

// The recorder writes its command line to the file this variable names.
inline constexpr const wchar_t* kRecorderOutputVariable = L"VARKEL_RECORDER_OUTPUT";
// ... and ends with the exit code this variable names (0 without it).
inline constexpr const wchar_t* kRecorderExitCodeVariable = L"VARKEL_RECORDER_EXIT_CODE";
inline constexpr DWORD kRecorderWaitMs = 20000;

// InvokeCommand with the extension's verb in the Unicode record, as Explorer
// calls it when the user picks the item; returns its result.
HRESULT invokeVerb(IContextMenu* menu);

// The command line the recorder wrote to output, read as UTF-16; empty when
// the file did not appear within waitMs.
std::wstring waitForRecordedCommandLine(const std::wstring& output, DWORD waitMs = kRecorderWaitMs);

}  // namespace quellistest
