#include "menu_command.h"

#include <shellapi.h>

#include "test_files.h"

namespace quellistest {

namespace {
constexpr DWORD kPollMs = 50;
}  // namespace

HRESULT invokeVerb(IContextMenu* menu) {
    CMINVOKECOMMANDINFOEX info{};
    info.cbSize = sizeof info;
    info.fMask = CMIC_MASK_UNICODE;
    info.lpVerb = "owvarkel";
    info.lpVerbW = L"owvarkel";
    info.nShow = SW_SHOWNORMAL;
    return menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
}

std::wstring waitForRecordedCommandLine(const std::wstring& output, DWORD waitMs) {
    for (DWORD waited = 0; !wintest::fileExists(output) && waited < waitMs; waited += kPollMs) Sleep(kPollMs);
    const std::string bytes = wintest::readFileBytes(output);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

}  // namespace quellistest
