// All-users runs and the elevated restart. Under Wine every process is an
// administrator, so a failing all-users write is made with a deny ACL on the
// pre-created key (DeniedAllUsersKey); the restart itself is real: the tool
// starts itself again with "runas", and the stand-in module records the
// command line each instance received.
#include <gtest/gtest.h>

#include "expected_texts.h"
#include "setup_harness.h"
#include "standin_behaviour.h"

namespace setuptest {
namespace {

const std::wstring kLauncher = L"C:\\Program Files\\Varkel\\Varkel-64.exe";
const std::wstring kInstallAllUsers = L"/allusers /install \"" + kLauncher + L"\"";

class AllUsersSetup : public SetupTest {};

bool endsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<StandinCall> callsOf(const std::vector<StandinCall>& calls, const std::string& exportName) {
    std::vector<StandinCall> found;
    for (const StandinCall& call : calls)
        if (call.exportName == exportName) found.push_back(call);
    return found;
}

// The first instance ran with the arguments as given, the second with
// "/nofork" and a blank in front of exactly the same arguments.
void expectRestartedWithNoFork(const SetupFolder& folder, const SetupRun& run, const std::string& exportName,
                               const std::wstring& arguments) {
    const std::vector<StandinCall> calls = callsOf(folder.calls(), exportName);
    ASSERT_EQ(calls.size(), 2u) << exportName << " should be called once by each instance";
    EXPECT_EQ(calls[0].processId, run.processId);
    EXPECT_EQ(calls[0].commandLine, wintest::quoted(folder.setupTool()) + L" " + arguments);
    EXPECT_NE(calls[1].processId, run.processId);
    EXPECT_TRUE(endsWith(calls[1].commandLine, L"\" /nofork " + arguments)) << wintest::utf8(calls[1].commandLine);
    EXPECT_NE(calls[1].commandLine.find(L"QuellisSetup.exe\""), std::wstring::npos);
    EXPECT_TRUE(calls[0].allUsers && calls[1].allUsers);
}

void expectBox(const ShownBox& shown, const std::wstring& text, const std::wstring& icon, bool byFirstInstance) {
    EXPECT_EQ(shown.box.caption, kCaption);
    EXPECT_EQ(shown.box.text, text);
    EXPECT_EQ(shown.box.icon, icon);
    EXPECT_EQ(shown.byFirstInstance, byFirstInstance);
}

TEST_F(AllUsersSetup, SilentInstallWithRightsSucceedsAtOnceShowingNothing) {
    SetupFolder folder(Module::Complete);
    const SetupRun run = runSetup(folder, L"/silent " + kInstallAllUsers);

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(readCommand(HKEY_LOCAL_MACHINE), kLauncher);
    EXPECT_FALSE(readCommand(HKEY_CURRENT_USER));
    const std::vector<StandinCall> calls = folder.calls();
    ASSERT_EQ(calls.size(), 2u);
    for (const StandinCall& call : calls) {
        EXPECT_EQ(call.processId, run.processId) << "no second instance";
        EXPECT_TRUE(call.allUsers);
    }
}

TEST_F(AllUsersSetup, DeniedInstallRestartsElevatedWhichReportsMinusFour) {
    DeniedAllUsersKey denied;
    SetupFolder folder(Module::Complete);
    const SetupRun run = runSetup(folder, kInstallAllUsers);

    EXPECT_EQ(run.exitCode, -4);
    ASSERT_EQ(run.boxes.size(), 1u) << "the first instance fails silently";
    expectBox(run.boxes[0], kWritePathFailed, L"error", false);
    expectRestartedWithNoFork(folder, run, "RegisterVarkelApp", kInstallAllUsers);
    EXPECT_TRUE(callsOf(folder.calls(), "DllRegisterServer").empty());
    EXPECT_FALSE(readCommand(HKEY_LOCAL_MACHINE));
}

TEST_F(AllUsersSetup, DeniedUninstallRestartsElevatedWhichReportsMinusFour) {
    DeniedAllUsersKey denied(kLauncher);
    SetupFolder folder(Module::Complete);
    const std::wstring arguments = L"/allusers  /uninstall";  // two blanks: passed on as they came
    const SetupRun run = runSetup(folder, arguments);

    EXPECT_EQ(run.exitCode, -4);
    ASSERT_EQ(run.boxes.size(), 1u);
    expectBox(run.boxes[0], kRemovePathFailed, L"error", false);
    expectRestartedWithNoFork(folder, run, "UnregisterVarkelApp", arguments);
    EXPECT_EQ(readCommand(HKEY_LOCAL_MACHINE), kLauncher);
}

TEST_F(AllUsersSetup, TheFirstInstanceExitsWithTheElevatedInstancesCode) {
    struct Case {
        const char* name;
        Module module;
        std::string config;
        int exitCode;
        std::wstring elevatedText;
        std::wstring icon;
        bool firstInstanceShowsToo;  // -2, -3 and -5 are always shown
    };
    const Case cases[] = {
        {"ElevatedSucceeds", Module::Complete, "RegisterVarkelApp=" + std::string(standin::kFailUnlessNoFork), 0,
         installDone(kLauncher), L"information", false},
        {"ElevatedFailsToRegister", Module::Complete, "DllRegisterServer=" + std::string(standin::kFail), -6,
         kRegisterServerFailed, L"warning", false},
        {"ModuleMissing", Module::None, "", -2, L"", L"error", true},
        {"ModuleLacksDllRegisterServer", Module::WithoutServerExports, "", -5, L"", L"error", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        removeAppKey(HKEY_LOCAL_MACHINE);
        SetupFolder folder(c.module);
        if (!c.config.empty()) folder.configure(c.config + "\n");
        const std::wstring text = c.module == Module::None ? moduleNotFound(folder.modulePath())
                                  : c.module == Module::WithoutServerExports
                                      ? exportMissing(L"DllRegisterServer", folder.modulePath())
                                      : c.elevatedText;

        const SetupRun run = runSetup(folder, kInstallAllUsers);

        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, c.exitCode);
        ASSERT_EQ(run.boxes.size(), c.firstInstanceShowsToo ? 2u : 1u);
        if (c.firstInstanceShowsToo) expectBox(run.boxes[0], text, c.icon, true);
        expectBox(run.boxes.back(), text, c.icon, false);
        if (c.module != Module::None) expectRestartedWithNoFork(folder, run, "RegisterVarkelApp", kInstallAllUsers);
    }
}

TEST_F(AllUsersSetup, NoForkAllUsersFailureIsShownWithoutRestart) {
    SetupFolder folder(Module::Complete);
    const SetupRun run = runSetup(folder, L"/nofork /allusers /uninstall");

    EXPECT_EQ(run.exitCode, -4);
    ASSERT_EQ(run.boxes.size(), 1u);
    expectBox(run.boxes[0], kRemovePathFailed, L"error", true);
    const std::vector<StandinCall> calls = folder.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].processId, run.processId);
}

