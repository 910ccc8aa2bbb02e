// The installer's Windows 11 step: the shell package added for the installing
// user through the package tool (PowerShell; here the recorder in its place,
// which notes its command line and ends with the code a test asks for),
// skipped before Windows 11, a failure noted but not fatal, and the package
// removed again by the uninstaller only when it was added.
#include <windows.h>
#include <gtest/gtest.h>

#include "installer_harness.h"
#include "launcher_fixture.h"
#include "menu_command.h"
#include "registry_lock.h"
#include "test_files.h"

using namespace installertest;

namespace {

constexpr const wchar_t* kInstaller = L"Varkel-Setup-test.exe";
constexpr const wchar_t* kCurrentVersionKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const wchar_t* kBuildValue = L"CurrentBuildNumber";
constexpr const wchar_t* kLauncherKey = L"Software\\Orvane\\Varkel";
constexpr DWORD kNoCallWaitMs = 500;  // the tool runs inside the installer: once it has ended, it has written

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

// PowerShell as the installer starts it, with one command.
std::wstring toolCommandLine(const std::wstring& folder, const std::wstring& command) {
    return wintest::quoted(folder + L"\\package-tool.exe") +
           L" -NoProfile -NonInteractive -ExecutionPolicy Bypass -Command \"$ErrorActionPreference = 'Stop'; " +
           command + L"\"";
}

}  // namespace

TEST(ShellPackage, AddedOnWindows11SkippedBeforeAFailureToleratedAndRemovedOnUninstall) {
    const struct {
        const char* name;
        const wchar_t* build;
        const wchar_t* toolExitCode;
        bool added;        // the tool is asked to add the package
        const wchar_t* entry;  // the uninstall entry's "ShellPackage", empty: none
    } cases[] = {
        {"Windows 11", L"22631", L"0", true, L"added"},
        {"Windows 10", L"19045", L"0", false, L""},
        {"Windows 11, the tool fails", L"22000", L"5", true, L"failed, exit code 5"},
    };
    wintest::RegistryLock lock;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A quote in the folder's name, which PowerShell's quoting must keep.
        wintest::TempDir parent(L"varkel-package");
        const std::wstring folder = parent / L"O'Brien Varkel";
        const std::wstring quotedFolder = parent.path() + L"\\O''Brien Varkel";
        wintest::TempDir work(L"package-tool");
        const std::wstring recorded = work / L"tool.txt";
        launchertest::EnvironmentOverride environment;
        environment.set(quellistest::kRecorderOutputVariable, recorded);
        environment.set(quellistest::kRecorderExitCodeVariable, c.toolExitCode);
        WindowsBuild build(c.build);

        wintest::RunResult run = runInstaller(kInstaller, L"/S /D=" + folder);
        EXPECT_EQ(run.exitCode, 0u) << "the package step never fails the installation";
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_EQ(readString(HKEY_CURRENT_USER, kLauncherKey, L"Command"), folder + L"\\Varkel.exe")
            << "the classic command is there in every case";
        const std::wstring addCommand = L"Add-AppxPackage -Path '" + quotedFolder + L"\\Varkel-Shell.msix' -ExternalLocation '" +
                                        quotedFolder + L"' -AllowUnsigned";
        EXPECT_EQ(quellistest::waitForRecordedCommandLine(recorded, c.added ? quellistest::kRecorderWaitMs : kNoCallWaitMs),
                  c.added ? toolCommandLine(folder, addCommand) : L"");
        EXPECT_EQ(readString(HKEY_CURRENT_USER, kUninstallKey, L"ShellPackage"), c.entry);
        DeleteFileW(recorded.c_str());

        ASSERT_TRUE(runUninstallAndWait(readString(HKEY_CURRENT_USER, kUninstallKey, L"QuietUninstallString"),
                                        HKEY_CURRENT_USER));
        const bool removes = std::wstring(c.entry) == L"added";
        EXPECT_EQ(quellistest::waitForRecordedCommandLine(recorded, removes ? quellistest::kRecorderWaitMs : kNoCallWaitMs),
                  removes ? toolCommandLine(folder, L"Get-AppxPackage -Name Orvane.Varkel | Remove-AppxPackage") : L"");
        EXPECT_FALSE(wintest::fileExists(folder));
    }
}
