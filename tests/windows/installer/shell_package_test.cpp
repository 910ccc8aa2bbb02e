// The installer's Windows 11 step: shell-package.ps1 run through the package
// tool (PowerShell; here a recorder in its place, which notes every command
// line and ends with the code a test asks for), per user or for every
// account, a signed package only unless an all-users installation asks for
// the unsigned one, skipped before Windows 11, safe mode and failures noted
// but not fatal, removed before a reinstallation and by the uninstaller only
// when it was added; each install and uninstall leaving nothing behind.
#include <windows.h>
#include <gtest/gtest.h>

#include <sstream>

#include "installer_harness.h"
#include "launcher_fixture.h"
#include "package_tool_log.h"
#include "registry_lock.h"
#include "test_files.h"

using namespace installertest;

namespace {

constexpr const wchar_t* kUnsigned = L"Varkel-Setup-test.exe";
constexpr const wchar_t* kSigned = L"Varkel-Setup-signed.exe";
constexpr const wchar_t* kCurrentVersionKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const wchar_t* kBuildValue = L"CurrentBuildNumber";
constexpr const wchar_t* kLauncherKey = L"Software\\Orvane\\Varkel";

// Windows reports its build in the registry, where the installer reads it;
// the test names the build for as long as it lives.
class WindowsBuild {
public:
    explicit WindowsBuild(const std::wstring& build) : saved_(readString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildValue)) {
        write(build);
    }
    ~WindowsBuild() { write(saved_); }
    WindowsBuild(const WindowsBuild&) = delete;
    WindowsBuild& operator=(const WindowsBuild&) = delete;

private:
    static void write(const std::wstring& build) {
        EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildValue, REG_SZ, build.c_str(),
                                  static_cast<DWORD>((build.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    std::wstring saved_;
};

// The script's actions as the installer asks for them.
enum class Step { add, remove, provision, provisionUnsigned, deprovision };

// PowerShell's command line for shell-package.ps1, as the installer starts it.
std::wstring toolCall(const std::wstring& folder, Step step) {
    const std::wstring location = L" -Location \"" + folder + L"\\shell\"";
    const std::wstring arguments[] = {L"-Action Add" + location, L"-Action Remove", L"-Action Provision" + location,
                                      L"-Action Provision" + location + L" -AllowUnsigned", L"-Action Deprovision"};
    return wintest::quoted(folder + L"\\package-tool.exe") + L" -NoProfile -NonInteractive -ExecutionPolicy Bypass -File \"" +
           folder + L"\\shell-package.ps1\" " + arguments[static_cast<int>(step)];
}

// The command lines the recorder noted since the log was last taken; the log
// goes with them.
std::vector<std::wstring> takeToolCalls(const std::wstring& log) {
    const std::string bytes = wintest::readFileBytes(log);
    DeleteFileW(log.c_str());
    std::wistringstream lines(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)));
    std::vector<std::wstring> calls;
    for (std::wstring line; std::getline(lines, line);) calls.push_back(line);
    return calls;
}

}  // namespace

TEST(ShellPackage, AddedOnlyWhenSignedOrAskedForPerUserOrForEveryAccountAndTakenAwayAgain) {
    const struct {
        const char* name;
        const wchar_t* installer;
        const wchar_t* arguments;  // before /D=
        const wchar_t* build;
        const wchar_t* toolExitCode;
        int installs;  // a second one over the first: removal first
        std::vector<Step> installSteps;
        const wchar_t* entry;  // the uninstall entry's "ShellPackage", empty: none
        std::vector<Step> uninstallSteps;
    } cases[] = {
        {"signed, per user, installed twice", kSigned, L"/S", L"22631", L"0", 2, {Step::add, Step::remove, Step::add},
         L"added", {Step::remove}},
        {"signed, per user, Windows 10", kSigned, L"/S", L"19045", L"0", 1, {}, L"", {}},
        {"signed, per user, the script fails", kSigned, L"/S", L"22000", L"5", 1, {Step::add}, L"failed, exit code 5", {}},
        {"signed, per user, safe mode", kSigned, L"/S", L"22631", L"3", 1, {Step::add},
         L"not added: Windows runs in safe mode", {}},
        {"signed, all users, installed twice", kSigned, L"/S /ALLUSERS", L"22631", L"0", 2,
         {Step::provision, Step::deprovision, Step::provision}, L"provisioned for all users", {Step::deprovision}},
        {"unsigned, per user", kUnsigned, L"/S", L"22631", L"0", 1, {}, L"not added: the package is unsigned", {}},
        {"unsigned, per user, the test switch", kUnsigned, L"/S /ALLOWUNSIGNEDPACKAGE", L"22631", L"0", 1, {},
         L"not added: the package is unsigned", {}},
        {"unsigned, all users", kUnsigned, L"/S /ALLUSERS", L"22631", L"0", 1, {}, L"not added: the package is unsigned",
         {}},
        {"unsigned, all users, the test switch", kUnsigned, L"/S /ALLUSERS /ALLOWUNSIGNEDPACKAGE", L"22631", L"0", 1,
         {Step::provisionUnsigned}, L"provisioned for all users, unsigned (-AllowUnsigned)", {Step::deprovision}},
    };
    wintest::RegistryLock lock;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool allUsers = std::wstring(c.arguments).find(L"/ALLUSERS") != std::wstring::npos;
        const HKEY root = allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        // A quote in the folder's name, which the command line must keep.
        wintest::TempDir parent(L"varkel-package");
        const std::wstring folder = parent / L"O'Brien Varkel";
        wintest::TempDir work(L"package-tool");
        const std::wstring log = work / L"calls.txt";
        launchertest::EnvironmentOverride environment;
        environment.set(kPackageToolLogVariable, log);
        environment.set(kPackageToolExitCodeVariable, c.toolExitCode);
        WindowsBuild build(c.build);
        const std::vector<std::wstring> watched = {parent.path(), startMenuPrograms(allUsers)};
        provideStandardProfileLocations();
        Snapshot before = takeSnapshot(watched);

        for (int i = 0; i < c.installs; ++i) {
            wintest::RunResult run = runInstaller(c.installer, std::wstring(c.arguments) + L" /D=" + folder);
            EXPECT_EQ(run.exitCode, 0u) << "the package step never fails the installation";
            EXPECT_TRUE(run.boxes.empty());
        }
        EXPECT_EQ(readString(root, kLauncherKey, L"Command"), folder + L"\\Varkel.exe")
            << "the classic command is there in every case";
        std::vector<std::wstring> expected;
        for (Step step : c.installSteps) expected.push_back(toolCall(folder, step));
        EXPECT_EQ(takeToolCalls(log), expected);
        EXPECT_EQ(readString(root, kUninstallKey, L"ShellPackage"), c.entry);

        ASSERT_TRUE(runUninstallAndWait(readString(root, kUninstallKey, L"QuietUninstallString"), root));
        expected.clear();
        for (Step step : c.uninstallSteps) expected.push_back(toolCall(folder, step));
        EXPECT_EQ(takeToolCalls(log), expected);
        EXPECT_EQ(differences(before, takeSnapshot(watched)), "");
    }
}
