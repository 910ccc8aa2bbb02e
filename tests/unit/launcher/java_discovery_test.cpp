#include "launcher_fixture.h"

#include "build_constants.h"
#include "java_homes.h"
#include "jvm_library.h"
#include "respawn.h"

using varkel::JavaBitness;
using varkel::JavaHomeCandidate;
using varkel::JavaHomeSource;
using View = varkel::platform::RegistryView;

namespace {

const std::u16string kJreKey = u"SOFTWARE\\JavaSoft\\Java Runtime Environment";

void registerJava(View view, const std::u16string& version, std::optional<std::u16string> home,
                  std::optional<std::u16string> runtimeLib) {
    auto& registry = fake::machine().registry;
    registry[{view, kJreKey, u"CurrentVersion"}] = version;
    if (home) registry[{view, kJreKey + u"\\" + version, u"JavaHome"}] = *home;
    if (runtimeLib) registry[{view, kJreKey + u"\\" + version, u"RuntimeLib"}] = *runtimeLib;
}

std::string describe(const std::vector<JavaHomeCandidate>& list) {
    std::string out;
    for (const auto& c : list) {
        out += c.javaHome ? utf8(*c.javaHome) : "(null)";
        out += "|" + (c.runtimeLib ? utf8(*c.runtimeLib) : "(null)");
        out += "|" + std::to_string(static_cast<int>(c.bitness)) + "|" + std::to_string(static_cast<int>(c.source)) + "\n";
    }
    return out;
}

}  // namespace

TEST_F(LauncherTest, CandidatesFromEverySourceInPriorityOrder) {
    ctx_.exeDirectory = u"C:\\Varkel";
    machine().existingPaths = {u"C:\\Varkel\\jre", u"C:\\Java\\bin\\java.exe", u"C:\\Windows\\system32\\java.exe",
                               u"C:\\Other\\BIN\\java.exe", u"C:\\Tools\\java.exe"};
    registerJava(View::view32, u"1.8", u"C:\\Java32", std::nullopt);
    registerJava(View::view64, u"17", std::nullopt, u"C:\\Java64\\bin\\server\\jvm.dll");
    machine().environment[u"JAVA_HOME"] = u"C:\\Home\\";
    machine().environment[u"PATH"] =
        u"C:\\Windows\\system32;;C:\\Java\\bin\\;C:\\Missing\\bin;C:\\Other\\BIN;C:\\Tools;C:\\WINDOWS\\system32";
    machine().existingPaths.insert(u"C:\\WINDOWS\\system32\\java.exe");
    varkel::collectJavaHomes(ctx_);
    EXPECT_EQ(describe(ctx_.javaHomeCandidates),
              "C:\\Varkel\\jre|(null)|2|4\n"
              "C:\\Java32|(null)|0|2\n"
              "(null)|C:\\Java64\\bin\\server\\jvm.dll|1|2\n"
              "C:\\Home\\|(null)|2|1\n"
              "C:\\Java|(null)|2|0\n"           // trailing backslash, then "\bin", removed
              "C:\\Other\\BIN|(null)|2|0\n"     // "\bin" is tested case-sensitively
              "C:\\Tools|(null)|2|0\n"
              "C:\\WINDOWS\\system32|(null)|2|0\n");  // the system directory only in its exact case is skipped
}

namespace {
using Root = varkel::platform::RegistryRoot;
void registerInstall(Root root, View view, const std::u16string& key, const std::u16string& valueName,
                     const std::u16string& value) {
    fake::machine().installerRegistry[{root, view, key, valueName}] = value;
}
}  // namespace

