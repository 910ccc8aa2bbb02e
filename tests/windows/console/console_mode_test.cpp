// Console mode of the real launcher: the test program attaches to the
// launcher's console, reads what it shows, measures it and types into it.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "attached_console.h"
#include "splash_libraries.h"
#include "standin_jvm_protocol.h"
#include "standin_protocol.h"

using namespace consoletest;
using launchertest::Installation;
using launchertest::StandinBehaviour;

namespace {

constexpr const wchar_t* kPrompt = L"PRESSS ENTER OR ESC TO CLOSE CONSOLE...";
constexpr DWORD kAttachMs = 30000;
constexpr DWORD kScreenMs = 20000;
// The launcher empties the console input before each read, so an event is
// written only once the launcher has surely gone back into its read, and an
// ending key that may have been emptied away is written again.
constexpr DWORD kSettleMs = 400;
constexpr DWORD kEndWaitMs = 2000;
constexpr int kEndAttempts = 5;
constexpr SHORT kMinimumColumns = 100;
constexpr LONG kMinimumWindowWidth = 850;
constexpr LONG kMinimumWindowHeight = 400;

// What the test saw of the launcher's console in its final wait.
struct WaitSeen {
    bool attached = false;
    bool prompted = false;
    std::wstring screen;  // when the prompt showed
    COORD cursor{};
    COORD buffer{};
    SIZE window{};
    COORD cell{};
    bool endedBeforeTheKey = false;
    bool endedByTheKey = false;
};

// Attaches to the launcher's console, waits for the prompt, writes the other
// events one by one, then the ending events until the launcher ends.
void driveFinalWait(const PROCESS_INFORMATION& process, const std::vector<INPUT_RECORD>& others,
                    const std::vector<INPUT_RECORD>& ending, WaitSeen& seen) {
    AttachedConsole console;
    seen.attached = console.attach(process, kAttachMs);
    if (!seen.attached) return;
    seen.prompted = console.waitForScreenText(kPrompt, kScreenMs);
    seen.screen = console.screen();
    seen.cursor = console.cursor();
    seen.buffer = console.bufferSize();
    seen.window = console.windowSize();
    seen.cell = console.cellSize();
    if (!seen.prompted) return;
    for (const INPUT_RECORD& event : others) {
        Sleep(kSettleMs);
        console.write(event);
    }
    Sleep(kSettleMs);
    seen.endedBeforeTheKey = endsWithin(process.hProcess, 0);
    for (int attempt = 0; attempt < kEndAttempts && !seen.endedByTheKey && !seen.endedBeforeTheKey; ++attempt) {
        for (const INPUT_RECORD& event : ending) console.write(event);
        seen.endedByTheKey = endsWithin(process.hProcess, kEndWaitMs);
    }
}

wintest::RunOptions drivenBy(const std::vector<INPUT_RECORD>& others, const std::vector<INPUT_RECORD>& ending,
                             WaitSeen& seen) {
    wintest::RunOptions options;
    options.onStarted = [&others, &ending, &seen](const PROCESS_INFORMATION& process) {
        driveFinalWait(process, others, ending, seen);
    };
    return options;
}

// The console host fits its window to whole character cells, so a window
// asked for at 850 x 400 pixels may come out up to one cell smaller.
void expectArrangedConsole(COORD buffer, SIZE window, COORD cell) {
    EXPECT_GE(buffer.X, kMinimumColumns);
    ASSERT_GT(cell.X, 0);
    EXPECT_GT(window.cx, kMinimumWindowWidth - cell.X) << "window " << window.cx << " x " << window.cy;
    EXPECT_GT(window.cy, kMinimumWindowHeight - cell.Y) << "window " << window.cx << " x " << window.cy;
}

}  // namespace

TEST(ConsoleMode, OtherInputDoesNotEndTheWaitEnterDoes) {
    Installation install;
    addSplashLibraries(install, SplashLibraries::ownBitness);
    StandinBehaviour main;
    main.mainResult = 42;
    main.output = L"hello from mainVK";
    const std::vector<INPUT_RECORD> others = {
        keyEvent('A', L'a', true),    keyEvent('A', L'a', false),  keyEvent(VK_SPACE, L' ', true),
        keyEvent(VK_SHIFT, 0, true),  keyEvent(VK_F9, 0, true),    mouseClick(3, 2),
        mouseWheel(VK_RETURN),        focusEvent(false),           bufferSizeEvent(100, 300),
        menuEvent(VK_RETURN),
    };
    const std::vector<INPUT_RECORD> enter = {keyEvent(VK_RETURN, L'\r', true)};
    WaitSeen seen;

    wintest::RunResult run = runAsFromExplorer(install, L"--console", main, drivenBy(others, enter, seen));

    ASSERT_TRUE(seen.attached) << "the launcher opened no console; " << describeBoxes(run);
    ASSERT_TRUE(seen.prompted) << wintest::utf8(seen.screen);
    // The program's output through the standard handle and through the C
    // runtime's stream, then the prompt after an empty line, with no line end.
    const std::wstring expectedTail = L"hello from mainVK (stream)\n\n" + std::wstring(kPrompt) + L"\n";
    ASSERT_GE(seen.screen.size(), expectedTail.size()) << wintest::utf8(seen.screen);
    EXPECT_EQ(seen.screen.substr(seen.screen.size() - expectedTail.size()), expectedTail) << wintest::utf8(seen.screen);
    EXPECT_NE(seen.screen.find(L"hello from mainVK (handle)\n"), std::wstring::npos) << wintest::utf8(seen.screen);
    EXPECT_EQ(seen.cursor.X, static_cast<SHORT>(std::wstring(kPrompt).size()));
    expectArrangedConsole(seen.buffer, seen.window, seen.cell);
    EXPECT_FALSE(seen.endedBeforeTheKey) << "other keys or events ended the wait";
    EXPECT_TRUE(seen.endedByTheKey);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 42u);
    EXPECT_TRUE(run.boxes.empty());
    // A console asked for on the command line hides the splash screen.
    EXPECT_TRUE(splashRecord(install).empty());
}

