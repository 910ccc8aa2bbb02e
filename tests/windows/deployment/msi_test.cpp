// Varkel.msi under Wine's Windows Installer, run as a deployment tool runs it
// (msiexec /qn): it installs what Varkel-Setup.exe /ALLUSERS installs and
// registers, upgrades in place, refuses to share the machine with that
// installer, and its removal leaves the machine as it was.
#include <windows.h>
#include <msi.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "installer_harness.h"
#include "launcher_fixture.h"
#include "registry_lock.h"
#include "standin_jvm_protocol.h"
#include "test_files.h"

using namespace installertest;

namespace {

constexpr const wchar_t* kPackage = L"Varkel-test.msi";
constexpr const wchar_t* kUpgradePackage = L"Varkel-upgrade.msi";
constexpr const wchar_t* kSetup = L"Varkel-Setup-test.exe";
constexpr const wchar_t* kUpgradeCode = L"{9B466A4A-F3D1-41CB-B8ED-08906FE96570}";
constexpr DWORD kMsiTimeoutMs = 300000;
constexpr DWORD kInstallFailure = 1603;  // ERROR_INSTALL_FAILURE
constexpr DWORD kSetupRefused = 3;
// What the extension and the launcher read, as takeSnapshot names it (the
// registry keeps its own letter case: compared without case).
const wchar_t* const kRegistrationKeys[] = {
    L"HKLM64\\SOFTWARE\\Classes\\CLSID\\{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}",
    L"HKLM64\\SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers\\Varkel", L"HKLM64\\Software\\Orvane\\Varkel"};
// Varkel-Setup.exe's own bookkeeping, which Windows Installer keeps elsewhere.
const wchar_t* const kSetupOwnFiles[] = {L"\\Uninstall.exe", L"\\installed-files.txt"};
// The containers that Windows Installer keeps on every Windows machine and a
// fresh Wine prefix gets with its first package, left empty by its removal.
const wchar_t* const kInstallerContainers[] = {
    L"Classes\\Installer\\Features", L"Classes\\Installer\\Products", L"Classes\\Installer\\UpgradeCodes",
    L"Microsoft\\Windows\\CurrentVersion\\Installer\\UpgradeCodes",
    L"Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components",
    L"Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products",
    // Every Windows has other handlers beside Varkel's in this key; a key
    // that Varkel's value leaves empty Windows Installer removes with it.
    L"Classes\\*\\shellex\\ContextMenuHandlers\\Neighbour"};

std::wstring entryKey(const std::wstring& product) {
    return L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
}
// The installed products named Varkel, or those that Windows Installer relates
// to the UpgradeCode (as Varkel-Setup.exe finds them).
std::vector<std::wstring> products(bool related = false) {
    std::vector<std::wstring> found;
    wchar_t code[39] = {};
    for (DWORD i = 0; (related ? MsiEnumRelatedProductsW(kUpgradeCode, 0, i, code) : MsiEnumProductsW(i, code)) == 0; ++i)
        if (related || readString(HKEY_LOCAL_MACHINE, entryKey(code), L"DisplayName") == L"Varkel") found.push_back(code);
    return found;
}

// What an installation added to the registration keys and the installation
// folder, each path in the folder given relative to it.
Snapshot installed(const Snapshot& before, const Snapshot& after, const std::wstring& folder) {
    Snapshot added;
    for (const auto& [where, what] : after) {
        if (before.count(where) && before.at(where) == what) continue;
        for (const wchar_t* key : kRegistrationKeys)
            if (_wcsnicmp(where.c_str(), key, wcslen(key)) == 0) added[where] = what;
        const size_t at = where.find(folder);
        const std::wstring relative = at == std::wstring::npos ? L"" : where.substr(at + folder.size());
        if (!relative.empty() && std::find(std::begin(kSetupOwnFiles), std::end(kSetupOwnFiles), relative) ==
                                     std::end(kSetupOwnFiles))
            added[where.substr(0, at) + relative] = what;
    }
    return added;
}

// A known gap: Wine's Windows Installer gives ProgramMenuFolder the installing
// user's folder whatever ALLUSERS says; Windows gives a per-machine package
// the all-users one.
std::wstring packageStartMenu() {
    return startMenuPrograms(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr);
}

// The machine before a test: the folders watched, their snapshot, msiexec
// with a verbose log in a folder of the test's own.
struct Machine {
    wintest::TempDir work{L"varkel-msi"};
    std::wstring folder = allUsersDefaultFolder();
    std::vector<std::wstring> watched = {folder.substr(0, folder.rfind(L'\\')), startMenuPrograms(true),
                                         startMenuPrograms(false)};
    Snapshot before;
    int logs = 0;
    Machine() {
        provideStandardProfileLocations();
        for (const wchar_t* container : kInstallerContainers) {
            HKEY key = nullptr;
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\") + container).c_str(), 0, nullptr, 0,
                                KEY_READ | KEY_WOW64_64KEY, nullptr, &key, nullptr) == ERROR_SUCCESS)
                RegCloseKey(key);
        }
        before = takeSnapshot(watched);
    }
    // ui: "/qn" as deployment tools run it, "/qb" to see the package's messages.
    wintest::RunResult msiexec(const std::wstring& arguments, const wchar_t* ui = L"/qn") {
        const std::wstring log = work / (L"msiexec-" + std::to_wstring(++logs) + L".log");
        wintest::RunOptions options;
        options.timeoutMs = kMsiTimeoutMs;
        return wintest::runWatched(L"msiexec.exe " + arguments + L" " + ui + L" /l*v " + wintest::quoted(log), options);
    }
    DWORD install(const wchar_t* package) {
        return msiexec(L"/i " + wintest::quoted(testInstaller(package))).exitCode;
    }
    bool removeSetup() {
        return runUninstallAndWait(readString(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString"),
                                   HKEY_LOCAL_MACHINE);
    }
};

}  // namespace

