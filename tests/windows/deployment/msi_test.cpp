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
// What the extension and the launcher read, as takeSnapshot names it (in the
// letter case the registry keeps, which may differ: compared without case).
const wchar_t* const kRegistrationKeys[] = {
    L"HKLM64\\SOFTWARE\\Classes\\CLSID\\{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}",
    L"HKLM64\\SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers\\Varkel",
    L"HKLM64\\Software\\Orvane\\Varkel",
};
// Varkel-Setup.exe's own bookkeeping, which Windows Installer keeps elsewhere.
const wchar_t* const kSetupOwnFiles[] = {L"Uninstall.exe", L"installed-files.txt"};

// ui: "/qn" as deployment tools run it, "/qb" to see the package's messages.
wintest::RunResult runMsiexec(const std::wstring& arguments, const std::wstring& log, const wchar_t* ui = L"/qn") {
    wintest::RunOptions options;
    options.timeoutMs = kMsiTimeoutMs;
    return wintest::runWatched(L"msiexec.exe " + arguments + L" " + ui + L" /l*v " + wintest::quoted(log), options);
}
DWORD installPackage(const wchar_t* package, const std::wstring& log) {
    return runMsiexec(L"/i " + wintest::quoted(testInstaller(package)), log).exitCode;
}
DWORD removeProduct(const std::wstring& product, const std::wstring& log) {
    return runMsiexec(L"/x " + product, log).exitCode;
}

std::wstring productInfo(const std::wstring& product, const wchar_t* property) {
    wchar_t value[256] = {};
    DWORD size = 256;
    return MsiGetProductInfoW(product.c_str(), property, value, &size) == ERROR_SUCCESS ? value : L"";
}
// The installed products named Varkel, and those Windows Installer relates
// to the package's UpgradeCode (the way Varkel-Setup.exe finds them).
std::vector<std::wstring> installedProducts() {
    std::vector<std::wstring> products;
    wchar_t code[39] = {};
    for (DWORD i = 0; MsiEnumProductsW(i, code) == ERROR_SUCCESS; ++i)
        if (productInfo(code, INSTALLPROPERTY_INSTALLEDPRODUCTNAME) == L"Varkel") products.push_back(code);
    return products;
}
std::vector<std::wstring> relatedProducts() {
    std::vector<std::wstring> products;
    wchar_t code[39] = {};
    for (DWORD i = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i) products.push_back(code);
    return products;
}

// What an installation added: the entries of the registration keys and of
// the installation folder, each folder path given relative to it.
Snapshot installed(const Snapshot& before, const Snapshot& after, const std::wstring& folder) {
    Snapshot added;
    for (const auto& [where, what] : after) {
        if (before.count(where) && before.at(where) == what) continue;
        for (const wchar_t* key : kRegistrationKeys)
            if (_wcsnicmp(where.c_str(), key, wcslen(key)) == 0) added[where] = what;
        const size_t at = where.find(folder);
        if (at == std::wstring::npos) continue;
        std::wstring relative = where.substr(at + folder.size());
        for (const wchar_t* own : kSetupOwnFiles)
            if (relative == std::wstring(L"\\") + own) relative.clear();
        if (!relative.empty()) added[where.substr(0, at) + relative] = what;
    }
    return added;
}

// A known gap: Wine's Windows Installer gives ProgramMenuFolder the installing
// user's folder whatever ALLUSERS says; Windows gives a per-machine package
// the all-users one.
std::wstring packageStartMenu() {
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return startMenuPrograms(!wine);
}

// The containers that Windows Installer keeps on every Windows machine and
// that a fresh Wine prefix gets with its first package, empty again after
// its removal.
const wchar_t* const kInstallerContainers[] = {
    L"Software\\Classes\\Installer\\Features",
    L"Software\\Classes\\Installer\\Products",
    L"Software\\Classes\\Installer\\UpgradeCodes",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UpgradeCodes",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products",
};

struct Machine {
    wintest::TempDir work{L"varkel-msi"};
    std::wstring folder = allUsersDefaultFolder();
    std::vector<std::wstring> watched = {folder.substr(0, folder.rfind(L'\\')), startMenuPrograms(true),
                                         startMenuPrograms(false)};
    Snapshot before;
    Machine() {
        provideStandardProfileLocations();
        for (const wchar_t* container : kInstallerContainers) {
            HKEY key = nullptr;
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, container, 0, nullptr, 0, KEY_READ | KEY_WOW64_64KEY, nullptr, &key,
                                nullptr) == ERROR_SUCCESS)
                RegCloseKey(key);
        }
        before = takeSnapshot(watched);
    }
    std::wstring log(const wchar_t* name) const { return work / name; }
};

}  // namespace

