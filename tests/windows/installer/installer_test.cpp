// Varkel-Setup.exe under Wine, silently as an administrator runs it: what it
// installs and registers, the Explorer command it adds working end to end,
// an upgrade over an installation, a failing setup tool, and uninstalls that
// leave the machine as it was.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include "installer_harness.h"
#include "launcher_fixture.h"
#include "menu_command.h"
#include "quellis_module.h"
#include "registry_lock.h"
#include "standin_jvm_protocol.h"
#include "test_data_objects.h"
#include "test_files.h"

using namespace installertest;
using quellistest::ComRef;

namespace {

constexpr const wchar_t* kInstaller = L"Varkel-Setup-test.exe";
constexpr const wchar_t* kUpgrade = L"Varkel-Setup-upgrade.exe";
constexpr const wchar_t* kBroken = L"Varkel-Setup-broken.exe";
constexpr const wchar_t* kClsidKey = L"SOFTWARE\\Classes\\CLSID\\{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}";
constexpr const wchar_t* kHandlerKey = L"SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers\\Varkel";
constexpr const wchar_t* kLauncherKey = L"Software\\Orvane\\Varkel";

const char* const kShippedConf = "# The installer tests' startup.conf, as shipped\r\n";
const char* const kUpgradeConf = "# The upgrade's startup.conf, as shipped\r\n";
const char* const kUsersConf = "MAX_MEMORY=2g\r\n";

std::wstring quietUninstall(HKEY root) { return readString(root, kUninstallKey, L"QuietUninstallString"); }

std::wstring silentInto(const std::wstring& folder) { return L"/S /D=" + folder; }

// A folder of its own for one test: "Varkel" inside a new temporary folder.
struct FreshFolder {
    wintest::TempDir parent{L"varkel-install"};
    std::wstring path = parent / L"Varkel";
};

}  // namespace

// Per user by default (silently and through the wizard) and for all users
// with /ALLUSERS: the files in the
// mode's default folder, the extension's registration and the launcher path
// in the mode's hive only, the Start-menu shortcut and the uninstall entry;
// its QuietUninstallString then takes every trace away again.
TEST(Installer, InstallRegistersAndUninstallLeavesNothing) {
    const struct {
        const char* name;
        const wchar_t* arguments;
        HKEY root;
        HKEY otherRoot;
        bool allUsers;
    } modes[] = {
        {"per user", L"/S", HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, false},
        {"the wizard, its pages taken as offered", L"", HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, false},
        {"all users", L"/S /ALLUSERS", HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, true},
    };
    wintest::RegistryLock lock;
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.name);
        const std::wstring folder = mode.allUsers ? allUsersDefaultFolder() : perUserDefaultFolder();
        ASSERT_FALSE(wintest::fileExists(folder)) << "left over from an earlier run: " << wintest::utf8(folder);
        const std::vector<std::wstring> watched = {folder.substr(0, folder.rfind(L'\\')), startMenuPrograms(mode.allUsers)};
        provideStandardProfileLocations();
        Snapshot before = takeSnapshot(watched);

        wintest::RunResult run = runInstaller(kInstaller, mode.arguments);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_TRUE(run.boxes.empty());

        for (const wchar_t* file : {L"Varkel.exe", L"Varkel-64.exe", L"Quellis64.dll", L"QuellisSetup.exe",
                                    L"Uninstall.exe", L"startup.conf", L"config\\logging.properties",
                                    L"jre\\bin\\server\\jvm.dll", L"lib", L"shell-package.ps1",
                                    L"shell\\Varkel-Shell.msix", L"shell\\Varkel-Logo.png"})
            EXPECT_TRUE(wintest::fileExists(folder + L"\\" + file)) << wintest::utf8(file);
        // The package's folder holds what the package needs, the same module as the classic handler's.
        EXPECT_EQ(wintest::readFileBytes(folder + L"\\shell\\Quellis64.dll"), wintest::readFileBytes(folder + L"\\Quellis64.dll"));
        for (const wchar_t* file : {L"Varkel-Shell.msix", L"Varkel-Logo.png"})
            EXPECT_FALSE(wintest::fileExists(folder + L"\\" + file)) << wintest::utf8(file);
        EXPECT_TRUE(wintest::fileExists(startMenuPrograms(mode.allUsers) + L"\\Varkel.lnk"));

        EXPECT_EQ(readString(mode.root, kClsidKey, nullptr), L"Varkel Shell Extension");
        EXPECT_EQ(readString(mode.root, std::wstring(kClsidKey) + L"\\InprocServer32", nullptr),
                  folder + L"\\Quellis64.dll");
        EXPECT_EQ(readString(mode.root, kHandlerKey, nullptr), L"{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}");
        EXPECT_EQ(readString(mode.root, kLauncherKey, L"Command"), folder + L"\\Varkel.exe");
        EXPECT_FALSE(keyExists(mode.otherRoot, kLauncherKey));
        EXPECT_FALSE(keyExists(mode.otherRoot, kUninstallKey));

        const std::wstring uninstaller = wintest::quoted(folder + L"\\Uninstall.exe");
        const std::pair<const wchar_t*, std::wstring> entry[] = {
            {L"DisplayName", L"Varkel"},
            {L"DisplayVersion", L"6.0.0.0"},
            {L"Publisher", L"Orvane"},
            {L"DisplayIcon", folder + L"\\Varkel.exe,0"},
            {L"InstallLocation", folder},
            {L"UninstallString", uninstaller},
            {L"QuietUninstallString", uninstaller + L" /S"},
        };
        for (const auto& [name, value] : entry) EXPECT_EQ(readString(mode.root, kUninstallKey, name), value);
        for (const wchar_t* name : {L"NoModify", L"NoRepair"}) {
            DWORD value = 0;
            EXPECT_TRUE(readDword(mode.root, kUninstallKey, name, value));
            EXPECT_EQ(value, 1u);
        }
        DWORD estimatedKb = 0;
        EXPECT_TRUE(readDword(mode.root, kUninstallKey, L"EstimatedSize", estimatedKb));
        EXPECT_GT(estimatedKb, 300u);  // the four programs alone are larger

        ASSERT_TRUE(runUninstallAndWait(quietUninstall(mode.root), mode.root));
        EXPECT_EQ(differences(before, takeSnapshot(watched)), "");
    }
}

