// The launcher's Windows entry point.
#include <windows.h>

#include <new>

#include "launch_sequence.h"
#include "messages.h"
#include "platform.h"
#include "user_messages.h"

namespace {
// The launcher's one state record, for the life of the process.
varkel::LaunchContext launchContext;

// The launcher is built without exceptions: when memory runs out, operator new
// (and the containers, see library_replacements.cpp) call this handler, which
// reports it and ends the process. Should the report itself find no memory,
// the second call ends the process at once with the same exit code.
void reportOutOfMemory() {
    static bool reporting = false;
    if (reporting) varkel::platform::exitProcess(varkel::kExitStartupFailure);
    reporting = true;
    varkel::showFatalError(launchContext, varkel::text::kOutOfMemory, varkel::kExitStartupFailure);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR lpCmdLine, int) {
    std::set_new_handler(reportOutOfMemory);
    const wchar_t* commandLine = lpCmdLine ? lpCmdLine : L"";
    varkel::runLaunchSequence(launchContext, reinterpret_cast<const char16_t*>(commandLine));
}