// The package against Varkel-Setup.exe /ALLUSERS on the same machine: the
// same files (the installer's own uninstaller and file list aside) and the
// same registration values, the shortcut, Windows Installer's entry; the
// installed launcher runs the installed Java program; msiexec /x then leaves
// registry and disk as before.
TEST(Msi, InstallsWhatTheAllUsersInstallerDoesAndRemovalLeavesNothing) {
    wintest::RegistryLock lock;
    Machine machine;
    ASSERT_FALSE(wintest::fileExists(machine.folder)) << "left over: " << wintest::utf8(machine.folder);
    ASSERT_EQ(runInstaller(kSetup, L"/S /ALLUSERS").exitCode, 0u);
    const Snapshot bySetup = installed(machine.before, takeSnapshot(machine.watched), machine.folder);
    ASSERT_TRUE(runUninstallAndWait(readString(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString"),
                                    HKEY_LOCAL_MACHINE));

    ASSERT_EQ(installPackage(kPackage, machine.log(L"install.log")), 0u);
    const Snapshot byPackage = installed(machine.before, takeSnapshot(machine.watched), machine.folder);
    EXPECT_EQ(differences(bySetup, byPackage), "");
    // The four keys with their five values, and the files.
    EXPECT_EQ(std::count_if(byPackage.begin(), byPackage.end(), [](const auto& entry) { return entry.first.rfind(L"HKLM64", 0) == 0; }),
              9);
    EXPECT_GT(byPackage.size(), 20u);
    EXPECT_TRUE(wintest::fileExists(packageStartMenu() + L"\\Varkel.lnk"));
    const std::vector<std::wstring> products = installedProducts();
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(relatedProducts(), products);
    const std::wstring entry = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + products[0];
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, entry, L"DisplayName"), L"Varkel");
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, entry, L"Publisher"), L"Orvane");
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, entry, L"DisplayVersion"), L"6.0.0");

    launchertest::EnvironmentOverride environment;
    const std::wstring record = machine.work / L"standin.record";
    environment.set(standin::kRecordVariable, record);
    wintest::RunResult run = wintest::runWatched(wintest::quoted(machine.folder + L"\\Varkel-64.exe") + L" one.log");
    EXPECT_EQ(run.exitCode, 0u);
    launchertest::StandinRecord java = launchertest::readStandinRecord(record);
    EXPECT_EQ(java.text(standin::kModule), machine.folder + L"\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(java.arguments(), std::vector<std::wstring>{L"one.log"});

    ASSERT_EQ(removeProduct(products[0], machine.log(L"remove.log")), 0u);
    EXPECT_EQ(differences(machine.before, takeSnapshot(machine.watched)), "");
}

// A newer package (same UpgradeCode, higher version, without the folder
// "config", with "pics") replaces the installed one in place: one product left, the files of
// the new version, the machine's startup.conf kept as it was, changed or not,
// and the new shipped one beside it as startup.conf.default.
TEST(Msi, UpgradeReplacesInPlaceAndKeepsTheMachinesStartupConf) {
    const struct {
        const char* name;
        const char* conf;  // what the machine's startup.conf holds before the upgrade; null: as shipped
    } cases[] = {{"unchanged", nullptr}, {"changed", "MAX_MEMORY=2g\r\n"}};
    wintest::RegistryLock lock;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine machine;
        const std::wstring conf = machine.folder + L"\\startup.conf";
        ASSERT_EQ(installPackage(kPackage, machine.log(L"install.log")), 0u);
        if (c.conf) wintest::writeFileBytes(conf, c.conf);
        const std::string machineConf = wintest::readFileBytes(conf);

        ASSERT_EQ(installPackage(kUpgradePackage, machine.log(L"upgrade.log")), 0u);
        // A known gap: Wine's removal of the older version deletes the whole
        // registration of the UpgradeCode, which the newer one shares (Windows
        // removes the older product's value only), so relatedProducts() is
        // empty here under Wine; the products themselves are as on Windows.
        const std::vector<std::wstring> products = installedProducts();
        ASSERT_EQ(products.size(), 1u);
        EXPECT_EQ(productInfo(products[0], INSTALLPROPERTY_VERSIONSTRING), L"6.0.1");
        EXPECT_FALSE(wintest::fileExists(machine.folder + L"\\config"));
        EXPECT_TRUE(wintest::fileExists(machine.folder + L"\\pics\\readme.txt"));
        EXPECT_EQ(wintest::readFileBytes(conf), machineConf);
        EXPECT_EQ(wintest::readFileBytes(machine.folder + L"\\startup.conf.default"),
                  "# The upgrade's startup.conf, as shipped\r\n");
        EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, L"Software\\Orvane\\Varkel", L"Command"),
                  machine.folder + L"\\Varkel.exe");

        ASSERT_EQ(removeProduct(products[0], machine.log(L"remove.log")), 0u);
        EXPECT_EQ(differences(machine.before, takeSnapshot(machine.watched)), "");
    }
}

// The package and Varkel-Setup.exe /ALLUSERS would share the folder and the
// machine's registration: whichever comes second refuses, saying why, and
// leaves the first one as it was.
TEST(Msi, PackageAndAllUsersInstallerRefuseEachOther) {
    wintest::RegistryLock lock;
    {
        SCOPED_TRACE("the package after the installer");
        Machine machine;
        ASSERT_EQ(runInstaller(kSetup, L"/S /ALLUSERS").exitCode, 0u);
        const Snapshot first = takeSnapshot(machine.watched);
        wintest::RunResult run =
            runMsiexec(L"/i " + wintest::quoted(testInstaller(kPackage)), machine.log(L"install.log"), L"/qb");
        EXPECT_EQ(run.exitCode, kInstallFailure);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].text, L"Varkel is already installed for all users by Varkel-Setup.exe, in " +
                                         machine.folder + L". Remove that installation first (Apps & features, or "
                                         L"its QuietUninstallString), then install this package.");
        EXPECT_TRUE(installedProducts().empty());
        EXPECT_EQ(differences(first, takeSnapshot(machine.watched)), "");
        ASSERT_TRUE(runUninstallAndWait(readString(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString"),
                                        HKEY_LOCAL_MACHINE));
    }
    {
        SCOPED_TRACE("the installer after the package");
        Machine machine;
        ASSERT_EQ(installPackage(kPackage, machine.log(L"install.log")), 0u);
        const Snapshot first = takeSnapshot(machine.watched);
        EXPECT_EQ(runInstaller(kSetup, L"/S /ALLUSERS").exitCode, kSetupRefused);
        EXPECT_EQ(differences(first, takeSnapshot(machine.watched)), "");
        ASSERT_EQ(removeProduct(installedProducts().at(0), machine.log(L"remove.log")), 0u);
    }
}