// Explorer's road through the installed registration: the class id from the
// handler key, the module from its InprocServer32; picking "Open with
// Varkel" on one file starts the registered launcher (a recorder in place of
// the 32-bit Varkel.exe) with exactly that file, and the installed
// Varkel-64.exe started with it runs the installed Java program (its private
// jre's stand-in JVM) with it as the one argument.
TEST(Installer, ExplorerCommandReachesTheInstalledJavaProgram) {
    wintest::RegistryLock lock;
    FreshFolder folder;
    ASSERT_EQ(runInstaller(kInstaller, silentInto(folder.path)).exitCode, 0u);
    wintest::TempDir work(L"installer-e2e");
    const std::wstring logFile = work / L"server one \x00E9\x0436.log";
    wintest::writeFileBytes(logFile, "log line\n");
    const std::wstring recorded = work / L"recorded.txt";
    launchertest::EnvironmentOverride environment;
    environment.set(quellistest::kRecorderOutputVariable, recorded);

    const std::wstring clsidText = readString(HKEY_CURRENT_USER, kHandlerKey, nullptr);
    const std::wstring module =
        readString(HKEY_CURRENT_USER, L"SOFTWARE\\Classes\\CLSID\\" + clsidText + L"\\InprocServer32", nullptr);
    ASSERT_EQ(module, folder.path + L"\\Quellis64.dll");
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromString(clsidText.c_str(), &clsid), S_OK);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    HMODULE extension = LoadLibraryW(module.c_str());
    ASSERT_NE(extension, nullptr);
    {
        using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        auto getClassObject = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(extension, "DllGetClassObject")));
        ASSERT_NE(getClassObject, nullptr);
        ComRef<IClassFactory> factory;
        ASSERT_EQ(getClassObject(clsid, IID_IClassFactory, factory.out()), S_OK);
        ComRef<IContextMenu> menu;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, menu.out()), S_OK);
        ComRef<IShellExtInit> init;
        ASSERT_EQ(menu->QueryInterface(IID_IShellExtInit, init.out()), S_OK);
        ComRef<IDataObject> selection = quellistest::shellDataObject({logFile});
        ASSERT_TRUE(selection);
        ASSERT_EQ(init->Initialize(nullptr, selection.get(), nullptr), S_OK);
        HMENU popup = CreatePopupMenu();
        EXPECT_EQ(menu->QueryContextMenu(popup, 0, 1, 10, CMF_NORMAL), 1);
        DestroyMenu(popup);
        EXPECT_EQ(quellistest::invokeVerb(menu.get()), S_OK);
    }
    EXPECT_EQ(quellistest::waitForRecordedCommandLine(recorded),
              wintest::quoted(folder.path + L"\\Varkel.exe") + L" " + wintest::quoted(logFile) + L" ");
    FreeLibrary(extension);
    CoUninitialize();

    const std::wstring record = work / L"standin.record";
    environment.set(standin::kRecordVariable, record);
    wintest::RunResult run =
        wintest::runWatched(wintest::quoted(folder.path + L"\\Varkel-64.exe") + L" " + wintest::quoted(logFile));
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    launchertest::StandinRecord java = launchertest::readStandinRecord(record);
    EXPECT_EQ(java.text(standin::kModule), folder.path + L"\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(java.arguments(), std::vector<std::wstring>{logFile});

    EXPECT_TRUE(runUninstallAndWait(quietUninstall(HKEY_CURRENT_USER), HKEY_CURRENT_USER));
}

