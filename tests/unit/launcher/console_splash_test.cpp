// Console mode and the splash screen against the fake platform: which trigger
// opens a console, when the splash screen shows, when the launcher waits; the
// arranged console sizes; the final wait; the splash library search; the
// splash screen closed before every error box.
#include <algorithm>
#include <functional>
#include <map>

#include "console_mode.h"
#include "launch_sequence.h"
#include "launcher_fixture.h"
#include "splash_screen.h"
#include "user_messages.h"

using fake::ProcessEnded;
using How = ProcessEnded::How;
using varkel::platform::ConsoleBufferSize;
using varkel::platform::ConsoleInput;
using varkel::platform::WindowRect;

namespace {

constexpr const char16_t* kPrompt = u"\nPRESSS ENTER OR ESC TO CLOSE CONSOLE...";
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kLetterA = 0x41;

ConsoleInput key(int virtualKey) { return {true, true, virtualKey}; }
// A mouse, focus, size or menu event: its key code is no key code, even when it
// happens to read as Enter.
ConsoleInput otherEvent() { return {true, false, kEnter}; }
ConsoleInput failedRead() { return {}; }

// The splash library's entry points write what they receive into the fake's
// call log, where the order against "sleep 500" and "box" can be read.
void splashInit() { fake::machine().calls.push_back("SplashInit"); }
int splashLoadFile(const char* name) {
    fake::machine().calls.push_back(std::string("SplashLoadFile ") + name);
    return 1;
}
void splashSetFileJarName(const char* name, const char* jar) {
    fake::machine().calls.push_back(std::string("SplashSetFileJarName ") + name + " " + (jar ? jar : "<none>"));
}
void splashClose() { fake::machine().calls.push_back("SplashClose"); }

const std::map<std::string, void*> kAllSplashFunctions = {
    {"SplashInit", reinterpret_cast<void*>(&splashInit)},
    {"SplashLoadFile", reinterpret_cast<void*>(&splashLoadFile)},
    {"SplashSetFileJarName", reinterpret_cast<void*>(&splashSetFileJarName)},
    {"SplashClose", reinterpret_cast<void*>(&splashClose)},
};

std::size_t indexOf(const std::vector<std::string>& calls, const std::string& call) {
    return static_cast<std::size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
}
std::size_t lastIndexOf(const std::vector<std::string>& calls, const std::string& call) {
    auto it = std::find(calls.rbegin(), calls.rend(), call);
    return it == calls.rend() ? calls.size() : static_cast<std::size_t>(calls.rend() - it - 1);
}
bool contains(const std::vector<std::string>& calls, const std::string& call) {
    return indexOf(calls, call) < calls.size();
}

class ConsoleSplashTest : public LauncherTest {
protected:
    static constexpr const char16_t* kJavaSplash = u"C:\\Java\\bin\\splashscreen.dll";

    // A splash library at path; a null handle makes its load fail with error.
    void installSplash(const std::u16string& path, std::uintptr_t handle = 0x8000,
                       const std::map<std::string, void*>& functions = kAllSplashFunctions) {
        fake::Machine::Library library;
        library.handle = reinterpret_cast<void*>(handle);
        library.functions = functions;
        machine().libraries[path] = library;
    }
    void installFailingLibrary(const std::u16string& path, std::uint32_t error) {
        fake::Machine::Library library;
        library.error = error;
        machine().libraries[path] = library;
    }

