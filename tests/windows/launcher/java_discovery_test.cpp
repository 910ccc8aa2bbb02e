// Finding Java: the private "jre", the registry in its 32-bit and 64-bit
// views, JAVA_HOME, PATH and the keys of current Java installers, in that
// order, unless JAVA_PATH names the one home to use; the JVM library paths tried for each home; the summary and the
// detailed report when nothing loads.
//
// These tests change the machine's registry and the environment the launcher
// inherits; the registry lock keeps other test programs from seeing or
// changing the Java registration meanwhile.
#include <gtest/gtest.h>

#include <functional>

#include "installer_registry.h"
#include "launcher_fixture.h"
#include "messages.h"
#include "registry_lock.h"
#include "standin_jvm_protocol.h"

namespace launchertest {
namespace {

constexpr const wchar_t* kJavaSoftKey = L"SOFTWARE\\JavaSoft";
constexpr const wchar_t* kJreKeyName = L"Java Runtime Environment";
constexpr const wchar_t* kLibraryOrder[] = {L"\\bin\\client\\jvm.dll", L"\\bin\\server\\jvm.dll",
                                            L"\\jre\\bin\\client\\jvm.dll", L"\\jre\\bin\\server\\jvm.dll"};
constexpr const wchar_t* kNotFound = L"Error 126: File not found.";
constexpr const wchar_t* kWrongBitness = L"Error 193: Can't load 32-bits DLL from this 64-bits process.";

// ---- The Java registration ---------------------------------------------------------

void deleteJavaRegistration(REGSAM view) {
    HKEY javaSoft = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kJavaSoftKey, 0, KEY_ALL_ACCESS | view, &javaSoft) != ERROR_SUCCESS) return;
    RegDeleteTreeW(javaSoft, kJreKeyName);
    RegCloseKey(javaSoft);
}

// Installers do not always store the terminator; such a value still counts whole.
enum class Terminator { stored, missing };

void setString(HKEY key, const wchar_t* name, const std::wstring& value, Terminator terminator = Terminator::stored) {
    std::size_t characters = value.size() + (terminator == Terminator::stored ? 1 : 0);
    ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(characters * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

// Writes a registration like a Java installer's into one registry view.
void registerJava(REGSAM view, const std::wstring& version, const std::optional<std::wstring>& javaHome,
                  const std::optional<std::wstring>& runtimeLib, Terminator terminator = Terminator::stored) {
    const std::wstring jreKey = std::wstring(kJavaSoftKey) + L"\\" + kJreKeyName;
    HKEY key = nullptr, versionKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, jreKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    setString(key, L"CurrentVersion", version);
    ASSERT_EQ(RegCreateKeyExW(key, version.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &versionKey, nullptr),
              ERROR_SUCCESS);
    if (javaHome) setString(versionKey, L"JavaHome", *javaHome, terminator);
    if (runtimeLib) setString(versionKey, L"RuntimeLib", *runtimeLib, terminator);
    RegCloseKey(versionKey);
    RegCloseKey(key);
}

std::wstring systemDirectory() {
    wchar_t buffer[MAX_PATH + 1];
    UINT length = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    return std::wstring(buffer, length);
}

// Owns the machine's Java registration and the launcher's JAVA_HOME and PATH
// for one test: nothing from outside leaks in, and everything is undone.
class JavaDiscovery : public ::testing::Test {
public:
    void SetUp() override {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) deleteJavaRegistration(view);
        removeJavaInstallerKeys();
        environment_.set(L"JAVA_HOME", std::nullopt);
        setPath({});
    }
    void TearDown() override {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) deleteJavaRegistration(view);
        removeJavaInstallerKeys();
    }
    // PATH: the system directory (never a Java home), then the given entries.
    void setPath(const std::vector<std::wstring>& entries) {
        std::wstring path = systemDirectory();
        for (const auto& entry : entries) path += L";" + entry;
        environment_.set(L"PATH", path);
    }
    void setJavaHome(const std::wstring& home) { environment_.set(L"JAVA_HOME", home); }

private:
    wintest::RegistryLock lock_;
    EnvironmentOverride environment_;
};