// After every older source: Oracle's keys (CurrentVersion first, then the
// other versions highest first), then the vendors' keys under the machine and
// then the user, each key in its 32-bit and then its 64-bit view.
TEST_F(LauncherTest, InstallerKeysAfterEveryOtherSourceInKeyOrder) {
    ctx_.exeDirectory = u"C:\\Varkel";
    machine().environment[u"JAVA_HOME"] = u"C:\\Home";
    const std::u16string jdk = u"SOFTWARE\\JavaSoft\\JDK";
    registerInstall(Root::localMachine, View::view64, jdk, u"CurrentVersion", u"17");
    for (const char16_t* version : {u"11.0.2", u"17", u"21.0.1"})
        registerInstall(Root::localMachine, View::view64, jdk + u"\\" + version, u"JavaHome",
                        u"C:\\jdk-" + std::u16string(version) + u"\\");
    registerInstall(Root::localMachine, View::view64, jdk + u"\\17", u"RuntimeLib", u"C:\\jdk-17\\bin\\server\\jvm.dll");
    // A CurrentVersion naming a version that is gone hides nothing.
    const std::u16string jre = u"SOFTWARE\\JavaSoft\\JRE";
    registerInstall(Root::localMachine, View::view32, jre, u"CurrentVersion", u"9");
    registerInstall(Root::localMachine, View::view32, jre + u"\\1.8.0_402", u"JavaHome", u"C:\\jre8");
    registerInstall(Root::localMachine, View::view32, jre + u"\\1.8.0_92", u"JavaHome", u"");  // empty: none
    registerInstall(Root::currentUser, View::view64, u"SOFTWARE\\Eclipse Adoptium\\JRE\\21.0.2.13\\hotspot\\MSI",
                    u"Path", u"C:\\Users\\me\\temurin-21");
    registerInstall(Root::localMachine, View::view64, u"SOFTWARE\\BellSoft\\Liberica\\jdk-17", u"InstallationPath",
                    u"C:\\liberica-17");
    registerInstall(Root::localMachine, View::view32, u"SOFTWARE\\Azul Systems\\Zulu\\zulu-8", u"InstallationPath",
                    u"C:\\zulu-8");
    registerInstall(Root::localMachine, View::view64, u"SOFTWARE\\Microsoft\\JDK\\17.0.9.8\\hotspot\\MSI", u"Path",
                    u"C:\\ms-17");
    registerInstall(Root::localMachine, View::view64, u"SOFTWARE\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI",
                    u"Path", u"C:\\temurin-17");
    varkel::collectJavaHomes(ctx_);
    EXPECT_EQ(describe(ctx_.javaHomeCandidates),
              "C:\\Home|(null)|2|1\n"
              "C:\\jdk-17|C:\\jdk-17\\bin\\server\\jvm.dll|1|2\n"  // trailing backslashes removed
              "C:\\jdk-21.0.1|(null)|1|2\n"
              "C:\\jdk-11.0.2|(null)|1|2\n"
              "C:\\jre8|(null)|0|2\n"
              "C:\\temurin-17|(null)|1|2\n"
              "C:\\ms-17|(null)|1|2\n"
              "C:\\zulu-8|(null)|0|2\n"
              "C:\\liberica-17|(null)|1|2\n"
              "C:\\Users\\me\\temurin-21|(null)|1|2\n");
}

TEST_F(LauncherTest, JavaPathAloneWhenSet) {
    ctx_.config.javaPath = u"C:\\Nowhere";
    machine().existingPaths = {u"C:\\Varkel\\jre"};
    machine().environment[u"JAVA_HOME"] = u"C:\\Home";
    registerJava(View::view64, u"17", u"C:\\Java64", std::nullopt);
    registerInstall(Root::localMachine, View::view64, u"SOFTWARE\\JavaSoft\\JDK\\21", u"JavaHome", u"C:\\jdk-21");
    varkel::collectJavaHomes(ctx_);
    EXPECT_EQ(describe(ctx_.javaHomeCandidates), "C:\\Nowhere|(null)|2|3\n");
}

TEST_F(LauncherTest, LibraryPathsPerCandidateWithoutDuplicates) {
    std::vector<JavaHomeCandidate> candidates(3);
    candidates[0].javaHome = u"C:\\J";
    candidates[0].runtimeLib = u"C:\\J\\bin\\server\\jvm.dll";
    candidates[1] = candidates[0];  // the same installation in both registry views
    candidates[2].runtimeLib = u"D:\\only.dll";
    EXPECT_EQ(varkel::jvmLibraryPaths(candidates),
              (std::vector<std::u16string>{u"C:\\J\\bin\\server\\jvm.dll", u"C:\\J\\bin\\client\\jvm.dll",
                                           u"C:\\J\\jre\\bin\\client\\jvm.dll", u"C:\\J\\jre\\bin\\server\\jvm.dll",
                                           u"D:\\only.dll"}));
}

TEST_F(LauncherTest, FirstLoadableLibraryWinsWithItsDllDirectory) {
    writeConfig("");
    launch(u"");
    EXPECT_EQ(machine().loadAttempts.front(), u"C:\\Java\\bin\\client\\jvm.dll");
    EXPECT_EQ(machine().loadAttempts[1], u"C:\\Java\\bin\\server\\jvm.dll");
    EXPECT_EQ(machine().dllDirectories[0], u"C:\\Java\\bin");
    EXPECT_EQ(machine().dllDirectories[1], u"C:\\Java\\bin");
    EXPECT_EQ(ctx_.jvmModule, machine().libraries[kServerJvm].handle);
}

TEST_F(LauncherTest, NoCandidateMeansJavaIsNotInstalled) {
    writeConfig("", false);
    fake::ProcessEnded end = launch(u"");
    EXPECT_EQ(end.code, 2u);
    EXPECT_EQ(onlyBox().text,
              u"Java is not installed. Please install it from https://adoptium.net/,\nor download the full Varkel "
              u"installer (with Java included) from https://www.orvane.com/varkel/.");
}

