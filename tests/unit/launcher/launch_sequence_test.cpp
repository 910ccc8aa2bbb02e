#include "launcher_fixture.h"

#include "build_constants.h"
#include "launch_sequence.h"

using fake::ProcessEnded;
using How = ProcessEnded::How;

namespace {
const std::string kDefaultClassPath =
    "-Djava.class.path=classes;parsers\\classes;managers\\classes;jar\\varkel.jar;";
}

TEST_F(LauncherTest, DefaultLaunchPassesFourOptionsAndExitsWithTheResult) {
    jvmBehaviour().mainResult = 7;
    ProcessEnded end = launch(u"");
    EXPECT_EQ(end.code, 7u);
    EXPECT_EQ(end.how, How::exitRuntime);
    EXPECT_TRUE(machine().boxes.empty());
    EXPECT_EQ(jvm().version, 0x00010006);
    EXPECT_TRUE(jvm().ignoreUnrecognized);
    EXPECT_EQ(jvm().options, (std::vector<std::string>{kDefaultClassPath, "-Xmx800M", "", "-Djava.library.path=lib"}));
    EXPECT_FALSE(jvm().argumentsWereNull);
    EXPECT_TRUE(jvm().arguments.empty());
    EXPECT_EQ(machine().currentDirectory, u"C:\\Varkel\\");
    EXPECT_EQ(ctx_.exeDirectory, u"C:\\Varkel");
    EXPECT_EQ(ctx_.startupConfigPath, u"C:\\Varkel\\startup.conf");
    EXPECT_EQ(ctx_.jvmLibraryPath, u"C:\\Java\\bin\\server\\jvm.dll");
}

TEST_F(LauncherTest, EveryOptionFromTheConfiguration) {
    writeConfig("MAX_MEMORY=1G\nCONFIG_FILE=config\\varkel.cfg\nADDITIONAL_CLASSPATH=ext\\a.jar\n"
                "INTERNAL_LOGGING=1\nJVM_EXTRA_OPTIONS=-Xss4m \"-Dx=a b\"\n");
    setLibJars({u"b.jar", u"A.JAR", u"notes.txt", u"old.jar.bak", u".jar"});
    machine().directories[u"C:\\Varkel\\lib\\*"].entries.push_back({u"x.jar", true});  // a directory
    launch(u"");
    EXPECT_EQ(jvm().options,
              (std::vector<std::string>{kDefaultClassPath + "lib\\b.jar;lib\\A.JAR;lib\\.jar;ext\\a.jar", "-Xmx1G",
                                        "-Dconfig.file=config\\varkel.cfg", "-Djava.library.path=lib", "-Xss4m",
                                        "-Dx=a b", "-Djava.util.logging.config.file=config/logging.properties "}));
}

TEST_F(LauncherTest, AJarNameOutsideLatin1IsLeftOutAlone) {
    setLibJars({u"a.jar", u"\u0436.jar", u"b.jar"});
    writeConfig("ADDITIONAL_CLASSPATH=ext\\c.jar\n");
    launch(u"");
    EXPECT_EQ(jvm().options[0], kDefaultClassPath + "lib\\a.jar;lib\\b.jar;ext\\c.jar");
}

TEST_F(LauncherTest, ArgumentsReachMainInOrderWithTheirText) {
    const std::u16string cyrillic = u"C:\\Logs\\\u0436\u0443\u0440\u043d\u0430\u043b caf\u00e9.log";
    launch(u"--console \"" + cyrillic + u"\" --conf=startup.conf --help plain");
    EXPECT_EQ(jvm().arguments, (std::vector<std::u16string>{u"--console", cyrillic, u"--help", u"plain"}));
}

TEST_F(LauncherTest, ConfNamesAnotherFileInTheExecutableDirectory) {
    machine().files[u"C:\\Varkel\\other.conf"] = "JAVA_PATH=C:\\Java\nMAX_MEMORY=2x\n";
    ProcessEnded end = launch(u"--conf=other.conf");
    EXPECT_EQ(end.code, 5u);
    EXPECT_EQ(onlyBox().text,
              u"Invalid value \"2x\" for parameter \"MAX_MEMORY\" in file \"C:\\Varkel\\other.conf\".\nPlease enter "
              u"values like \"800M\" or \"2G\".\nJava program won't be launched.");
    EXPECT_EQ(onlyBox().style, 0x10010u);
}

