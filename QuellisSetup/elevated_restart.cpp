#include "elevated_restart.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "elevation_rule.h"
#include "owners.h"
#include "setup_exit_codes.h"
#include "utf16_view.h"

namespace varkel::setup {

static_assert(sizeof(SHELLEXECUTEINFOW) == 112, "the 64-bit record that ShellExecuteExW expects");

namespace {

constexpr const wchar_t* kElevateVerb = L"runas";

// The elevated instance's exit code; kElevationNotStarted when there is no
// process to wait for.
int waitForExitCode(HANDLE started) {
    const HandleOwner process(started);
    if (!process) return exit_code::kElevationNotStarted;
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = static_cast<DWORD>(exit_code::kElevationNotStarted);
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);  // the signed value: 0xFFFFFFFC is -4
}

}  // namespace

int restartElevated(const std::wstring& exePath, const wchar_t* commandLine) {
    const std::wstring parameters = toWide(elevatedParameters(asPortable(commandLine ? commandLine : L"")));
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    // NOCLOSEPROCESS: the handle to wait on. NOASYNC: the request completes
    // before the call returns, although this program has no message loop.
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    request.lpVerb = kElevateVerb;
    request.lpFile = exePath.c_str();
    request.lpParameters = parameters.c_str();
    request.nShow = SW_SHOWDEFAULT;
    // ShellExecuteExW may hand the request to a shell extension that uses COM:
    // its documentation asks for an apartment-threaded COM, without OLE1 DDE.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const bool started = ShellExecuteExW(&request) != 0;
    if (SUCCEEDED(com)) CoUninitialize();
    if (!started) return exit_code::kElevationNotStarted;
    return waitForExitCode(request.hProcess);
}

}  // namespace varkel::setup
