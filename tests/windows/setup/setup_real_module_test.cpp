// The tool with the real "Quellis64.dll": the launcher path and the
// extension's registration land in the registry and go again.
#include <gtest/gtest.h>

#include "expected_texts.h"
#include "setup_harness.h"

namespace setuptest {
namespace {

const std::wstring kLauncher = L"C:\\Program Files\\Varkel\\Varkel-64.exe";
const std::wstring kClassKey = L"SOFTWARE\\Classes\\CLSID\\{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}";
const std::wstring kServerKey = kClassKey + L"\\InprocServer32";
const std::wstring kHandlerKey = L"SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers\\Varkel";

std::wstring defaultValue(HKEY root, const std::wstring& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return {};
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof buffer - sizeof(wchar_t);
    RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    return buffer;
}

void removeRegistration(HKEY root) {
    for (const std::wstring& key : {kServerKey, kClassKey, kHandlerKey})
        RegDeleteKeyExW(root, key.c_str(), KEY_WOW64_64KEY, 0);
}

class RealModuleSetup : public SetupTest {
protected:
    void SetUp() override {
        if (!realModuleAvailable()) GTEST_SKIP() << "Quellis64.dll was not built beside the test program";
        SetupTest::SetUp();
        removeRegistration(HKEY_CURRENT_USER);
        removeRegistration(HKEY_LOCAL_MACHINE);
    }
    void TearDown() override {
        removeRegistration(HKEY_CURRENT_USER);
        removeRegistration(HKEY_LOCAL_MACHINE);
        SetupTest::TearDown();
    }

    void expectRegistered(HKEY root, const SetupFolder& folder) {
        EXPECT_EQ(readCommand(root), kLauncher);
        EXPECT_EQ(defaultValue(root, kClassKey), L"Varkel Shell Extension");
        EXPECT_EQ(_wcsicmp(defaultValue(root, kServerKey).c_str(), folder.modulePath().c_str()), 0)
            << wintest::utf8(defaultValue(root, kServerKey));
        EXPECT_EQ(defaultValue(root, kHandlerKey), L"{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}");
    }

    void expectUnregistered(HKEY root) {
        EXPECT_FALSE(readCommand(root));
        EXPECT_FALSE(keyExists(root, kClassKey));
        EXPECT_FALSE(keyExists(root, kHandlerKey));
    }
};

TEST_F(RealModuleSetup, PerUserInstallUninstallAndASecondUninstall) {
    SetupFolder folder(Module::Real);
    const SetupRun installed = runSetup(folder, L"/install \"" + kLauncher + L"\"");
    EXPECT_EQ(installed.exitCode, 0);
    ASSERT_EQ(installed.boxes.size(), 1u);
    EXPECT_EQ(installed.boxes[0].box.text, installDone(kLauncher));
    EXPECT_EQ(installed.boxes[0].box.icon, L"information");
    expectRegistered(HKEY_CURRENT_USER, folder);
    expectUnregistered(HKEY_LOCAL_MACHINE);

    const SetupRun uninstalled = runSetup(folder, L"/uninstall");
    EXPECT_EQ(uninstalled.exitCode, 0);
    ASSERT_EQ(uninstalled.boxes.size(), 1u);
    EXPECT_EQ(uninstalled.boxes[0].box.text, kUninstallDone);
    expectUnregistered(HKEY_CURRENT_USER);

    const SetupRun again = runSetup(folder, L"/uninstall");
    EXPECT_EQ(again.exitCode, -4);
    EXPECT_TRUE(again.boxes.empty());

    const SetupRun shown = runSetup(folder, L"/nofork /uninstall");
    EXPECT_EQ(shown.exitCode, -4);
    ASSERT_EQ(shown.boxes.size(), 1u);
    EXPECT_EQ(shown.boxes[0].box.text, kRemovePathFailed);
}

TEST_F(RealModuleSetup, SilentAllUsersInstallAndUninstall) {
    SetupFolder folder(Module::Real);
    const SetupRun installed = runSetup(folder, L"/silent /allusers /install \"" + kLauncher + L"\"");
    EXPECT_EQ(installed.exitCode, 0);
    EXPECT_TRUE(installed.boxes.empty());
    expectRegistered(HKEY_LOCAL_MACHINE, folder);
    expectUnregistered(HKEY_CURRENT_USER);

    const SetupRun uninstalled = runSetup(folder, L"/allusers /silent /uninstall");
    EXPECT_EQ(uninstalled.exitCode, 0);
    EXPECT_TRUE(uninstalled.boxes.empty());
    expectUnregistered(HKEY_LOCAL_MACHINE);
}

TEST_F(RealModuleSetup, DeniedAllUsersInstallIsReportedByTheElevatedInstance) {
    DeniedAllUsersKey denied;
    SetupFolder folder(Module::Real);
    const SetupRun run = runSetup(folder, L"/allusers /install \"" + kLauncher + L"\"");

    EXPECT_EQ(run.exitCode, -4);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_FALSE(run.boxes[0].byFirstInstance);
    EXPECT_EQ(run.boxes[0].box.text, kWritePathFailed);
    EXPECT_EQ(run.boxes[0].box.icon, L"error");
    expectUnregistered(HKEY_LOCAL_MACHINE);
}

}  // namespace
}  // namespace setuptest
