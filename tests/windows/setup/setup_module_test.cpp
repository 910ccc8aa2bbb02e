// Failures of the module and its exports, for the current user: which
// message (if any) with which icon, the exit code, which exports were called
// and what the registry holds afterwards.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "expected_texts.h"
#include "setup_harness.h"
#include "standin_behaviour.h"

namespace setuptest {
namespace {

const std::wstring kLauncher = L"C:\\Varkel\\Varkel-64.exe";
const std::wstring kEarlierLauncher = L"C:\\Earlier\\Varkel-64.exe";

struct ExpectedBox {
    std::function<std::wstring(const SetupFolder&)> text;
    std::wstring icon;
};

struct ModuleCase {
    const char* name;
    Module module;
    std::string config;                 // standin.cfg
    bool commandStoredBefore;           // kEarlierLauncher stored under HKEY_CURRENT_USER first
    std::wstring arguments;
    int exitCode;
    std::optional<ExpectedBox> box;     // none: nothing may be shown
    std::vector<std::string> calls;     // exports called, in order
    std::optional<std::wstring> commandAfter;
};

std::string line(const char* exportName, const char* behaviour) {
    return std::string(exportName) + "=" + behaviour + "\n";
}

ExpectedBox notFound() {
    return {[](const SetupFolder& f) { return moduleNotFound(f.modulePath()); }, L"error"};
}
ExpectedBox missing(const wchar_t* exportName) {
    return {[exportName](const SetupFolder& f) { return exportMissing(exportName, f.modulePath()); }, L"error"};
}
ExpectedBox fixedText(const std::wstring& text, const wchar_t* icon) {
    return {[text](const SetupFolder&) { return text; }, icon};
}

const ModuleCase kCases[] = {
    {"ModuleMissing", Module::None, "", false, L"/install " + kLauncher, -2, notFound(), {}, std::nullopt},
    {"ModuleMissingSilent", Module::None, "", false, L"/silent /uninstall", -2, notFound(), {}, std::nullopt},
    {"NotAModule", Module::NotAModule, "", false, L"/uninstall", -2, notFound(), {}, std::nullopt},
    {"InstallLacksRegisterVarkelApp", Module::WithoutAppExports, "", false, L"/install " + kLauncher, -3,
     missing(L"RegisterVarkelApp"), {}, std::nullopt},
    {"UninstallLacksUnregisterVarkelApp", Module::WithoutAppExports, "", true, L"/uninstall", -3,
     missing(L"UnregisterVarkelApp"), {}, kEarlierLauncher},
    // The path stays stored when the second step fails: nothing is rolled back.
    {"InstallLacksDllRegisterServer", Module::WithoutServerExports, "", false, L"/install " + kLauncher, -5,
     missing(L"DllRegisterServer"), {"RegisterVarkelApp"}, kLauncher},
    {"UninstallLacksDllUnregisterServer", Module::WithoutServerExports, "", true, L"/uninstall", -5,
     missing(L"DllUnregisterServer"), {"UnregisterVarkelApp"}, std::nullopt},
    // Registry failures: silent without "/nofork", and the second step is not tried.
    {"StoringFailsSilently", Module::Complete, line("RegisterVarkelApp", standin::kFail), false,
     L"/install " + kLauncher, -4, std::nullopt, {"RegisterVarkelApp"}, std::nullopt},
    {"StoringFailsNoFork", Module::Complete, line("RegisterVarkelApp", standin::kFail), false,
     L"/nofork /install " + kLauncher, -4, fixedText(kWritePathFailed, L"error"), {"RegisterVarkelApp"},
     std::nullopt},
    {"OnlyTheLowByteCounts", Module::Complete, line("RegisterVarkelApp", standin::kHighBitsOnly), false,
     L"/nofork /silent /install " + kLauncher, -4, fixedText(kWritePathFailed, L"error"), {"RegisterVarkelApp"},
     std::nullopt},
    {"RemovingFailsNoFork", Module::Complete, "", false, L"/uninstall /nofork", -4,
     fixedText(kRemovePathFailed, L"error"), {"UnregisterVarkelApp"}, std::nullopt},
    {"RegisteringFailsSilently", Module::Complete, line("DllRegisterServer", standin::kFail), false,
     L"/install " + kLauncher, -6, std::nullopt, {"RegisterVarkelApp", "DllRegisterServer"}, kLauncher},
    {"RegisteringFailsNoFork", Module::Complete, line("DllRegisterServer", standin::kHighBitsOnly), false,
     L"/nofork /install " + kLauncher, -6, fixedText(kRegisterServerFailed, L"warning"),
     {"RegisterVarkelApp", "DllRegisterServer"}, kLauncher},
    {"UnregisteringFailsSilently", Module::Complete, line("DllUnregisterServer", standin::kFail), true,
     L"/uninstall", -6, std::nullopt, {"UnregisterVarkelApp", "DllUnregisterServer"}, std::nullopt},
    {"UnregisteringFailsNoFork", Module::Complete, line("DllUnregisterServer", standin::kFail), true,
     L"/silent /uninstall /nofork", -6, fixedText(kUnregisterServerFailed, L"warning"),
     {"UnregisterVarkelApp", "DllUnregisterServer"}, std::nullopt},
};

class ModuleFailure : public SetupTest {};

TEST_F(ModuleFailure, ExitCodeMessageCallsAndRegistry) {
    for (const ModuleCase& c : kCases) {
        SCOPED_TRACE(c.name);
        removeAppKey(HKEY_CURRENT_USER);
        if (c.commandStoredBefore) writeCommand(HKEY_CURRENT_USER, kEarlierLauncher);
        SetupFolder folder(c.module);
        if (!c.config.empty()) folder.configure(c.config);

        const SetupRun run = runSetup(folder, c.arguments);

        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, c.exitCode);
        if (c.box) {
            ASSERT_EQ(run.boxes.size(), 1u);
            EXPECT_EQ(run.boxes[0].box.caption, kCaption);
            EXPECT_EQ(run.boxes[0].box.text, c.box->text(folder));
            EXPECT_EQ(run.boxes[0].box.icon, c.box->icon);
            EXPECT_TRUE(run.boxes[0].box.hasOk);
        } else {
            EXPECT_TRUE(run.boxes.empty()) << wintest::utf8(run.boxes.empty() ? L"" : run.boxes[0].box.text);
        }
        std::vector<std::string> called;
        for (const StandinCall& call : folder.calls()) {
            called.push_back(call.exportName);
            EXPECT_FALSE(call.allUsers);
        }
        EXPECT_EQ(called, c.calls);
        EXPECT_EQ(readCommand(HKEY_CURRENT_USER), c.commandAfter);
        EXPECT_FALSE(readCommand(HKEY_LOCAL_MACHINE));
    }
}

}  // namespace
}  // namespace setuptest