// Installing again over an installation, without uninstalling first: the
// program files are replaced (the old version's files that the new one does
// not ship go), a startup.conf the user changed stays and an unchanged one
// becomes the new shipped one; the uninstall then keeps only a changed one.
TEST(Installer, UpgradeReplacesProgramFilesAndKeepsAChangedStartupConf) {
    const struct {
        const char* name;
        bool userChangesConf;
    } cases[] = {{"unchanged startup.conf", false}, {"changed startup.conf", true}};
    wintest::RegistryLock lock;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshFolder folder;
        const std::wstring conf = folder.path + L"\\startup.conf";
        ASSERT_EQ(runInstaller(kInstaller, silentInto(folder.path)).exitCode, 0u);
        EXPECT_EQ(wintest::readFileBytes(conf), kShippedConf);
        if (c.userChangesConf) wintest::writeFileBytes(conf, kUsersConf);
        const std::wstring launcher = folder.path + L"\\Varkel-64.exe";
        const std::string shippedLauncher = wintest::readFileBytes(launcher);
        wintest::writeFileBytes(launcher, "damaged");

        wintest::RunResult run = runInstaller(kUpgrade, silentInto(folder.path));
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_EQ(wintest::readFileBytes(launcher), shippedLauncher);
        EXPECT_FALSE(wintest::fileExists(folder.path + L"\\config"));
        EXPECT_TRUE(wintest::fileExists(folder.path + L"\\pics\\readme.txt"));
        EXPECT_EQ(wintest::readFileBytes(conf), c.userChangesConf ? kUsersConf : kUpgradeConf);
        EXPECT_EQ(readString(HKEY_CURRENT_USER, kUninstallKey, L"InstallLocation"), folder.path);
        EXPECT_EQ(readString(HKEY_CURRENT_USER, kLauncherKey, L"Command"), folder.path + L"\\Varkel.exe");

        ASSERT_TRUE(runUninstallAndWait(quietUninstall(HKEY_CURRENT_USER), HKEY_CURRENT_USER));
        EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kUninstallKey));
        Snapshot left = takeFolderSnapshot(folder.parent.path());
        Snapshot expected = {{L"dir " + folder.parent.path(), "folder"}};
        if (c.userChangesConf) {
            expected[L"dir " + folder.path] = "folder";
            expected[L"file " + conf] = kUsersConf;
        }
        EXPECT_EQ(differences(expected, left), "");
    }
}

// QuellisSetup failing (the payload lacks Quellis64.dll) fails the whole
// installation: the tool's own message, then, in the wizard, the installer's
// message naming the step and the code; exit code 2; nothing left behind.
TEST(Installer, FailingSetupToolFailsTheInstallationAndLeavesNothing) {
    const struct {
        const char* name;
        const wchar_t* arguments;
        bool wizard;
    } runs[] = {{"silent", L"/S", false}, {"wizard", L"/CURRENTUSER", true}};
    wintest::RegistryLock lock;
    for (const auto& r : runs) {
        SCOPED_TRACE(r.name);
        FreshFolder folder;
        const std::vector<std::wstring> watched = {folder.parent.path(), startMenuPrograms(false)};
        provideStandardProfileLocations();
        Snapshot before = takeSnapshot(watched);

        wintest::RunResult run = runInstaller(kBroken, std::wstring(r.arguments) + L" /D=" + folder.path);
        EXPECT_EQ(run.exitCode, 2u);
        ASSERT_EQ(run.boxes.size(), r.wizard ? 2u : 1u);
        EXPECT_EQ(run.boxes[0].caption, L"Varkel Quellis Setup");
        EXPECT_EQ(run.boxes[0].text, L"ERROR: Unable to find \"" + folder.path + L"\\Quellis64.dll\"");
        if (r.wizard) {
            EXPECT_EQ(run.boxes[1].text, L"Varkel could not be installed.\n\nRegistering the Explorer command failed: "
                                         L"QuellisSetup.exe /install ended with exit code -2.\n\n"
                                         L"Nothing was left installed.");
            EXPECT_EQ(run.boxes[1].icon, L"error");
        }
        EXPECT_EQ(differences(before, takeSnapshot(watched)), "");
    }
}
