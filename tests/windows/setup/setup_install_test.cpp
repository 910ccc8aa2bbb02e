// Install and uninstall for the current user, through the stand-in module
// that stores and deletes "Command" as the real one does.
#include <gtest/gtest.h>

#include "expected_texts.h"
#include "setup_harness.h"

namespace setuptest {
namespace {

const std::wstring kPathWithBlanks = L"C:\\Program Files\\Varkel Log Reader\\Varkel-64.exe";

class PerUserSetup : public SetupTest {};

// Which exports were called, in order, as "name(allUsers)".
std::vector<std::string> callOrder(const std::vector<StandinCall>& calls) {
    std::vector<std::string> order;
    for (const StandinCall& call : calls) order.push_back(call.exportName + (call.allUsers ? "(1)" : "(0)"));
    return order;
}

void expectSingleBox(const SetupRun& run, const std::wstring& text, const std::wstring& icon) {
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].box.caption, kCaption);
    EXPECT_EQ(run.boxes[0].box.text, text);
    EXPECT_EQ(run.boxes[0].box.icon, icon);
    EXPECT_TRUE(run.boxes[0].box.hasOk);
    EXPECT_FALSE(run.boxes[0].box.hasCancel);
}

TEST_F(PerUserSetup, InstallStoresAQuotedPathWithBlanksWhole) {
    SetupFolder folder(Module::Complete);
    const SetupRun run = runSetup(folder, L"/install \"" + kPathWithBlanks + L"\"");

    EXPECT_EQ(run.exitCode, 0);
    expectSingleBox(run, installDone(kPathWithBlanks), L"information");
    EXPECT_EQ(readCommand(HKEY_CURRENT_USER), kPathWithBlanks);
    EXPECT_FALSE(readCommand(HKEY_LOCAL_MACHINE));
    // The path is stored before the extension is registered.
    EXPECT_EQ(callOrder(folder.calls()), (std::vector<std::string>{"RegisterVarkelApp(0)", "DllRegisterServer(0)"}));
    ASSERT_FALSE(folder.calls().empty());
    EXPECT_EQ(wintest::wide(folder.calls()[0].argument), kPathWithBlanks);
}

TEST_F(PerUserSetup, InstallKeepsTheLastPathAndPassesItUnexamined) {
    SetupFolder folder(Module::Complete);
    const std::wstring path = L"D:\\\x0412\x0430\x0440\x043A\x0435\x043B \x6587\\Varkel-64.exe";
    const SetupRun run = runSetup(folder, L"/install C:\\first.exe /silent /install \"" + path + L"\"");

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(readCommand(HKEY_CURRENT_USER), path);
}

TEST_F(PerUserSetup, UninstallRemovesThePathAndASecondOneFailsWithMinusFour) {
    SetupFolder folder(Module::Complete);
    ASSERT_EQ(runSetup(folder, L"/silent /install \"" + kPathWithBlanks + L"\"").exitCode, 0);
    ASSERT_EQ(readCommand(HKEY_CURRENT_USER), kPathWithBlanks);

    const SetupRun first = runSetup(folder, L"/uninstall");
    EXPECT_EQ(first.exitCode, 0);
    expectSingleBox(first, kUninstallDone, L"information");
    EXPECT_FALSE(readCommand(HKEY_CURRENT_USER));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kAppKey)) << "the key itself stays";

    // Without "/nofork" the registry failure is reported by the exit code alone.
    const SetupRun second = runSetup(folder, L"/uninstall");
    EXPECT_EQ(second.exitCode, -4);
    EXPECT_TRUE(second.boxes.empty());
    EXPECT_FALSE(readCommand(HKEY_CURRENT_USER));

    // The launcher path argument of UnregisterVarkelApp is empty, never null;
    // the extension is unregistered only after the path was removed.
    EXPECT_EQ(callOrder(folder.calls()),
              (std::vector<std::string>{"RegisterVarkelApp(0)", "DllRegisterServer(0)", "UnregisterVarkelApp(0)",
                                        "DllUnregisterServer(0)", "UnregisterVarkelApp(0)"}));
    for (const StandinCall& call : folder.calls()) {
        if (call.exportName == "UnregisterVarkelApp") {
            EXPECT_EQ(call.argument, "");
        }
    }
}

TEST_F(PerUserSetup, NoForkShowsTheRegistryFailure) {
    SetupFolder folder(Module::Complete);
    const SetupRun run = runSetup(folder, L"/nofork /uninstall");

    EXPECT_EQ(run.exitCode, -4);
    expectSingleBox(run, kRemovePathFailed, L"error");
}

TEST_F(PerUserSetup, SilentSuppressesOnlyTheSuccessMessage) {
    SetupFolder folder(Module::Complete);
    const SetupRun installed = runSetup(folder, L"/silent /install C:\\V\\Varkel-64.exe");
    EXPECT_EQ(installed.exitCode, 0);
    EXPECT_TRUE(installed.boxes.empty());
    EXPECT_EQ(readCommand(HKEY_CURRENT_USER), L"C:\\V\\Varkel-64.exe");

    const SetupRun uninstalled = runSetup(folder, L"/uninstall /silent");
    EXPECT_EQ(uninstalled.exitCode, 0);
    EXPECT_TRUE(uninstalled.boxes.empty());
    EXPECT_FALSE(readCommand(HKEY_CURRENT_USER));

    const SetupRun failed = runSetup(folder, L"/silent /nofork /uninstall");
    EXPECT_EQ(failed.exitCode, -4);
    expectSingleBox(failed, kRemovePathFailed, L"error");
}

}  // namespace
}  // namespace setuptest