// An installation whose startup.conf does not name a Java home.
void withoutJavaPath(const Installation& installation) { installation.write(L"startup.conf", "SPLASH_SCREEN=0\n"); }

void placeStandin(const std::wstring& path, const std::wstring& built = builtStandinJvm()) {
    wintest::makeDirectories(path.substr(0, path.find_last_of(L'\\')));
    wintest::copyFileOrFail(built, path);
}

void placeJavaExe(const std::wstring& folder) {
    wintest::makeDirectories(folder);
    wintest::writeFileBytes(folder + L"\\java.exe", "MZ");
}

std::wstring summary(bool suggestsOtherBuild, const std::wstring& configPath) {
    std::wstring solutions = suggestsOtherBuild ? L"\n  - Run the 32-bits version of Varkel using \"Varkel.exe\" instead\n"
                                                  L"    (a suitable 32-bits Java has been found)\n"
                                                : L"";
    return L"Unable to find a 64-bits version of Java (mandatory since you are trying to use Varkel in 64-bits).\n"
           L"Possible solutions:\n" +
           solutions + L"\n  - Specify a valid 64-bits Java path using \"JAVA_PATH\" variable in file:\n    \"" +
           configPath + L"\"\n\n  - [Re]install Java 64-bits\n\nDo you want to see detailed errors?";
}

void expectSummaryBox(const wintest::SeenBox& box, const std::wstring& text) {
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, L"error");
    EXPECT_TRUE(box.hasYes && box.hasNo) << "a Yes/No question";
    EXPECT_FALSE(box.hasOk);
}

struct Attempt {
    std::wstring path;
    std::wstring error;
};

std::wstring report(const std::vector<Attempt>& attempts) {
    std::wstring text = L"Errors while trying to find and start 64-bits JVM:";
    for (const Attempt& attempt : attempts) text += L"\n- " + attempt.path + L":\n   " + attempt.error;
    return text;
}

// The four library paths of a Java home, each failing with "file not found".
void addHome(std::vector<Attempt>& attempts, const std::wstring& home) {
    for (const wchar_t* suffix : kLibraryOrder) attempts.push_back({home + suffix, kNotFound});
}

int answerYes(const wintest::SeenBox& box) { return box.hasYes ? IDYES : IDOK; }

// A launch that finds no usable Java, with "Yes" to the offer of the detailed
// report: it ends with 2.
Launch launchAskingForTheReport(const Installation& installation) {
    wintest::RunOptions options;
    options.answer = answerYes;
    Launch launch = launchertest::launch(installation, {}, {}, options);
    EXPECT_EQ(launch.run.exitCode, 2u);
    return launch;
}

