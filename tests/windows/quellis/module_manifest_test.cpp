// The extension's isolation-aware manifest (resource id 2) as Windows uses it:
// it decides nothing for Explorer's process, but an activation context made
// from it gives the code and resources that run inside it Common-Controls 6,
// where the host's own context gives the system's comctl32.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "quellis_module.h"
#include "test_files.h"

using namespace quellistest;

namespace {

// The side-by-side folder of Common-Controls 6, after its architecture.
constexpr const wchar_t* kCommonControls6Folder = L"_microsoft.windows.common-controls_6595b64144ccf1df_6.0.";

// Whether the active activation context sends comctl32.dll to a side-by-side
// assembly.
bool commonControlsRedirected() {
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    return FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data);
}

// Loaded once per process: a later plain load by name finds this one again.
std::wstring commonControlsPath() {
    HMODULE module = LoadLibraryW(L"comctl32.dll");
    if (!module) return L"<error " + std::to_wstring(GetLastError()) + L">";
    wchar_t path[32768];
    DWORD length = GetModuleFileNameW(module, path, 32768);
    std::wstring text(path, length < 32768 ? length : 0);
    for (wchar_t& unit : text) unit = static_cast<wchar_t>(std::towlower(unit));
    return text;
}

TEST(ModuleManifest, ItsActivationContextGivesCommonControls6) {
    EXPECT_FALSE(commonControlsRedirected()) << "this test program, which has no manifest, gets the system's comctl32";
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = quellis().handle;
    request.lpResourceName = ISOLATIONAWARE_MANIFEST_RESOURCE_ID;
    HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie)) << "error " << GetLastError();
    const bool redirected = commonControlsRedirected();
    const std::wstring path = commonControlsPath();
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);

    EXPECT_TRUE(redirected);
    EXPECT_NE(path.find(kCommonControls6Folder), std::wstring::npos) << wintest::utf8(path);
}

}  // namespace