namespace {
std::u16string expectedSummary(bool wrongBitness) {
    const std::u16string bits = varkel::kIs32BitBuild ? u"32" : u"64";
    const std::u16string solution =
        !wrongBitness ? u""
        : varkel::kIs32BitBuild
            ? u"\n  - Run the 64-bits version of Varkel using \"Varkel-64.exe\" instead\n    (a suitable 64-bits Java "
              u"has been found)\n"
            : u"\n  - Run the 32-bits version of Varkel using \"Varkel.exe\" instead\n    (a suitable 32-bits Java has "
              u"been found)\n";
    return u"Unable to find a " + bits + u"-bits version of Java (mandatory since you are trying to use Varkel in " +
           bits + u"-bits).\nPossible solutions:\n" + solution + u"\n  - Specify a valid " + bits +
           u"-bits Java path using \"JAVA_PATH\" variable in file:\n    \"C:\\Varkel\\startup.conf\"\n\n  - "
           u"[Re]install Java " + bits + u"-bits\n\nDo you want to see detailed errors?";
}
}  // namespace

TEST_F(LauncherTest, NothingLoadsAnswerNoEndsWithoutASecondBox) {
    machine().libraries.clear();
    machine().boxAnswers = {7};  // No
    fake::ProcessEnded end = launch(u"");
    EXPECT_EQ(end.code, 2u);
    EXPECT_EQ(end.how, fake::ProcessEnded::How::exitProcess);
    EXPECT_EQ(onlyBox().text, expectedSummary(false));
    EXPECT_EQ(onlyBox().style, 0x14u);
}

TEST_F(LauncherTest, NothingLoadsAnswerYesShowsEveryPathTried) {
    machine().libraries.clear();
    fake::Machine::Library wrong;
    wrong.error = 193;
    machine().libraries[u"C:\\Java\\bin\\server\\jvm.dll"] = wrong;
    fake::Machine::Library denied;
    denied.error = 5;
    machine().libraries[u"C:\\Java\\jre\\bin\\client\\jvm.dll"] = denied;
    machine().boxAnswers = {6};  // Yes
    machine().createProcessFails = true;
    fake::ProcessEnded end = launch(u"a b");
    EXPECT_EQ(end.code, 2u);
    ASSERT_EQ(machine().boxes.size(), 2u);
    EXPECT_EQ(machine().boxes[0].text, expectedSummary(true));
    const std::u16string bits = varkel::kIs32BitBuild ? u"32" : u"64";
    const std::u16string other = varkel::kIs32BitBuild ? u"64" : u"32";
    std::u16string report = u"Errors while trying to find and start " + bits + u"-bits JVM:" +
                            u"\n- C:\\Java\\bin\\client\\jvm.dll:\n   Error 126: File not found." +
                            u"\n- C:\\Java\\bin\\server\\jvm.dll:\n   Error 193: Can't load " + other +
                            u"-bits DLL from this " + bits + u"-bits process." +
                            u"\n- C:\\Java\\jre\\bin\\client\\jvm.dll:\n   Error 5: \"Access denied.\"" +
                            u"\n- C:\\Java\\jre\\bin\\server\\jvm.dll:\n   Error 126: File not found.";
    if (varkel::kIs32BitBuild) report += u"\n\nUnable to respawn in 64-bits mode due to:\nError 2: \"File not found.\"";
    EXPECT_EQ(machine().boxes[1].text, report);
    EXPECT_EQ(machine().boxes[1].style, 0x10010u);
}

TEST_F(LauncherTest, Only32BitBuildRespawnsOnWrongBitness) {
    machine().libraries.clear();
    fake::Machine::Library wrong;
    wrong.error = 193;
    machine().libraries[kServerJvm] = wrong;
    fake::ProcessEnded end = launch(u"--console \"C:\\my logs\\a.log\"");
    if (varkel::kIs32BitBuild) {
        EXPECT_EQ(end.code, 0u);
        EXPECT_TRUE(machine().boxes.empty());
        EXPECT_EQ(machine().createdProcesses,
                  (std::vector<std::u16string>{u"\"C:\\Varkel\\Varkel-64.exe\" --console \"C:\\my logs\\a.log\""}));
    } else {
        EXPECT_EQ(end.code, 2u);
        EXPECT_TRUE(machine().createdProcesses.empty());
    }
}

TEST_F(LauncherTest, RespawnCommandLineWithoutArgumentsEndsInABlank) {
    ctx_.exeDirectory = u"C:\\Varkel";
    ctx_.commandLine = u"";
    EXPECT_EQ(varkel::respawnCommandLine(ctx_), u"\"C:\\Varkel\\Varkel-64.exe\" ");
}
