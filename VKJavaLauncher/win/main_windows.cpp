// The launcher's Windows entry point.
#include <windows.h>

#include <new>

#include "launch_sequence.h"
#include "messages.h"
#include "user_messages.h"

namespace {
// The launcher's one state record, for the life of the process.
varkel::LaunchContext launchContext;
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR lpCmdLine, int) {
    const wchar_t* commandLine = lpCmdLine ? lpCmdLine : L"";
    try {
        varkel::runLaunchSequence(launchContext, reinterpret_cast<const char16_t*>(commandLine));
    } catch (const std::bad_alloc&) {
        varkel::showFatalError(launchContext, varkel::text::kOutOfMemory, varkel::kExitStartupFailure);
    }
}