// The package against Varkel-Setup.exe /ALLUSERS on the same machine. Each
// refuses while the other is installed (they would share the folder and the
// registration), saying why and leaving the other as it was. One after the
// other: the same files (the installer's own uninstaller and file list aside)
// and the same registration values; the package adds the shortcut and
// Windows Installer's entry, its launcher runs the installed Java program,
// and msiexec /x leaves registry and disk as before.
TEST(Msi, InstallsWhatTheAllUsersInstallerDoesEachRefusesBesideTheOtherAndRemovalLeavesNothing) {
    wintest::RegistryLock lock;
    Machine machine;
    ASSERT_FALSE(wintest::fileExists(machine.folder)) << "left over: " << wintest::utf8(machine.folder);
    ASSERT_EQ(runInstaller(kSetup, L"/S /ALLUSERS").exitCode, 0u);
    const Snapshot setupInstalled = takeSnapshot(machine.watched);
    wintest::RunResult refused = machine.msiexec(L"/i " + wintest::quoted(testInstaller(kPackage)), L"/qb");
    EXPECT_EQ(refused.exitCode, kInstallFailure);
    ASSERT_EQ(refused.boxes.size(), 1u);
    EXPECT_EQ(refused.boxes[0].text, L"Varkel is already installed for all users by Varkel-Setup.exe, in " +
                                         machine.folder + L". Remove that installation first (Apps & features, or "
                                         L"its QuietUninstallString), then install this package.");
    EXPECT_EQ(differences(setupInstalled, takeSnapshot(machine.watched)), "");
    const Snapshot bySetup = installed(machine.before, setupInstalled, machine.folder);
    ASSERT_TRUE(machine.removeSetup());

    ASSERT_EQ(machine.install(kPackage), 0u);
    const Snapshot packageInstalled = takeSnapshot(machine.watched);
    const Snapshot byPackage = installed(machine.before, packageInstalled, machine.folder);
    EXPECT_EQ(differences(bySetup, byPackage), "");
    // The four keys with their five values; the files.
    EXPECT_EQ(std::count_if(byPackage.begin(), byPackage.end(), [](auto& e) { return e.first.rfind(L"HKLM64", 0) == 0; }), 9);
    EXPECT_GT(byPackage.size(), 20u);
    EXPECT_TRUE(wintest::fileExists(packageStartMenu() + L"\\Varkel.lnk"));
    const std::vector<std::wstring> installedProducts = products();
    ASSERT_EQ(installedProducts.size(), 1u);
    EXPECT_EQ(products(true), installedProducts);
    const std::wstring entry = entryKey(installedProducts[0]);
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, entry, L"Publisher"), L"Orvane");
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, entry, L"DisplayVersion"), L"6.0.0");
    EXPECT_EQ(runInstaller(kSetup, L"/S /ALLUSERS").exitCode, kSetupRefused);
    EXPECT_EQ(differences(packageInstalled, takeSnapshot(machine.watched)), "");

    launchertest::EnvironmentOverride environment;
    environment.set(standin::kRecordVariable, machine.work / L"standin.record");
    EXPECT_EQ(wintest::runWatched(wintest::quoted(machine.folder + L"\\Varkel-64.exe") + L" one.log").exitCode, 0u);
    launchertest::StandinRecord java = launchertest::readStandinRecord(machine.work / L"standin.record");
    EXPECT_EQ(java.text(standin::kModule), machine.folder + L"\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(java.arguments(), std::vector<std::wstring>{L"one.log"});

    ASSERT_EQ(machine.msiexec(L"/x " + installedProducts[0]).exitCode, 0u);
    EXPECT_EQ(differences(machine.before, takeSnapshot(machine.watched)), "");
}