    std::vector<std::u16string> splashLoadAttempts() {
        std::vector<std::u16string> found;
        for (const auto& path : machine().loadAttempts)
            if (path.find(u"splashscreen.dll") != std::u16string::npos) found.push_back(path);
        return found;
    }
    bool promptShown() {
        const std::u16string& out = machine().standardOutput;
        const std::u16string prompt = kPrompt;
        return out.size() >= prompt.size() && out.compare(out.size() - prompt.size(), prompt.size(), prompt) == 0;
    }
    int consoleReads() {
        return static_cast<int>(std::count(machine().consoleLog.begin(), machine().consoleLog.end(), "ReadConsoleInput"));
    }
};

// ---- Which trigger opens a console, when the splash screen shows, when the launcher waits

TEST_F(ConsoleSplashTest, TriggersDecideConsoleSplashAndWait) {
    struct Case {
        const char* config;
        const char16_t* commandLine;
        bool console, splash, waits;
    };
    const Case cases[] = {
        {"", u"", false, true, false},
        {"CONSOLE=1\n", u"", true, true, false},  // the setting alone keeps the splash screen and never waits
        {"", u"--console", true, false, true},
        {"", u"--help", true, false, true},
        {"", u"log.txt --help", true, false, true},
        {"CONSOLE=1\n", u"--console", true, false, true},
        {"SPLASH_SCREEN=0\n", u"", false, false, false},
        {"SPLASH_SCREEN=0\nCONSOLE=1\n", u"", true, false, false},
        {"CONSOLE=0\n", u"--CONSOLE", false, true, false},  // options are case-sensitive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.config) + " | " + utf8(c.commandLine));
        SetUp();
        writeConfig(c.config);
        installSplash(kJavaSplash);
        jvmBehaviour().mainResult = 7;
        machine().consoleInputs = {key(kLetterA), key(kEnter)};

        ProcessEnded end = launch(c.commandLine);

        EXPECT_EQ(end.code, 7u);
        EXPECT_EQ(end.how, How::exitRuntime);
        EXPECT_TRUE(machine().boxes.empty());
        EXPECT_EQ(machine().consoleAllocated, c.console);
        EXPECT_EQ(machine().streamsBound, c.console);
        EXPECT_EQ(contains(machine().calls, "SplashInit"), c.splash);
        EXPECT_EQ(!splashLoadAttempts().empty(), c.splash);
        EXPECT_EQ(promptShown(), c.waits);
        EXPECT_EQ(machine().consoleFreed, c.waits);
        EXPECT_EQ(machine().consoleInputs.empty(), c.waits);
        if (c.console) {
            // The console comes after the JVM library has loaded and before the splash screen.
            const auto& calls = machine().calls;
            EXPECT_LT(indexOf(calls, "LoadLibrary " + utf8(kServerJvm)), indexOf(calls, "AllocConsole"));
            if (c.splash) {
                EXPECT_LT(indexOf(calls, "AllocConsole"), indexOf(calls, "SplashInit"));
            }
        }
        if (c.waits) {
            EXPECT_EQ(machine().consoleLog.back(), "FreeConsole");
        }
    }
}

// ---- Creating and arranging the console

TEST_F(ConsoleSplashTest, CreateConsoleWidensTheBufferAndEnlargesTheWindowAtItsCorner) {
    struct Case {
        ConsoleBufferSize buffer;
        WindowRect window;
        const char* appliedBuffer;
        const char* movedWindow;
    };
    const Case cases[] = {
        {{80, 300}, {10, 20, 650, 320}, "SetConsoleScreenBufferSize 100x300", "MoveWindow 10,20 850x400"},
        {{120, 300}, {0, 0, 1000, 600}, "SetConsoleScreenBufferSize 120x300", "MoveWindow 0,0 1000x600"},
        {{100, 9999}, {-8, 40, 892, 240}, "SetConsoleScreenBufferSize 100x9999", "MoveWindow -8,40 900x400"},
        {{99, 25}, {5, 5, 805, 905}, "SetConsoleScreenBufferSize 100x25", "MoveWindow 5,5 850x900"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.movedWindow);
        SetUp();
        machine().consoleBuffer = c.buffer;
        machine().consoleWindow = c.window;
        varkel::createConsole(ctx_);
        // The size is applied even when it stays, and the streams are bound last.
        EXPECT_EQ(machine().consoleLog,
                  (std::vector<std::string>{"AllocConsole", c.appliedBuffer, c.movedWindow, "BindStandardStreams"}));
        EXPECT_TRUE(machine().boxes.empty());
    }
}

TEST_F(ConsoleSplashTest, ConsoleThatCannotBeSizedIsStillUsed) {
    machine().consoleBuffer.reset();
    machine().consoleWindow.reset();
    varkel::createConsole(ctx_);
    EXPECT_EQ(machine().consoleLog, (std::vector<std::string>{"AllocConsole", "BindStandardStreams"}));
    EXPECT_TRUE(machine().boxes.empty());
}

TEST_F(ConsoleSplashTest, ConsoleThatCannotBeCreatedEndsWithTenBeforeJavaStarts) {
    machine().allocConsoleFails = true;
    machine().allocConsoleError = 5;
    ProcessEnded end = launch(u"--console");
    EXPECT_EQ(end.code, 10u);
    EXPECT_EQ(end.how, How::exitProcess);
    fake::ShownBox box = onlyBox();
    EXPECT_EQ(box.text, u"Unable to create a console, please run Varkel in graphical mode.\n\nError 5: \"Access denied.\"");
    EXPECT_EQ(box.caption, u"VKJavaLauncher");
    EXPECT_EQ(box.style, 0x00010010u);
    EXPECT_FALSE(machine().streamsBound);
    EXPECT_FALSE(jvm().created);
    EXPECT_LT(indexOf(machine().calls, "AllocConsole"), indexOf(machine().calls, "sleep 500"));
}

// ---- The final wait

TEST(WaitForConsoleKey, EndsOnlyOnEnterOrEscape) {
    struct Case {
        const char* name;
        std::vector<ConsoleInput> inputs;
        int endingKey;
        std::size_t left;  // events not read
    };
    const Case cases[] = {
        {"enter", {key(kEnter)}, kEnter, 0},
        {"escape", {key(kEscape)}, kEscape, 0},
        {"other keys first", {key(kLetterA), key(0x20), key(0x10), key(kEscape), key(kEnter)}, kEscape, 1},
        {"mouse, focus and size events dropped", {otherEvent(), otherEvent(), key(kEnter), key(kLetterA)}, kEnter, 1},
        {"a few failed reads", {failedRead(), failedRead(), key(kEnter)}, kEnter, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::reset();
        fake::machine().consoleInputs.assign(c.inputs.begin(), c.inputs.end());
        EXPECT_EQ(varkel::waitForConsoleKey(), c.endingKey);
        EXPECT_EQ(fake::machine().consoleInputs.size(), c.left);
        // The prompt is out, whole and exactly so, before the first read.
        EXPECT_EQ(fake::machine().standardOutput, kPrompt);
        ASSERT_FALSE(fake::machine().consoleLog.empty());
        EXPECT_EQ(fake::machine().consoleLog.front(), "Write");
    }
}

TEST(WaitForConsoleKey, GivesUpOnlyAfterAHundredFailedReadsInARow) {
    fake::reset();
    EXPECT_EQ(varkel::waitForConsoleKey(), 0);
    EXPECT_EQ(std::count(fake::machine().consoleLog.begin(), fake::machine().consoleLog.end(), "ReadConsoleInput"), 100);

    // A good read in between starts the count again.
    fake::reset();
    auto& inputs = fake::machine().consoleInputs;
    inputs.assign(99, failedRead());
    inputs.push_back(otherEvent());
    inputs.insert(inputs.end(), 99, failedRead());
    inputs.push_back(key(kEscape));
    EXPECT_EQ(varkel::waitForConsoleKey(), kEscape);
    EXPECT_TRUE(inputs.empty());
}

TEST_F(ConsoleSplashTest, FailingConsoleInputStillEndsWithTheJavaResult) {
    jvmBehaviour().mainResult = -3;
    ProcessEnded end = launch(u"--console");  // no input ever arrives: every read fails
    EXPECT_EQ(end.code, static_cast<std::uint32_t>(-3));
    EXPECT_EQ(end.how, How::exitRuntime);
    EXPECT_EQ(consoleReads(), 100);
    EXPECT_TRUE(machine().consoleFreed);
}

TEST_F(ConsoleSplashTest, FatalErrorWithAConsoleGoesToTheBoxWithoutAWait) {
    for (const char16_t* commandLine : {u"--console", u""}) {
        SCOPED_TRACE(utf8(commandLine));
        SetUp();
        writeConfig("CONSOLE=1\n");
        jvmBehaviour().missingMainClass = true;
        machine().consoleInputs = {key(kEnter)};
        ProcessEnded end = launch(commandLine);
        EXPECT_EQ(end.code, 2u);
        EXPECT_EQ(end.how, How::exitProcess);
        EXPECT_EQ(onlyBox().text.substr(0, 30), u"Unable to find main class, ple");
        EXPECT_TRUE(machine().standardOutput.empty());
        EXPECT_EQ(consoleReads(), 0);
    }
}

// ---- The splash library

TEST(SplashCandidates, TwoPathsForEachHomeInTheirOrder) {
    varkel::LaunchContext ctx;
    varkel::JavaHomeCandidate a, libraryOnly, b, aAgain;
    a.javaHome = u"C:\\A";
    libraryOnly.runtimeLib = u"C:\\R\\bin\\server\\jvm.dll";  // no home directory: no paths
    b.javaHome = u"D:\\B b";
    aAgain.javaHome = u"C:\\A";
    ctx.javaHomeCandidates = {a, libraryOnly, b, aAgain};
    EXPECT_EQ(varkel::listSplashLibraryCandidates(ctx),
              (std::vector<std::u16string>{u"C:\\A\\bin\\splashscreen.dll", u"C:\\A\\jre\\bin\\splashscreen.dll",
                                           u"D:\\B b\\bin\\splashscreen.dll", u"D:\\B b\\jre\\bin\\splashscreen.dll",
                                           u"C:\\A\\bin\\splashscreen.dll", u"C:\\A\\jre\\bin\\splashscreen.dll"}));
    ctx.javaHomeCandidates.clear();
    EXPECT_TRUE(varkel::listSplashLibraryCandidates(ctx).empty());
}

TEST_F(ConsoleSplashTest, HomeFoundTwiceIsSearchedOnce) {
    // The private "jre" and JAVA_HOME name the same home; no splash library anywhere.
    writeConfig("", false);
    machine().existingPaths.insert(u"C:\\Varkel\\jre");
    machine().environment[u"JAVA_HOME"] = u"C:\\Varkel\\jre";
    installJvm(u"C:\\Varkel\\jre\\bin\\server\\jvm.dll");
    jvmBehaviour().mainResult = 4;
    ProcessEnded end = launch(u"");
    EXPECT_EQ(end.code, 4u);
    EXPECT_TRUE(machine().boxes.empty());  // no library: no splash screen, nothing said
    EXPECT_EQ(splashLoadAttempts(), (std::vector<std::u16string>{u"C:\\Varkel\\jre\\bin\\splashscreen.dll",
                                                                 u"C:\\Varkel\\jre\\jre\\bin\\splashscreen.dll"}));
}

TEST_F(ConsoleSplashTest, FirstLibraryThatLoadsIsUsedFromItsOwnDirectory) {
    // Home A (the private "jre") has no JVM; the JVM comes from home B (JAVA_HOME).
    // A's first library is of the other bitness, its second loads; B's is never tried.
    writeConfig("", false);
    machine().existingPaths.insert(u"C:\\Varkel\\jre");
    machine().environment[u"JAVA_HOME"] = u"C:\\Java";
    installFailingLibrary(u"C:\\Varkel\\jre\\bin\\splashscreen.dll", 193);
    installSplash(u"C:\\Varkel\\jre\\jre\\bin\\splashscreen.dll");
    installSplash(kJavaSplash, 0x9000);

    launch(u"");

    EXPECT_EQ(ctx_.jvmLibraryPath, kServerJvm);
    EXPECT_EQ(splashLoadAttempts(), (std::vector<std::u16string>{u"C:\\Varkel\\jre\\bin\\splashscreen.dll",
                                                                 u"C:\\Varkel\\jre\\jre\\bin\\splashscreen.dll"}));
    // Each candidate is loaded with its own directory as the DLL directory, which then stays.
    const auto& dirs = machine().dllDirectories;
    ASSERT_GE(dirs.size(), 2u);
    EXPECT_EQ(std::vector<std::u16string>(dirs.end() - 2, dirs.end()),
              (std::vector<std::u16string>{u"C:\\Varkel\\jre\\bin", u"C:\\Varkel\\jre\\jre\\bin"}));
    std::vector<std::string> splashCalls;
    for (const auto& call : machine().calls)
        if (call.rfind("Splash", 0) == 0) splashCalls.push_back(call);
    EXPECT_EQ(splashCalls, (std::vector<std::string>{"SplashInit", "SplashLoadFile pics/splash_screen.png",
                                                     "SplashSetFileJarName pics/splash_screen.png <none>"}));
    EXPECT_TRUE(machine().boxes.empty());
}

TEST_F(ConsoleSplashTest, MissingEntryPointsAreSkipped) {
    installSplash(kJavaSplash, 0x8000,
                  {{"SplashLoadFile", reinterpret_cast<void*>(&splashLoadFile)},
                   {"SplashClose", reinterpret_cast<void*>(&splashClose)}});
    jvmBehaviour().missingMainMethod = true;
    ProcessEnded end = launch(u"");
    EXPECT_EQ(end.code, 2u);
    EXPECT_TRUE(contains(machine().calls, "SplashLoadFile pics/splash_screen.png"));
    EXPECT_FALSE(contains(machine().calls, "SplashInit"));
    EXPECT_LT(lastIndexOf(machine().calls, "SplashClose"), indexOf(machine().calls, "box"));
}

// ---- The splash screen closes before every error box

TEST_F(ConsoleSplashTest, EveryErrorAfterTheSplashScreenClosesItBeforeTheBox) {
    struct Case {
        const char* name;
        std::function<void(fake::Machine&, fakejvm::Behaviour&)> arrange;
        std::uint32_t code;
    };
    const Case cases[] = {
        {"entry point missing", [](fake::Machine& m, fakejvm::Behaviour&) { m.libraries[kServerJvm].functions.clear(); }, 2},
        {"creation fails", [](fake::Machine&, fakejvm::Behaviour& b) { b.createResult = -4; }, 3},
        {"version refused", [](fake::Machine&, fakejvm::Behaviour& b) { b.createResult = -3; }, 3},
        {"main class missing", [](fake::Machine&, fakejvm::Behaviour& b) { b.missingMainClass = true; }, 2},
        {"main method missing", [](fake::Machine&, fakejvm::Behaviour& b) { b.missingMainMethod = true; }, 2},
        {"exception", [](fake::Machine&, fakejvm::Behaviour& b) { b.exceptionText = u"java.lang.Error: x"; }, 10},
        {"destroy fails", [](fake::Machine&, fakejvm::Behaviour& b) { b.destroyResult = -1; }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        installSplash(kJavaSplash);
        c.arrange(machine(), jvmBehaviour());
        ProcessEnded end = launch(u"");
        EXPECT_EQ(end.code, c.code);
        EXPECT_EQ(machine().boxes.size(), 1u);
        const auto& calls = machine().calls;
        ASSERT_GE(calls.size(), 3u);
        EXPECT_LT(indexOf(calls, "SplashInit"), indexOf(calls, "sleep 500"));
        EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
                  (std::vector<std::string>{"sleep 500", "SplashClose", "box"}));
    }
}

TEST_F(ConsoleSplashTest, ShowFatalErrorClosesAShownSplashScreenFirst) {
    installSplash(kJavaSplash);
    varkel::showSplashScreen(ctx_, "pics/splash_screen.png", {kJavaSplash});
    machine().calls.clear();
    EXPECT_THROW(varkel::showFatalError(ctx_, u"100% broken", 2), ProcessEnded);
    EXPECT_EQ(machine().calls, (std::vector<std::string>{"sleep 500", "SplashClose", "box"}));
    EXPECT_EQ(onlyBox().text, u"100% broken");
}

TEST_F(ConsoleSplashTest, ClosingWithoutAShownSplashScreenLoadsNothing) {
    // Candidates known but never loaded: closing must not load the library now.
    installSplash(kJavaSplash);
    ctx_.splash.libraryPaths = {kJavaSplash};
    EXPECT_THROW(varkel::showFatalError(ctx_, u"fatal", 3), ProcessEnded);
    EXPECT_EQ(machine().calls, (std::vector<std::string>{"sleep 500", "box"}));
    EXPECT_TRUE(machine().loadAttempts.empty());
}

TEST_F(ConsoleSplashTest, WithoutSplashScreenNoLibraryIsSearchedEvenOnErrors) {
    const struct {
        const char* config;
        const char16_t* commandLine;
    } cases[] = {{"SPLASH_SCREEN=0\n", u""}, {"", u"--console"}, {"", u"--help"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.config) + utf8(c.commandLine));
        SetUp();
        writeConfig(c.config);
        installSplash(kJavaSplash);
        jvmBehaviour().missingMainClass = true;
        ProcessEnded end = launch(c.commandLine);
        EXPECT_EQ(end.code, 2u);
        EXPECT_EQ(machine().boxes.size(), 1u);
        EXPECT_TRUE(splashLoadAttempts().empty());
        EXPECT_FALSE(contains(machine().calls, "SplashClose"));
    }
}

TEST_F(ConsoleSplashTest, NoLoadableLibraryIsTriedOnceAndNeverReported) {
    installFailingLibrary(kJavaSplash, 193);
    jvmBehaviour().missingMainClass = true;
    ProcessEnded end = launch(u"");
    EXPECT_EQ(end.code, 2u);
    EXPECT_EQ(onlyBox().text.substr(0, 26), u"Unable to find main class,");
    // Both candidates once; the closes before the box try nothing more.
    EXPECT_EQ(splashLoadAttempts(),
              (std::vector<std::u16string>{kJavaSplash, u"C:\\Java\\jre\\bin\\splashscreen.dll"}));
    EXPECT_TRUE(ctx_.splash.libraryFailed);
    EXPECT_FALSE(contains(machine().calls, "SplashClose"));
}

}  // namespace
