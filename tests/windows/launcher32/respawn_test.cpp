// What only a 32-bit launcher shows: with nothing but a 64-bit Java, Varkel.exe
// hands the whole launch over to Varkel-64.exe beside it, with its argument
// text unchanged (a list file given to it included), and ends with 0, also
// when only an installer's key names that Java, or when JAVA_MIN_VERSION passes
// over the 32-bit Java it could load; without Varkel-64.exe it says why not.
//
// Every 32-bit process start takes about a minute under emulation: each test
// starts Varkel.exe once and checks all it can from that one run.
#include <gtest/gtest.h>

#include <algorithm>

#include "installer_registry.h"
#include "launcher_fixture.h"
#include "registry_lock.h"
#include "standin_jvm_protocol.h"

namespace launchertest {
namespace {

constexpr DWORD kRunTimeoutMs = 5 * 60 * 1000;
constexpr DWORD kChildTimeoutMs = 2 * 60 * 1000;
constexpr const wchar_t* kLauncher32 = L"Varkel.exe";
constexpr const wchar_t* kLauncher64 = L"Varkel-64.exe";

std::wstring builtLauncher64() {
    std::wstring relative = wintest::wide(VARKEL_LAUNCHER64_RELATIVE);
    std::replace(relative.begin(), relative.end(), L'/', L'\\');
    std::wstring joined = wintest::testProgramDirectory() + L"\\" + relative;
    wchar_t full[32768];
    DWORD length = GetFullPathNameW(joined.c_str(), 32768, full, nullptr);
    return std::wstring(full, length);
}

// The fixture's Java home gets the "jvm.dll" beside this test program: here
// the 64-bit stand-in, so Varkel.exe finds only a 64-bit Java.

wintest::RunOptions slowRun() {
    wintest::RunOptions options;
    options.timeoutMs = kRunTimeoutMs;
    return options;
}

// Waits until the stand-in in the 64-bit child has reached mainVK.
StandinRecord waitForMain(const Installation& installation) {
    StandinRecord record;
    for (DWORD waited = 0; waited < kChildTimeoutMs; waited += 250) {
        record = readStandinRecord(installation.recordPath());
        if (record.first(standin::kArgumentCount)) break;
        Sleep(250);
    }
    return record;
}

TEST(Respawn, OnlyA64BitJavaHandsTheLaunchToVarkel64) {
    Installation installation(kLauncher32);
    const std::wstring launcher64 = builtLauncher64();
    ASSERT_TRUE(wintest::fileExists(launcher64))
        << "no Varkel-64.exe at " << wintest::utf8(launcher64) << ": build the 64-bit tree first (VARKEL_LAUNCHER64)";
    wintest::copyFileOrFail(launcher64, installation / kLauncher64);
    installation.write(L"alt.conf", installation.javaPathLine() + "MAX_MEMORY=321M\n");
    // The child waits in mainVK until released, so that its exit code can be read.
    const std::wstring releaseFile = installation / L"release";
    StandinBehaviour behaviour;
    behaviour.mainResult = 7;
    behaviour.releaseFile = releaseFile;
    // Quotes, a doubled blank and an empty pair pass through untouched.
    const std::wstring arguments = L"\"my file.log\"  plain \"\" --conf=alt.conf";

    Launch launch = launchertest::launch(installation, arguments, behaviour, slowRun());
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());

    StandinRecord record = waitForMain(installation);
    ASSERT_TRUE(record.first(standin::kArgumentCount)) << "the 64-bit launcher did not reach mainVK";
    auto process = record.first(standin::kProcess);
    ASSERT_TRUE(process);
    EXPECT_EQ(process->at(0), L"64");
    EXPECT_EQ(record.all(standin::kProcess).size(), 1u) << "only the 64-bit child created a JVM";
    EXPECT_EQ(record.text(standin::kCommandLine), wintest::quoted(installation / kLauncher64) + L" " + arguments);
    EXPECT_EQ(*record.arguments(), (std::vector<std::wstring>{L"my file.log", L"plain"}));
    ASSERT_GE(record.options().size(), 2u);
    EXPECT_EQ(record.options()[1], "-Xmx321M") << "the child reads the configuration named on the command line";

