#include "user_messages.h"

#include "format.h"
#include "messages.h"
#include "platform.h"
#include "splash_screen.h"

namespace varkel {

namespace {
constexpr std::uint32_t kFatalDelayMs = 500;
}

void showFatalError(LaunchContext& ctx, const WideString& message, std::uint32_t exitCode) {
    // The pause lets a splash screen that is still coming up settle before it
    // is closed, so the box is never hidden behind it.
    platform::sleepMilliseconds(kFatalDelayMs);
    closeSplashScreen(ctx);
    platform::messageBox(message, text::kCaption, text::kStyleFatal);
    platform::exitProcess(exitCode);
}

void showErrorBox(const WideString& message) { platform::messageBox(message, text::kCaption, text::kStyleError); }

WideString errorText(std::uint32_t code) {
    WideString system = platform::systemErrorText(code).value_or(WideString());
    if (!system.empty() && system.back() == u'\n') system.pop_back();
    if (!system.empty() && system.back() == u'\r') system.pop_back();
    // The whole text is kept: a long code or text is never cut.
    return formatMessage(text::kLastErrorFormat, {static_cast<std::int32_t>(code), system});
}

WideString lastErrorText() { return errorText(platform::lastError()); }

void printToConsole(WideView text) { platform::writeStandardOutput(text); }

}  // namespace varkel
