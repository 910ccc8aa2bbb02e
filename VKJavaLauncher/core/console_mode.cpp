#include "console_mode.h"

#include <algorithm>

#include "format.h"
#include "messages.h"
#include "user_messages.h"

namespace varkel {

namespace {
constexpr int kMinimumColumns = 100;
constexpr int kMinimumWindowWidth = 850;
constexpr int kMinimumWindowHeight = 400;
constexpr int kVirtualKeyEnter = 13;
constexpr int kVirtualKeyEscape = 27;
// Console input that fails this many times in a row will not recover; the
// wait ends instead of spinning for ever.
constexpr int kMaximumFailedReads = 100;
}  // namespace

bool consoleWanted(const LaunchContext& ctx) { return ctx.consoleRequested == 1 || ctx.config.console == 1; }
bool waitsForConsoleKey(const LaunchContext& ctx) { return ctx.consoleRequested == 1; }
// A console asked for on the command line hides the splash screen; one opened
// only by the CONSOLE setting does not.
bool splashWanted(const LaunchContext& ctx) { return ctx.config.splashScreen == 1 && ctx.consoleRequested == 0; }

platform::ConsoleBufferSize arrangedBufferSize(platform::ConsoleBufferSize current) {
    current.columns = std::max(current.columns, kMinimumColumns);
    return current;
}

platform::WindowRect arrangedWindowRect(platform::WindowRect current) {
    int width = std::max(current.right - current.left, kMinimumWindowWidth);
    int height = std::max(current.bottom - current.top, kMinimumWindowHeight);
    return {current.left, current.top, current.left + width, current.top + height};
}

void createConsole(LaunchContext& ctx) {
    if (!platform::allocConsole()) {
        showFatalError(ctx, formatMessage(text::kUnableToCreateConsole, {lastErrorText()}),
                       kExitConsoleOrException);
    }
    // Sizing failures are harmless: the console still works at its own size.
    if (auto size = platform::consoleBufferSize()) platform::setConsoleBufferSize(arrangedBufferSize(*size));
    if (auto rect = platform::consoleWindowRect()) platform::moveConsoleWindow(arrangedWindowRect(*rect));
    platform::bindStandardStreamsToConsole();
}

int waitForConsoleKey() {
    printToConsole(text::kConsolePrompt);
    int failures = 0;
    while (failures < kMaximumFailedReads) {
        platform::ConsoleInput input = platform::readConsoleInputEvent();
        if (!input.readOk) {
            ++failures;
            continue;
        }
        failures = 0;
        // Presses and releases both count; every other event is dropped.
        if (input.isKey && (input.virtualKey == kVirtualKeyEnter || input.virtualKey == kVirtualKeyEscape))
            return input.virtualKey;
    }
    return 0;
}

}  // namespace varkel