    // The child ends with mainVK's result once released.
    HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                               static_cast<DWORD>(std::stoul(process->at(1))));
    wintest::writeFileBytes(releaseFile, "");
    ASSERT_NE(child, nullptr) << "error " << GetLastError();
    EXPECT_EQ(WaitForSingleObject(child, kChildTimeoutMs), WAIT_OBJECT_0);
    DWORD childExit = 0;
    GetExitCodeProcess(child, &childExit);
    CloseHandle(child);
    EXPECT_EQ(childExit, 7u);
}

// The hand-over leaves the extension's list for the child: Varkel-64.exe
// reads it, given the same "--file-list=" text, and deletes it once its Java
// program holds the paths.
TEST(Respawn, TheChildGetsTheExtensionsListAndDeletesIt) {
    Installation installation(kLauncher32);
    const std::wstring launcher64 = builtLauncher64();
    ASSERT_TRUE(wintest::fileExists(launcher64)) << "no Varkel-64.exe at " << wintest::utf8(launcher64);
    wintest::copyFileOrFail(launcher64, installation / kLauncher64);
    const std::wstring list = wintest::temporaryFolder() + L"Varkel-selection-respawn-" +
                              std::to_wstring(GetCurrentProcessId()) + L".txt";
    wintest::writeFileBytes(list, "C:\\one.log\r\nC:\\t w o.log\r\n");
    const std::wstring releaseFile = installation / L"release";
    StandinBehaviour behaviour;
    behaviour.releaseFile = releaseFile;
    const std::wstring arguments = L"\"--file-list=" + list + L"\" ";

    Launch launch = launchertest::launch(installation, arguments, behaviour, slowRun());
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    StandinRecord record = waitForMain(installation);
    ASSERT_TRUE(record.arguments()) << "the 64-bit launcher did not reach mainVK";
    EXPECT_EQ(record.text(standin::kCommandLine), wintest::quoted(installation / kLauncher64) + L" " + arguments);
    EXPECT_EQ(*record.arguments(), (std::vector<std::wstring>{L"C:\\one.log", L"C:\\t w o.log"}));
    EXPECT_FALSE(wintest::fileExists(list)) << "the child deletes the list once its Java program holds the paths";
    auto process = record.first(standin::kProcess);
    HANDLE child = process ? OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(std::stoul(process->at(1)))) : nullptr;
    wintest::writeFileBytes(releaseFile, "");
    if (child) {
        WaitForSingleObject(child, kChildTimeoutMs);
        CloseHandle(child);
    }
    DeleteFileW(list.c_str());
}

TEST(Respawn, WithoutVarkel64TheReportEndsWithTheRespawnFailure) {
    Installation installation(kLauncher32);
    wintest::RunOptions options = slowRun();
    options.answer = [](const wintest::SeenBox& box) { return box.hasYes ? IDYES : IDOK; };
    Launch launch = launchertest::launch(installation, L"file.log", {}, options);
    EXPECT_EQ(launch.run.exitCode, 2u);
    ASSERT_EQ(launch.run.boxes.size(), 2u);

    const wintest::SeenBox& summary = launch.run.boxes[0];
    EXPECT_EQ(summary.caption, kCaption);
    EXPECT_EQ(summary.icon, L"error");
    EXPECT_TRUE(summary.hasYes && summary.hasNo);
    EXPECT_EQ(summary.text,
              L"Unable to find a 32-bits version of Java (mandatory since you are trying to use Varkel in 32-bits).\n"
              L"Possible solutions:\n\n  - Run the 64-bits version of Varkel using \"Varkel-64.exe\" instead\n"
              L"    (a suitable 64-bits Java has been found)\n\n"
              L"  - Specify a valid 32-bits Java path using \"JAVA_PATH\" variable in file:\n    \"" +
                  installation.configPath() + L"\"\n\n  - [Re]install Java 32-bits\n\nDo you want to see detailed errors?");

    const std::wstring home = installation.javaHome();
    expectErrorBox(launch.run.boxes[1],
                   L"Errors while trying to find and start 32-bits JVM:"
                   L"\n- " + home + L"\\bin\\client\\jvm.dll:\n   Error 126: File not found."
                   L"\n- " + home + L"\\bin\\server\\jvm.dll:\n   Error 193: Can't load 64-bits DLL from this 32-bits process."
                   L"\n- " + home + L"\\jre\\bin\\client\\jvm.dll:\n   Error 126: File not found."
                   L"\n- " + home + L"\\jre\\bin\\server\\jvm.dll:\n   Error 126: File not found."
                   L"\n\nUnable to respawn in 64-bits mode due to:\n" + systemErrorItem(ERROR_FILE_NOT_FOUND));
}

