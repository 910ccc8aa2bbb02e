// JAVA_MIN_VERSION: the version of each JVM library is told before it is
// loaded, from its home's release file or its version resource, and older or
// unknown ones are passed over; without the key nothing of this is read.
#include "launcher_fixture.h"

#include <algorithm>

#include "build_constants.h"
#include "jvm_library.h"

namespace {

const std::u16string kBits = varkel::kIs32BitBuild ? u"32" : u"64";
constexpr const char16_t* kServer = u"\\bin\\server\\jvm.dll";

class JavaMinVersion : public LauncherTest {
protected:
    // A Java home with the fake JVM as its server library (or at `library`)
    // and, unless releaseVersion is null, a release file stating it.
    void installJava(const std::u16string& home, const char* releaseVersion, const std::u16string& library = kServer) {
        installJvm(home + library);
        if (releaseVersion) machine().files[home + u"\\release"] = std::string("JAVA_VERSION=\"") + releaseVersion + "\"\n";
    }
    void putOnPath(const std::u16string& home) {
        machine().existingPaths.insert(home + u"\\bin\\java.exe");
        machine().environment[u"PATH"] += home + u"\\bin;";
    }
    bool called(const std::string& prefix) {
        return std::any_of(machine().calls.begin(), machine().calls.end(),
                           [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
    }
};

TEST_F(JavaMinVersion, WithoutTheKeyNothingIsRead) {
    for (const char* config : {"", "JAVA_MIN_VERSION=\n", "JAVA_MIN_VERSION= \t\n"}) {
        SCOPED_TRACE(config);
        SetUp();
        machine().files[u"C:\\Java\\release"] = "JAVA_VERSION=\"1.8.0_392\"\n";
        writeConfig(std::string("SPLASH_SCREEN=0\n") + config);
        EXPECT_EQ(launch(u"").code, 0u);
        EXPECT_EQ(machine().loadAttempts,
                  (std::vector<std::u16string>{u"C:\\Java\\bin\\client\\jvm.dll", u"C:\\Java\\bin\\server\\jvm.dll"}));
        EXPECT_FALSE(called("ReadFileStart") || called("GetFileVersionInfo"));
    }
}

// A JDK 8 found first (its release file above "jre") is passed over; the
// Java 17 found later is loaded, and only it is ever tried.
TEST_F(JavaMinVersion, AnOlderJavaFoundFirstIsNotLoaded) {
    writeConfig("SPLASH_SCREEN=0\nJAVA_MIN_VERSION=11\n", false);
    machine().environment[u"JAVA_HOME"] = u"C:\\jdk8";
    installJava(u"C:\\jdk8", "1.8.0_392", u"\\jre\\bin\\server\\jvm.dll");
    installJava(u"C:\\jdk17", "17.0.9");
    putOnPath(u"C:\\jdk17");
    EXPECT_EQ(launch(u"").code, 0u);
    EXPECT_EQ(machine().loadAttempts, (std::vector<std::u16string>{u"C:\\jdk17\\bin\\server\\jvm.dll"}));
    EXPECT_EQ(ctx_.jvmLibraryPath, u"C:\\jdk17\\bin\\server\\jvm.dll");
    EXPECT_TRUE(called("ReadFileStart C:\\jdk8\\jre\\release"));
    EXPECT_TRUE(called("ReadFileStart C:\\jdk8\\release"));
    EXPECT_FALSE(called("GetFileVersionInfo")) << "every home has a release file";
}

TEST_F(JavaMinVersion, WithoutAReleaseFileTheVersionResourceTells) {
    struct Case {
        const char* minimum;
        std::uint32_t exitCode;
    };
    for (const Case& c : {Case{"17.0.2", 0}, Case{"17.0.10", 2}}) {
        SCOPED_TRACE(c.minimum);
        SetUp();
        machine().productVersions[kServerJvm] = {17, 0, 9, 0};
        writeConfig(std::string("JAVA_MIN_VERSION=") + c.minimum + "\n");
        machine().boxAnswers = {6};  // Yes: the report
        EXPECT_EQ(launch(u"").code, c.exitCode);
        EXPECT_TRUE(called("GetFileVersionInfo C:\\Java\\bin\\server\\jvm.dll"));
        if (c.exitCode == 0) continue;
        ASSERT_EQ(machine().boxes.size(), 2u);
        EXPECT_NE(machine().boxes[1].text.find(u"\n- C:\\Java\\bin\\server\\jvm.dll:\n   Java 17.0.9 is older than the "
                                               u"required 17.0.10."),
                  std::u16string::npos);
        EXPECT_TRUE(machine().loadAttempts.empty());
    }
}

TEST_F(JavaMinVersion, OnlyOlderJavasGiveTheSummaryAndTheReport) {
    writeConfig("JAVA_MIN_VERSION=11\n", false);
    machine().environment[u"JAVA_HOME"] = u"C:\\jdk8";
    installJava(u"C:\\jdk8", "1.8.0_392", u"\\jre\\bin\\server\\jvm.dll");
    installJava(u"C:\\jre7", "1.7.0_80");
    installJava(u"C:\\odd", nullptr);  // no release file, no version resource
    putOnPath(u"C:\\jre7");
    putOnPath(u"C:\\odd");
    machine().boxAnswers = {6};
    fake::ProcessEnded end = launch(u"");
    EXPECT_EQ(end.code, 2u);
    EXPECT_TRUE(machine().loadAttempts.empty());
    ASSERT_EQ(machine().boxes.size(), 2u);
    EXPECT_EQ(machine().boxes[0].style, 0x14u);
    EXPECT_EQ(machine().boxes[0].text,
              u"Varkel needs Java 11 or later in " + kBits + u"-bits (mandatory since you are trying to use Varkel in " +
                  kBits + u"-bits), and none could be loaded.\nJava versions found:\n  - Java 1.8.0_392 in \"C:\\jdk8\"\n"
                  u"  - Java 1.7.0_80 in \"C:\\jre7\"\n\nPossible solutions:\n\n  - Specify a valid " + kBits +
                  u"-bits Java 11 (or later) path using \"JAVA_PATH\" variable in file:\n    \"C:\\Varkel\\startup.conf\""
                  u"\n\n  - Install Java 11 or later, " + kBits + u"-bits\n\nDo you want to see detailed errors?");
    const std::u16string missing = u"Error 126: File not found.";
    std::u16string report = u"Errors while trying to find and start " + kBits + u"-bits JVM:";
    for (const auto& [path, item] : std::vector<std::pair<std::u16string, std::u16string>>{
             {u"C:\\jdk8\\bin\\client", missing},
             {u"C:\\jdk8\\bin\\server", missing},
             {u"C:\\jdk8\\jre\\bin\\client", missing},
             {u"C:\\jdk8\\jre\\bin\\server", u"Java 1.8.0_392 is older than the required 11."},
             {u"C:\\jre7\\bin\\client", missing},
             {u"C:\\jre7\\bin\\server", u"Java 1.7.0_80 is older than the required 11."},
             {u"C:\\jre7\\jre\\bin\\client", missing},
             {u"C:\\jre7\\jre\\bin\\server", missing},
             {u"C:\\odd\\bin\\client", missing},
             {u"C:\\odd\\bin\\server", u"Its Java version could not be read."},
             {u"C:\\odd\\jre\\bin\\client", missing},
             {u"C:\\odd\\jre\\bin\\server", missing},
         })
        report += u"\n- " + path + u"\\jvm.dll:\n   " + item;
    EXPECT_EQ(machine().boxes[1].text, report);
}

TEST_F(JavaMinVersion, TheSummaryNamesTenJavasAtMost) {
    std::vector<varkel::FoundJava> found;
    for (int i = 0; i < 12; ++i) found.push_back({u"1.8.0_" + varkel::widenAscii(std::to_string(i)), u"C:\\j"});
    std::u16string summary = varkel::javaTooOldSummary(*varkel::parseJavaVersion(u"17"), false, found, u"C:\\s.conf");
    EXPECT_NE(summary.find(u"  - Java 1.8.0_9 in \"C:\\j\"\n  - and 2 more\n\nPossible solutions:"), std::u16string::npos);
    EXPECT_EQ(summary.find(u"1.8.0_10"), std::u16string::npos);
    summary = varkel::javaTooOldSummary(*varkel::parseJavaVersion(u"17"), false, {}, u"C:\\s.conf");
    EXPECT_NE(summary.find(u"\nJava versions found: none\n"), std::u16string::npos);
}

// Only a Java of the other bitness that meets the minimum is tried, so only
// then does its error 193 make the 32-bit build hand over (and the 64-bit
// build suggest Varkel.exe).
TEST_F(JavaMinVersion, OnlyASuitableJavaOfTheOtherBitnessLeadsToTheOtherBuild) {
    struct Case {
        const char* release;
        bool suitable;
    };
    for (const Case& c : {Case{"17.0.9", true}, Case{"1.8.0_392", false}}) {
        SCOPED_TRACE(c.release);
        SetUp();
        writeConfig("JAVA_MIN_VERSION=11\n");
        fake::Machine::Library otherBitness;
        otherBitness.error = 193;
        machine().libraries[kServerJvm] = otherBitness;
        machine().files[u"C:\\Java\\release"] = std::string("JAVA_VERSION=\"") + c.release + "\"\n";
        fake::ProcessEnded end = launch(u"a.log");
        const bool respawned = c.suitable && varkel::kIs32BitBuild;
        EXPECT_EQ(end.code, respawned ? 0u : 2u);
        EXPECT_EQ(machine().createdProcesses.size(), respawned ? 1u : 0u);
        if (respawned) continue;
        ASSERT_EQ(machine().boxes.size(), 1u);
        EXPECT_EQ(machine().boxes[0].text.find(u"Run the ") != std::u16string::npos, c.suitable);
    }
}

TEST_F(JavaMinVersion, AValueThatIsNoVersionIsAConfigurationError) {
    writeConfig("JAVA_MIN_VERSION = Java 11 \n");
    fake::ProcessEnded end = launch(u"");
    EXPECT_EQ(end.code, 5u);
    EXPECT_TRUE(machine().loadAttempts.empty());
    EXPECT_EQ(onlyBox().text,
              u"Invalid value \"Java 11\" for parameter \"JAVA_MIN_VERSION\" in file \"C:\\Varkel\\startup.conf\".\n"
              u"Please enter a Java version like \"11\" or \"17.0.2\".\nJava program won't be launched.");
    EXPECT_EQ(onlyBox().style, 0x10010u);
}

}  // namespace