// A newer package (same UpgradeCode, higher version, without the folder
// "config", with "pics") replaces the installed one in place: one product
// left, the new version's files, the machine's startup.conf as it was,
// changed or not, and the new shipped one beside it as startup.conf.default.
TEST(Msi, UpgradeReplacesInPlaceAndKeepsTheMachinesStartupConf) {
    const struct {
        const char* name;
        const char* conf;  // the machine's startup.conf before the upgrade; null: as shipped
    } cases[] = {{"unchanged", nullptr}, {"changed", "MAX_MEMORY=2g\r\n"}};
    wintest::RegistryLock lock;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine machine;
        const std::wstring conf = machine.folder + L"\\startup.conf";
        ASSERT_EQ(machine.install(kPackage), 0u);
        if (c.conf) wintest::writeFileBytes(conf, c.conf);
        const std::string machineConf = wintest::readFileBytes(conf);

        ASSERT_EQ(machine.install(kUpgradePackage), 0u);
        // A known gap: Wine's removal of the older version deletes the whole
        // registration of the UpgradeCode, which the newer one shares (Windows
        // removes the older product's value only): products(true) is empty
        // here under Wine.
        const std::vector<std::wstring> installedProducts = products();
        ASSERT_EQ(installedProducts.size(), 1u);
        EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, entryKey(installedProducts[0]), L"DisplayVersion"), L"6.0.1");
        EXPECT_FALSE(wintest::fileExists(machine.folder + L"\\config"));
        EXPECT_TRUE(wintest::fileExists(machine.folder + L"\\pics\\readme.txt"));
        EXPECT_EQ(wintest::readFileBytes(conf), machineConf);
        EXPECT_EQ(wintest::readFileBytes(machine.folder + L"\\startup.conf.default"),
                  "# The upgrade's startup.conf, as shipped\r\n");
        EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, L"Software\\Orvane\\Varkel", L"Command"), machine.folder + L"\\Varkel.exe");

        ASSERT_EQ(machine.msiexec(L"/x " + installedProducts[0]).exitCode, 0u);
        EXPECT_EQ(differences(machine.before, takeSnapshot(machine.watched)), "");
    }
}