// A 64-bit Java that only its installer's key names (no JAVA_PATH, JAVA_HOME
// or PATH): error 193 in Varkel.exe, and Varkel-64.exe finds the same key.
TEST(Respawn, A64BitJavaFoundOnlyThroughItsInstallerKeyHandsOver) {
    wintest::RegistryLock lock;
    removeJavaInstallerKeys();
    EnvironmentOverride environment;
    environment.set(L"JAVA_HOME", std::nullopt);
    wchar_t systemDirectory[MAX_PATH + 1];
    environment.set(L"PATH", std::wstring(systemDirectory, GetSystemDirectoryW(systemDirectory, MAX_PATH + 1)));
    Installation installation(kLauncher32);
    installation.write(L"startup.conf", "SPLASH_SCREEN=0\n");
    wintest::copyFileOrFail(builtLauncher64(), installation / kLauncher64);
    const std::wstring home = installation / L"temurin";
    wintest::makeDirectories(home + L"\\bin\\server");
    wintest::copyFileOrFail(builtStandinJvm(), home + kJvmSuffix);  // the 64-bit stand-in
    writeRegistryText(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\Eclipse Adoptium\\JDK\\21.0.2.13\\hotspot\\MSI",
                      L"Path", home + L"\\");

    Launch launch = launchertest::launch(installation, L"file.log", {}, slowRun());
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    StandinRecord record = waitForMain(installation);
    removeJavaInstallerKeys();
    ASSERT_TRUE(record.first(standin::kArgumentCount)) << "the 64-bit launcher did not reach mainVK";
    EXPECT_EQ(record.text(standin::kProcess), L"64");
    EXPECT_EQ(record.text(standin::kModule), home + kJvmSuffix);
}

// With JAVA_MIN_VERSION=11, an old 32-bit Java that Varkel.exe could load is
// passed over; a 64-bit Java that meets the minimum makes it hand over, and
// Varkel-64.exe passes over the old one too.
TEST(Respawn, AnOld32BitJavaIsPassedOverForASuitable64BitOne) {
    wintest::RegistryLock lock;
    removeJavaInstallerKeys();
    EnvironmentOverride environment;
    wchar_t systemDirectory[MAX_PATH + 1];
    environment.set(L"PATH", std::wstring(systemDirectory, GetSystemDirectoryW(systemDirectory, MAX_PATH + 1)));
    Installation installation(kLauncher32);
    installation.write(L"startup.conf", "SPLASH_SCREEN=0\nJAVA_MIN_VERSION=11\n");
    wintest::copyFileOrFail(builtLauncher64(), installation / kLauncher64);
    const std::wstring jre8 = installation / L"jre8";  // found first, through JAVA_HOME
    installation.write(L"jre8\\release", "JAVA_VERSION=\"1.8.0_392\"\r\n");
    wintest::makeDirectories(jre8 + L"\\bin\\client");
    wintest::copyFileOrFail(builtStandinJvmOtherBits(), jre8 + L"\\bin\\client\\jvm.dll");  // the 32-bit stand-in
    environment.set(L"JAVA_HOME", jre8);
    const std::wstring jdk17 = installation / L"jdk17";
    installation.write(L"jdk17\\release", "JAVA_VERSION=\"17.0.9\"\r\n");
    wintest::makeDirectories(jdk17 + L"\\bin\\server");
    wintest::copyFileOrFail(builtStandinJvm(), jdk17 + kJvmSuffix);  // the 64-bit stand-in
    writeRegistryText(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\JavaSoft\\JDK\\17.0.9", L"JavaHome", jdk17);

    Launch launch = launchertest::launch(installation, L"file.log", {}, slowRun());
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    StandinRecord record = waitForMain(installation);
    removeJavaInstallerKeys();
    ASSERT_TRUE(record.first(standin::kArgumentCount)) << "the 64-bit launcher did not reach mainVK";
    EXPECT_EQ(record.all(standin::kProcess).size(), 1u) << "the old 32-bit Java was never started";
    EXPECT_EQ(record.text(standin::kProcess), L"64");
    EXPECT_EQ(record.text(standin::kModule), jdk17 + kJvmSuffix);
}

}  // namespace
}  // namespace launchertest