TEST(ConsoleMode, EnterOrEscapePressOrReleaseEndsTheWaitWithTheResult) {
    const struct {
        const wchar_t* arguments;
        INPUT_RECORD key;
        int result;
    } cases[] = {
        {L"--console", keyEvent(VK_ESCAPE, L'\x1b', true), 0},
        {L"--help", keyEvent(VK_ESCAPE, L'\x1b', false), 7},
        {L"first.log --console", keyEvent(VK_RETURN, L'\r', false), -5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wintest::utf8(c.arguments) + " key " + std::to_string(c.key.Event.KeyEvent.wVirtualKeyCode) +
                     (c.key.Event.KeyEvent.bKeyDown ? " down" : " up"));
        Installation install;
        addSplashLibraries(install, SplashLibraries::none);
        StandinBehaviour main;
        main.mainResult = c.result;
        WaitSeen seen;
        wintest::RunResult run = runAsFromExplorer(install, c.arguments, main, drivenBy({}, {c.key}, seen));
        EXPECT_TRUE(seen.prompted);
        EXPECT_FALSE(seen.endedBeforeTheKey);
        EXPECT_TRUE(seen.endedByTheKey);
        EXPECT_EQ(run.exitCode, static_cast<DWORD>(c.result));
        EXPECT_TRUE(run.boxes.empty());
    }
}

TEST(ConsoleMode, ExceptionIsPrintedOnTheConsoleAndEndsWithTen) {
    Installation install;
    addSplashLibraries(install, SplashLibraries::ownBitness);
    StandinBehaviour main;
    main.mainResult = 3;
    main.exception = L"java.lang.IllegalStateException: 100% %s broken";
    WaitSeen seen;

    wintest::RunResult run =
        runAsFromExplorer(install, L"--console", main, drivenBy({}, {keyEvent(VK_RETURN, L'\r', true)}, seen));

    ASSERT_TRUE(seen.prompted) << wintest::utf8(seen.screen);
    const std::wstring expected = L"\nError in main method:\njava.lang.IllegalStateException: 100% %s broken\n" +
                                  std::wstring(kPrompt) + L"\n";
    EXPECT_NE(seen.screen.find(expected), std::wstring::npos) << wintest::utf8(seen.screen);
    EXPECT_TRUE(seen.endedByTheKey);
    EXPECT_EQ(run.exitCode, 10u);
    EXPECT_TRUE(run.boxes.empty()) << "the exception went to a box, not to the console";
    EXPECT_TRUE(splashRecord(install).empty());
}

TEST(ConsoleMode, SettingOpensAConsoleWithoutAWaitAndKeepsTheSplashScreen) {
    Installation install;
    install.writeConfig("CONSOLE=1\r\n");
    addSplashLibraries(install, SplashLibraries::ownBitness);
    StandinBehaviour main;
    main.mainResult = 3;
    main.output = L"console by setting";
    main.releaseFile = install / L"release";
    bool attached = false, printed = false, endedWithoutKey = false;
    COORD buffer{}, cell{};
    SIZE window{};
    std::wstring screenAtEnd;
    wintest::RunOptions options;
    options.onStarted = [&](const PROCESS_INFORMATION& process) {
        AttachedConsole console;
        attached = console.attach(process, kAttachMs);
        if (!attached) return;
        printed = console.waitForScreenText(L"console by setting (stream)", kScreenMs);
        buffer = console.bufferSize();
        window = console.windowSize();
        cell = console.cellSize();
        wintest::writeFileBytes(main.releaseFile, "");
        endedWithoutKey = endsWithin(process.hProcess, kScreenMs);
        // Still attached, the console outlives the launcher and can be read.
        screenAtEnd = console.screen();
    };

    wintest::RunResult run = runAsFromExplorer(install, L"", main, options);

    ASSERT_TRUE(attached) << "the CONSOLE setting opened no console";
    EXPECT_TRUE(printed) << wintest::utf8(screenAtEnd);
    expectArrangedConsole(buffer, window, cell);
    EXPECT_TRUE(endedWithoutKey);
    EXPECT_EQ(screenAtEnd.find(kPrompt), std::wstring::npos) << wintest::utf8(screenAtEnd);
    EXPECT_EQ(run.exitCode, 3u);
    const std::vector<std::string> record = splashRecord(install);
    EXPECT_EQ(record.size(), 4u);
    EXPECT_NE(std::find(record.begin(), record.end(), "SplashInit"), record.end());
}

TEST(ConsoleMode, NoTriggerNoConsole) {
    Installation install;
    addSplashLibraries(install, SplashLibraries::none);
    StandinBehaviour main;
    main.mainResult = 9;
    main.releaseFile = install / L"release";
    bool held = false, attached = true;
    wintest::RunOptions options;
    options.onStarted = [&](const PROCESS_INFORMATION& process) {
        // Once the Java program runs, any console would be there.
        for (DWORD waited = 0; waited < kScreenMs && !held; waited += 50) {
            held = wintest::fileExists(main.releaseFile + standin::kHeldSuffix);
            if (!held) Sleep(50);
        }
        AttachedConsole console;
        attached = console.attach(process, 500);
        wintest::writeFileBytes(main.releaseFile, "");
    };
    wintest::RunResult run = runAsFromExplorer(install, L"", main, options);
    ASSERT_TRUE(held) << "the Java program did not start";
    EXPECT_FALSE(attached);
    EXPECT_EQ(run.exitCode, 9u);
}