TEST_F(LauncherTest, MissingConfigurationEndsWithTwoAfterItsOwnMessage) {
    ProcessEnded end = launch(u"--conf=missing.conf");
    EXPECT_EQ(end.code, 2u);
    EXPECT_EQ(end.how, How::exitRuntime);
    EXPECT_EQ(onlyBox().text, u"Unable to open startup config file \"missing.conf\".\nJava program won't be launched.");
    EXPECT_FALSE(jvm().created);
}

TEST_F(LauncherTest, UnsettableDirectoryIsFatal) {
    machine().changeDirectoryFails = true;
    ProcessEnded end = launch(u"");
    EXPECT_EQ(end.code, 2u);
    EXPECT_EQ(end.how, How::exitProcess);
    EXPECT_EQ(onlyBox().text, u"Unable to change directory to \"C:\\Varkel\\\".\nJava program won't be launched.");
    EXPECT_EQ(machine().calls.front(), "sleep 500");  // the fatal box waits half a second first
}

TEST_F(LauncherTest, ExecutableInADriveRoot) {
    machine().executablePath = u"C:\\Varkel.exe";
    machine().files[u"C:\\startup.conf"] = "JAVA_PATH=C:\\Java\n";
    machine().directories[u"C:\\lib\\*"] = varkel::platform::DirectoryListing{true, 1, {}, 18};
    launch(u"");
    EXPECT_EQ(machine().currentDirectory, u"C:\\");
    EXPECT_EQ(ctx_.startupConfigPath, u"C:\\startup.conf");
    EXPECT_TRUE(jvm().created);
}

TEST_F(LauncherTest, JavaPathMayNameTheBinDirectory) {
    struct Case {
        const char* javaPath;
        const char16_t* normalised;
    };
    for (const Case& c : {Case{"C:\\Java\\bin\\", u"C:\\Java"}, Case{"C:\\Java\\BIN", u"C:\\Java\\BIN"},
                          Case{"C:\\Java\\bin\\\\", u"C:\\Java\\bin\\"}, Case{"\\", u""}}) {
        SetUp();
        writeConfig(std::string("JAVA_PATH=") + c.javaPath + "\n", false);
        launch(u"");
        EXPECT_EQ(ctx_.config.javaPath, std::u16string(c.normalised)) << c.javaPath;
    }
}