// Every source at once, none with a usable JVM, one with a 32-bit one: the
// report lists every path in the order of the sources, each once, and the
// summary suggests the 32-bit build. Long registry values and PATH entries
// count whole.
TEST_F(JavaDiscovery, EverySourceInOrderInTheDetailedReport) {
    for (bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "answered Yes" : "answered No");
        Installation installation;
        withoutJavaPath(installation);
        const std::wstring jre = installation / L"jre";
        const std::wstring registry32 = installation / L"reg32";
        const std::wstring registry64 = installation / (std::wstring(180, L'r') + L"\\reg64");
        const std::wstring javaHome = installation / L"javahome\\";  // taken with its backslash
        const std::wstring onPath = installation / L"pathjava";
        const std::wstring longOnPath = installation / (std::wstring(130, L'p') + L"\\" + std::wstring(130, L'q'));
        wintest::makeDirectories(jre);
        registerJava(KEY_WOW64_32KEY, L"1.8", registry32, registry32 + L"\\bin\\server\\jvm.dll");
        registerJava(KEY_WOW64_64KEY, L"17", registry64, std::nullopt);
        setJavaHome(javaHome);
        placeJavaExe(onPath + L"\\bin");
        placeJavaExe(longOnPath + L"\\bin");
        wintest::makeDirectories(installation / L"nojava");
        setPath({onPath + L"\\bin", installation / L"nojava", longOnPath + L"\\bin\\"});
        placeStandin(onPath + L"\\bin\\server\\jvm.dll", builtStandinJvmOtherBits());

        std::vector<Attempt> attempts;
        addHome(attempts, jre);
        attempts.push_back({registry32 + L"\\bin\\server\\jvm.dll", kNotFound});  // RuntimeLib first...
        for (const wchar_t* suffix : {L"\\bin\\client\\jvm.dll", L"\\jre\\bin\\client\\jvm.dll",
                                      L"\\jre\\bin\\server\\jvm.dll"})  // ...and not again
            attempts.push_back({registry32 + suffix, kNotFound});
        addHome(attempts, registry64);
        addHome(attempts, javaHome);
        addHome(attempts, onPath);
        attempts[attempts.size() - 3].error = kWrongBitness;
        addHome(attempts, longOnPath);

        wintest::RunOptions options;
        if (yes) options.answer = answerYes;
        Launch launch = launchertest::launch(installation, L"file.log", {}, options);
        EXPECT_EQ(launch.run.exitCode, 2u);
        EXPECT_FALSE(launch.record.loaded());
        ASSERT_EQ(launch.run.boxes.size(), yes ? 2u : 1u);
        expectSummaryBox(launch.run.boxes[0], summary(true, installation.configPath()));
        if (!yes) continue;
        // With lines this long the box may reach past the display's edges,
        // where its icon cannot be read; JavaPathAloneIsSearched checks the
        // report box's icon.
        const wintest::SeenBox& details = launch.run.boxes[1];
        EXPECT_EQ(details.caption, kCaption);
        EXPECT_EQ(details.text, report(attempts));
        EXPECT_TRUE(details.hasOk && !details.hasYes && !details.hasNo);
    }
}

