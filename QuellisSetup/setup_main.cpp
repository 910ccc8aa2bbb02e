// QuellisSetup: installs or uninstalls the Varkel shell extension.
//
//   QuellisSetup [/silent] [/allusers] /install <launcher path>
//   QuellisSetup [/silent] [/allusers] /uninstall
//
// An all-users attempt that fails is repeated once by an elevated instance,
// whose exit code becomes this one's.
#include <windows.h>

#include "elevated_restart.h"
#include "elevation_rule.h"
#include "run_setup.h"
#include "setup_exit_codes.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    using namespace varkel::setup;
    SetupState state;
    const int result = RunSetup(commandLine, state);
    if (result == exit_code::kDone) return exit_code::kDone;
    if (shouldRestartElevated(result, state.options.allUsers, state.options.forkAllowed))
        return restartElevated(state.exePath, commandLine);
    return result;
}