TEST_F(AllUsersSetup, PerUserFailureIsNotRepeatedElevated) {
    SetupFolder folder(Module::Complete);
    folder.configure("DllRegisterServer=" + std::string(standin::kFail) + "\n");
    const SetupRun run = runSetup(folder, L"/install C:\\V.exe");

    EXPECT_EQ(run.exitCode, -6);
    EXPECT_TRUE(run.boxes.empty());
    for (const StandinCall& call : folder.calls()) EXPECT_EQ(call.processId, run.processId);
}

TEST_F(AllUsersSetup, ElevatedInstanceThatCannotStartGivesMinus99) {
    SetupFolder folder(Module::Complete);
    // The module moves the tool away before failing, so starting it again fails.
    folder.configure("RegisterVarkelApp=" + std::string(standin::kHideSetupAndFail) + "\n");
    const SetupRun run = runSetup(folder, kInstallAllUsers);

    EXPECT_EQ(run.exitCode, -99);
    for (const ShownBox& shown : run.boxes) EXPECT_NE(shown.box.caption, kCaption) << wintest::utf8(shown.box.text);
    ASSERT_EQ(folder.calls().size(), 1u);
    EXPECT_FALSE(wintest::fileExists(folder.setupTool()));
}

}  // namespace
}  // namespace setuptest