// Each source alone leads to its JVM; a home's client library comes before
// its server library.
TEST_F(JavaDiscovery, EachSourceAloneLoadsItsJvm) {
    struct Case {
        const char* source;
        std::function<std::wstring(JavaDiscovery&, const Installation&)> setUp;  // returns the JVM to be loaded
    } cases[] = {
        {"private jre",
         [](JavaDiscovery&, const Installation& i) { return i / L"jre\\bin\\server\\jvm.dll"; }},
        {"registry, 32-bit view, RuntimeLib only, stored without its terminator",
         [](JavaDiscovery&, const Installation& i) {
             registerJava(KEY_WOW64_32KEY, L"1.8", std::nullopt, i / L"runtime\\jvm.dll", Terminator::missing);
             return i / L"runtime\\jvm.dll";
         }},
        {"registry, 64-bit view, JavaHome only",
         [](JavaDiscovery&, const Installation& i) {
             registerJava(KEY_WOW64_64KEY, L"17.0.2", i / L"reg64", std::nullopt);
             return i / L"reg64\\bin\\server\\jvm.dll";
         }},
        {"JAVA_HOME, client before server",
         [](JavaDiscovery& test, const Installation& i) {
             test.setJavaHome(i / L"home");
             placeStandin(i / L"home\\bin\\server\\jvm.dll");
             return i / L"home\\bin\\client\\jvm.dll";
         }},
        {"JAVA_HOME longer than MAX_PATH",
         [](JavaDiscovery& test, const Installation& i) {
             const std::wstring home = i / (std::wstring(150, L'h') + L"\\" + std::wstring(150, L'j'));
             test.setJavaHome(home);
             return home + L"\\bin\\server\\jvm.dll";
         }},
        {"PATH",
         [](JavaDiscovery& test, const Installation& i) {
             placeJavaExe(i / L"onpath\\bin");
             test.setPath({i / L"elsewhere", i / L"onpath\\bin"});
             return i / L"onpath\\jre\\bin\\server\\jvm.dll";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        SetUp();
        Installation installation;
        withoutJavaPath(installation);
        std::wstring jvm = c.setUp(*this, installation);
        placeStandin(jvm);
        StandinBehaviour behaviour;
        behaviour.mainResult = 21;
        Launch launch = launchertest::launch(installation, {}, behaviour);
        EXPECT_EQ(launch.run.exitCode, 21u);
        EXPECT_TRUE(launch.run.boxes.empty());
        EXPECT_EQ(launch.record.text(standin::kModule), jvm);
        // The DLL directory is the library's folder two levels up, whole.
        std::wstring folder = jvm.substr(0, jvm.find_last_of(L'\\'));
        EXPECT_EQ(launch.record.text(standin::kDllDirectory), folder.substr(0, folder.find_last_of(L'\\')));
        TearDown();
    }
}

// JAVA_PATH (here naming the "bin" folder, with a trailing backslash) is the
// only home searched, even when it holds no JVM and other sources would.
TEST_F(JavaDiscovery, JavaPathAloneIsSearched) {
    Installation installation;
    const std::wstring named = installation / L"named";
    installation.write(L"startup.conf", "JAVA_PATH=" + wintest::utf8(named) + "\\bin\\\n");
    placeStandin(installation / L"jre\\bin\\server\\jvm.dll");
    setJavaHome(installation.javaHome());
    Launch launch = launchAskingForTheReport(installation);
    EXPECT_FALSE(launch.record.loaded());
    ASSERT_EQ(launch.run.boxes.size(), 2u);
    // Only missing files: no suggestion of the other build.
    expectSummaryBox(launch.run.boxes[0], summary(false, installation.configPath()));
    std::vector<Attempt> attempts;
    addHome(attempts, named);
    expectErrorBox(launch.run.boxes[1], report(attempts));
}

TEST_F(JavaDiscovery, NoCandidateMeansJavaIsNotInstalled) {
    Installation installation;
    withoutJavaPath(installation);
    Launch launch = launchertest::launch(installation);
    EXPECT_EQ(launch.run.exitCode, 2u);
    ASSERT_EQ(launch.run.boxes.size(), 1u);
    const std::wstring javaDownload = reinterpret_cast<const wchar_t*>(varkel::text::kJavaDownloadAddress);
    const std::wstring product = reinterpret_cast<const wchar_t*>(varkel::text::kProductAddress);
    EXPECT_EQ(javaDownload.rfind(L"https://", 0), 0u);
    EXPECT_EQ(product.rfind(L"https://", 0), 0u);
    expectErrorBox(launch.run.boxes[0], L"Java is not installed. Please install it from " + javaDownload +
                                            L",\nor download the full Varkel installer (with Java included) from " +
                                            product + L".");
}

// ---- The keys of current Java installers -------------------------------------------

// One machine per installer, with only that installer's Java, registered as
// the installer registers it.
TEST_F(JavaDiscovery, EachInstallerAloneLoadsItsJvm) {
    struct Case {
        const char* installer;
        HKEY root;
        REGSAM view;
        const wchar_t* key;        // the version's key
        const wchar_t* valueName;  // where the home is written
        bool trailingBackslash;
    } cases[] = {
        {"Oracle 9+ JDK, no RuntimeLib", HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\JavaSoft\\JDK\\21", L"JavaHome",
         false},
        {"Oracle 9+ JRE", HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\JavaSoft\\JRE\\17.0.10", L"JavaHome", false},
        {"Oracle 8 JDK", HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\JavaSoft\\Java Development Kit\\1.8.0_402",
         L"JavaHome", false},
        {"Eclipse Adoptium JDK", HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY,
         L"SOFTWARE\\Eclipse Adoptium\\JDK\\21.0.2.13\\hotspot\\MSI", L"Path", true},
        {"Eclipse Adoptium JRE, per user", HKEY_CURRENT_USER, KEY_WOW64_64KEY,
         L"SOFTWARE\\Eclipse Adoptium\\JRE\\17.0.10.7\\hotspot\\MSI", L"Path", true},
        {"AdoptOpenJDK", HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\AdoptOpenJDK\\JDK\\11.0.11.9\\hotspot\\MSI",
         L"Path", true},
        {"Eclipse Foundation, 32-bit view", HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY,
         L"SOFTWARE\\Eclipse Foundation\\JDK\\16.0.2.7\\hotspot\\MSI", L"Path", true},
        {"Microsoft", HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\Microsoft\\JDK\\21.0.2.13\\hotspot\\MSI", L"Path",
         true},
        {"Azul Zulu", HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\Azul Systems\\Zulu\\zulu-17",
         L"InstallationPath", true},
        {"BellSoft Liberica", HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\BellSoft\\Liberica\\jdk-21",
         L"InstallationPath", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installer);
        SetUp();
        Installation installation;
        withoutJavaPath(installation);
        const std::wstring home = installation / L"vendor java";
        writeRegistryText(c.root, c.view, c.key, c.valueName, c.trailingBackslash ? home + L"\\" : home);
        placeStandin(home + kJvmSuffix);
        StandinBehaviour behaviour;
        behaviour.mainResult = 21;
        Launch launch = launchertest::launch(installation, {}, behaviour);
        EXPECT_EQ(launch.run.exitCode, 21u);
        EXPECT_TRUE(launch.run.boxes.empty());
        EXPECT_EQ(launch.record.text(standin::kModule), home + kJvmSuffix);
        TearDown();
    }
}

// A "CurrentVersion" naming a version that is no longer installed hides none
// of the others: the highest by number (not by text) loads.
TEST_F(JavaDiscovery, CurrentVersionOfAnUninstalledJavaHidesNothing) {
    Installation installation;
    withoutJavaPath(installation);
    const std::wstring jdk = L"SOFTWARE\\JavaSoft\\JDK";
    writeRegistryText(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, jdk, L"CurrentVersion", L"22");
    for (const wchar_t* version : {L"9.0.4", L"17.0.9", L"11.0.2"}) {
        const std::wstring home = installation / (std::wstring(L"jdk-") + version);
        writeRegistryText(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, jdk + L"\\" + version, L"JavaHome", home);
        placeStandin(home + kJvmSuffix);
    }
    Launch launch = launchertest::launch(installation);
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    EXPECT_EQ(launch.record.text(standin::kModule), installation / L"jdk-17.0.9" + kJvmSuffix);
}

// Entries that hold no usable home give no candidate and stop nothing: a
// "CurrentVersion" of 300 characters, thousands of versions without values, a
// value of the wrong type. A version name of 255 characters and a value longer
// than MAX_PATH count whole. The new paths come after those of the older
// sources in the detailed report.
TEST_F(JavaDiscovery, UnusableInstallerEntriesGiveNoCandidate) {
    Installation installation;
    withoutJavaPath(installation);
    const std::wstring javaHome = installation / L"javahome";
    setJavaHome(javaHome);
    writeRegistryText(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\JavaSoft\\JDK", L"CurrentVersion",
                      std::wstring(300, L'9'));
    for (int i = 0; i < 2000; ++i)
        createRegistryKey(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\Eclipse Adoptium\\JDK\\17.0." + std::to_wstring(i));
    writeRegistryNumber(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\Eclipse Adoptium\\JRE\\21\\hotspot\\MSI",
                        L"Path", 21);
    const std::wstring longHome = installation / (std::wstring(150, L'm') + L"\\" + std::wstring(150, L's'));
    writeRegistryText(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY,
                      L"SOFTWARE\\Microsoft\\JDK\\" + std::wstring(255, L'9') + L"\\hotspot\\MSI", L"Path", longHome);

    Launch launch = launchAskingForTheReport(installation);
    ASSERT_EQ(launch.run.boxes.size(), 2u);
    expectSummaryBox(launch.run.boxes[0], summary(false, installation.configPath()));
    std::vector<Attempt> attempts;
    addHome(attempts, javaHome);
    addHome(attempts, longHome);
    EXPECT_EQ(launch.run.boxes[1].text, report(attempts));
}

// Where the older sources find a Java that loads, the installers' keys change
// nothing: the same JVM loads.
TEST_F(JavaDiscovery, InstallerKeysLeaveAJavaOnPathAsItWas) {
    Installation installation;
    withoutJavaPath(installation);
    const std::wstring onPath = installation / L"pathjava";
    placeJavaExe(onPath + L"\\bin");
    placeStandin(onPath + kJvmSuffix);
    setPath({onPath + L"\\bin"});
    const std::wstring registered = installation / L"temurin";
    writeRegistryText(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"SOFTWARE\\JavaSoft\\JDK\\21", L"JavaHome", registered);
    placeStandin(registered + L"\\bin\\client\\jvm.dll");
    Launch launch = launchertest::launch(installation);
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    EXPECT_EQ(launch.record.text(standin::kModule), onPath + kJvmSuffix);
}

// ---- JAVA_MIN_VERSION ----------------------------------------------------------------

// A Java home's release file, as runtimes write it.
void writeRelease(const std::wstring& home, const std::string& version) {
    wintest::writeFileBytes(home + L"\\release",
                            "IMPLEMENTOR=\"Test\"\r\nJAVA_VERSION=\"" + version + "\"\r\nOS_NAME=\"Windows\"\r\n");
}

// A JDK 8 (its JVM under "jre", its release file above it) registered under
// the legacy key, which is searched first.
std::wstring registerJdk8(const Installation& installation) {
    const std::wstring jdk8 = installation / L"jdk8";
    placeStandin(jdk8 + L"\\jre" + kJvmSuffix);
    writeRelease(jdk8, "1.8.0_392");
    registerJava(KEY_WOW64_64KEY, L"1.8", jdk8, std::nullopt);
    return jdk8;
}

// A Java 8 found first and a Java 17 on PATH: with JAVA_MIN_VERSION=11 the 17
// starts, without it the 8 as before. With release files everywhere no
// version resource is read, and version.dll stays out of the process.
TEST_F(JavaDiscovery, JavaMinVersionPassesOverAnOlderJavaFoundFirst) {
    for (bool withMinimum : {true, false}) {
        SCOPED_TRACE(withMinimum ? "JAVA_MIN_VERSION=11" : "no JAVA_MIN_VERSION");
        SetUp();
        Installation installation;
        installation.write(L"startup.conf", std::string("SPLASH_SCREEN=0\n") + (withMinimum ? "JAVA_MIN_VERSION=11\n" : ""));
        const std::wstring jdk8 = registerJdk8(installation);
        const std::wstring jdk17 = installation / L"jdk17";
        placeJavaExe(jdk17 + L"\\bin");
        placeStandin(jdk17 + kJvmSuffix);
        writeRelease(jdk17, "17.0.9");
        setPath({jdk17 + L"\\bin"});
        Launch launch = launchertest::launch(installation);
        EXPECT_EQ(launch.run.exitCode, 0u);
        EXPECT_TRUE(launch.run.boxes.empty());
        EXPECT_EQ(launch.record.text(standin::kModule), withMinimum ? jdk17 + kJvmSuffix : jdk8 + L"\\jre" + kJvmSuffix);
        EXPECT_EQ(launch.record.text(standin::kVersionLibrary), L"-");
        TearDown();
    }
}

// Only older Javas, and one whose version cannot be told: nothing is loaded;
// the summary names the Java needed and the Javas found, and the report gives
// each library's reason in its place.
TEST_F(JavaDiscovery, JavaMinVersionWithOnlyOlderJavasExplainsWhy) {
    Installation installation;
    installation.write(L"startup.conf", "JAVA_MIN_VERSION=11\n");
    const std::wstring jdk8 = registerJdk8(installation);
    const std::wstring jre7 = installation / L"jre7";
    placeStandin(jre7 + kJvmSuffix);
    writeRelease(jre7, "1.7.0_80");
    setJavaHome(jre7);
    const std::wstring unknown = installation / L"unknown";  // no release file, a library without version resource
    placeJavaExe(unknown + L"\\bin");
    placeStandin(unknown + kJvmSuffix, builtStandinJvmOtherBits());
    setPath({unknown + L"\\bin"});
    Launch launch = launchAskingForTheReport(installation);
    EXPECT_FALSE(launch.record.loaded());
    ASSERT_EQ(launch.run.boxes.size(), 2u);
    expectSummaryBox(launch.run.boxes[0],
                     L"Varkel needs Java 11 or later in 64-bits (mandatory since you are trying to use Varkel in "
                     L"64-bits), and none could be loaded.\nJava versions found:\n  - Java 1.8.0_392 in \"" + jdk8 +
                         L"\"\n  - Java 1.7.0_80 in \"" + jre7 + L"\"\n\nPossible solutions:\n\n  - Specify a valid "
                         L"64-bits Java 11 (or later) path using \"JAVA_PATH\" variable in file:\n    \"" +
                         installation.configPath() + L"\"\n\n  - Install Java 11 or later, 64-bits\n\nDo you want to see "
                         L"detailed errors?");
    std::vector<Attempt> attempts;
    addHome(attempts, jdk8);
    attempts[3].error = L"Java 1.8.0_392 is older than the required 11.";
    addHome(attempts, jre7);
    attempts[5].error = L"Java 1.7.0_80 is older than the required 11.";
    addHome(attempts, unknown);
    attempts[9].error = L"Its Java version could not be read.";
    expectErrorBox(launch.run.boxes[1], report(attempts));
}

// Without a release file the library's version resource tells (version.dll
// is loaded for it).
TEST_F(JavaDiscovery, JavaMinVersionReadsTheVersionResourceWithoutAReleaseFile) {
    struct Case {
        const char* minimum;
        bool starts;
    };
    const std::wstring resourceVersion = standin::kResourceJavaVersion;
    for (const Case& c : {Case{"17.0.2", true}, Case{"17.0.10", false}}) {
        SCOPED_TRACE(c.minimum);
        Installation installation;
        installation.writeConfig(std::string("JAVA_MIN_VERSION=") + c.minimum + "\n");
        Launch launch = launchertest::launch(installation);
        EXPECT_EQ(launch.run.exitCode, c.starts ? 0u : 2u);
        EXPECT_EQ(launch.record.loaded(), c.starts);
        if (c.starts) {
            EXPECT_EQ(launch.record.text(standin::kVersionLibrary), L"loaded");
            continue;
        }
        ASSERT_EQ(launch.run.boxes.size(), 1u);
        EXPECT_NE(launch.run.boxes[0].text.find(L"\n  - Java " + resourceVersion + L" in \"" + installation.javaHome() +
                                                L"\"\n"),
                  std::wstring::npos)
            << wintest::utf8(launch.run.boxes[0].text);
    }
}

TEST_F(JavaDiscovery, JavaMinVersionThatIsNoVersionIsAConfigurationError) {
    Installation installation;
    installation.writeConfig("JAVA_MIN_VERSION=11 LTS\n");
    Launch launch = launchertest::launch(installation);
    EXPECT_EQ(launch.run.exitCode, 5u);
    EXPECT_FALSE(launch.record.loaded());
    ASSERT_EQ(launch.run.boxes.size(), 1u);
    expectErrorBox(launch.run.boxes[0], L"Invalid value \"11 LTS\" for parameter \"JAVA_MIN_VERSION\" in file \"" +
                                            installation.configPath() +
                                            L"\".\nPlease enter a Java version like \"11\" or \"17.0.2\".\nJava "
                                            L"program won't be launched.");
}

}  // namespace
}  // namespace launchertest
