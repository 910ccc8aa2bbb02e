// The console and splash-screen tests' additions to the launcher fixture
// (launcher_fixture.h): the stand-in splash libraries in an installation's
// Java home, their record, and runs of the launcher started as Explorer
// starts it.
#pragma once

#include <string>
#include <vector>

#include "launcher_fixture.h"

namespace consoletest {

// Which stand-in splash libraries the Java home holds.
enum class SplashLibraries {
    none,
    ownBitness,         // java\bin\splashscreen.dll, 64-bit
    otherBitnessFirst,  // a 32-bit java\bin\splashscreen.dll, then a 64-bit java\jre\bin\splashscreen.dll
};

// Copies the splash libraries asked for into the installation's Java home.
void addSplashLibraries(const launchertest::Installation& installation, SplashLibraries splash);

// The splash stand-ins' record, one entry a line; empty when no library loaded.
std::vector<std::string> splashRecord(const launchertest::Installation& installation);

// Starts the installation's launcher with these arguments, without the test
// program's console and standard handles, and watches it to its end.
wintest::RunResult runAsFromExplorer(const launchertest::Installation& installation, const std::wstring& arguments,
                                     const launchertest::StandinBehaviour& behaviour,
                                     wintest::RunOptions options = {});

// The boxes of a run, for failure messages.
std::string describeBoxes(const wintest::RunResult& run);

}  // namespace consoletest