TEST_F(LauncherTest, JvmFailuresAndTheirMessages) {
    struct Case {
        const char* name;
        std::function<void(fakejvm::Behaviour&)> setUp;
        std::uint32_t exitCode;
        std::u16string message;
    };
    const std::u16string generic =
        u"Unable to start Java program using \"C:\\Java\\bin\\server\\jvm.dll\":\n\"JNI_CreateJavaVM\" function "
        u"returned [-4]: Not enough memory\n\nPlease check that parameters are valid in file "
        u"\"C:\\Varkel\\startup.conf\" and that Java 7 (or later) is properly installed.";
    const Case cases[] = {
        {"version", [](auto& b) { b.createResult = -3; }, 3,
         u"Unable to start Java program using \"C:\\Java\\bin\\server\\jvm.dll\".\n\nIt seems that your Java version "
         u"is not 7 or later.\nPlease install Java 7 or later, or specify another Java path in\n"
         u"\"C:\\Varkel\\startup.conf\".\n\n(\"JNI_CreateJavaVM\" returned [-3])"},
        {"memory", [](auto& b) { b.createResult = -4; }, 3, generic},
        {"unknown", [](auto& b) { b.createResult = -42; }, 3,
         u"Unable to start Java program using \"C:\\Java\\bin\\server\\jvm.dll\":\n\"JNI_CreateJavaVM\" function "
         u"returned [-42]: Unknown error\n\nPlease check that parameters are valid in file "
         u"\"C:\\Varkel\\startup.conf\" and that Java 7 (or later) is properly installed."},
        {"class", [](auto& b) { b.missingMainClass = true; }, 2,
         u"Unable to find main class, please check that Varkel is installed properly.\n(Class path issue? Varkel jar "
         u"issue?)."},
        {"method", [](auto& b) { b.missingMainMethod = true; }, 2,
         u"Unable to find main method, please check that Varkel is installed properly."},
        {"arguments", [](auto& b) { b.argumentArrayFails = true; }, 2,
         u"Unable to pass the arguments to the Java program (the Java VM is out of memory)."},
        {"exception", [](auto& b) { b.exceptionText = u"java.lang.IllegalStateException: 100% %s %d broken"; }, 10,
         u"Error in main method:\njava.lang.IllegalStateException: 100% %s %d broken"},
        {"destroy", [](auto& b) { b.destroyResult = -1; }, 2, u"Unable to stop Java VM (DestroyJavaVM returned -1)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.setUp(jvmBehaviour());
        ProcessEnded end = launch(u"");
        EXPECT_EQ(end.code, c.exitCode);
        EXPECT_EQ(end.how, How::exitProcess);
        EXPECT_EQ(onlyBox().text, c.message);
        EXPECT_EQ(onlyBox().caption, u"VKJavaLauncher");
    }
}

TEST_F(LauncherTest, MemoryNoteOnlyIn32BitBuildsFromOneGigabyte) {
    const std::u16string note =
        u"\n\nWe have also detected that you are trying to use 1 GB or more for Varkel memory while running Varkel "
        u"in 32-bits mode, which could fail if Java could not get a contiguous memory chunk of this size from the "
        u"OS (check param \"MAX_MEMORY\" in your startup config file).";
    for (const char* value : {"1G", "999M"}) {
        SetUp();
        writeConfig(std::string("MAX_MEMORY=") + value + "\n");
        jvmBehaviour().createResult = -4;
        launch(u"");
        bool expectNote = varkel::kIs32BitBuild && std::string(value) == "1G";
        std::u16string text = onlyBox().text;
        EXPECT_EQ(text.size() >= note.size() && text.compare(text.size() - note.size(), note.size(), note) == 0,
                  expectNote)
            << value;
    }
}

TEST_F(LauncherTest, MissingEntryPointNamesTheLibraryAndTheError) {
    machine().libraries[kServerJvm].functions.clear();
    ProcessEnded end = launch(u"");
    EXPECT_EQ(end.code, 2u);
    EXPECT_EQ(onlyBox().text,
              u"Unable to load function \"JNI_CreateJavaVM\" from \"C:\\Java\\bin\\server\\jvm.dll\",\nplease check "
              u"that Java 7 (or later) is installed.\n\nError 127: \"The specified procedure could not be found.\"");
}

TEST_F(LauncherTest, ExceptionOnARequestedConsoleIsPrintedThenWaitsForAKey) {
    jvmBehaviour().exceptionText = u"java.lang.Error: 50% done";
    machine().consoleInputs = {{true, true, 65}, {true, false, 0}, {true, true, 13}};
    ProcessEnded end = launch(u"--console");
    EXPECT_EQ(end.code, 10u);
    EXPECT_EQ(end.how, How::exitProcess);
    EXPECT_TRUE(machine().boxes.empty());
    EXPECT_EQ(machine().standardOutput,
              u"\nError in main method:\njava.lang.Error: 50% done\nPRESSS ENTER OR ESC TO CLOSE CONSOLE...");
    EXPECT_TRUE(machine().consoleInputs.empty());
}

TEST_F(LauncherTest, ConsoleTriggersDifferInReach) {
    struct Case {
        const char* config;
        const char16_t* commandLine;
        bool console, waits, splash;
    };
    const Case cases[] = {
        {"", u"", false, false, true},
        {"CONSOLE=1\n", u"", true, false, true},
        {"", u"--console", true, true, false},
        {"", u"--help", true, true, false},
        {"SPLASH_SCREEN=0\n", u"", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.config) + utf8(c.commandLine));
        SetUp();
        writeConfig(c.config);
        machine().consoleInputs = {{true, true, 27}};
        launch(c.commandLine);
        EXPECT_EQ(machine().consoleAllocated, c.console);
        EXPECT_EQ(machine().consoleFreed, c.waits);
        EXPECT_EQ(machine().consoleInputs.empty(), c.waits);
        bool searchedSplash = false;
        for (const auto& path : machine().loadAttempts) searchedSplash |= path.find(u"splashscreen.dll") != std::u16string::npos;
        EXPECT_EQ(searchedSplash, c.splash);
    }
}

TEST_F(LauncherTest, RespawnKeepsTheCommandLineUnparsed) {
    launch(u"  --console \"a b\"  ");
    EXPECT_EQ(ctx_.commandLine, u"  --console \"a b\"  ");
}
