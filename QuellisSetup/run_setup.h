// One attempt at the job the command line asks for: install or uninstall.
#pragma once

#include <string>

#include "setup_command_line.h"

namespace varkel::setup {

// What an attempt leaves for the elevated restart.
struct SetupState {
    SetupCommandLine options;
    std::wstring exePath;  // read once the command line has been accepted
};

// Checks the command line; on rejection shows the usage message and returns
// false. The flags are set either way.
bool ParseSetupCommandLine(const wchar_t* commandLine, SetupState& state);

// Returns 0, or -1 to -6 (setup_exit_codes.h).
int RunSetup(const wchar_t* commandLine, SetupState& state);

}  // namespace varkel::setup
