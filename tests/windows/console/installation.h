// A launcher installation laid out for the console and splash-screen tests,
// and runs of its launcher with the stand-ins set to behave as a test asks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "test_files.h"
#include "watched_process.h"

namespace consoletest {

// Which stand-in splash libraries the Java home holds.
enum class SplashLibraries {
    none,
    ownBitness,         // java\bin\splashscreen.dll, 64-bit
    otherBitnessFirst,  // a 32-bit java\bin\splashscreen.dll, then a 64-bit java\jre\bin\splashscreen.dll
};

// What the stand-in JVM's mainVK does in the next run.
struct MainBehaviour {
    int result = 0;
    std::wstring exception;  // not empty: mainVK throws, and this is the exception's text
    std::wstring output;     // not empty: mainVK prints this line
    bool missingClass = false;
    std::wstring holdFile;   // not empty: mainVK waits until this file exists
};

// Varkel-64.exe in a temporary folder, with an empty "lib" folder, a
// startup.conf whose JAVA_PATH names the folder's "java" home, the stand-in
// jvm.dll in java\bin\server and the splash libraries asked for.
class Installation {
public:
    Installation(const std::string& configLines, SplashLibraries splash);

    std::wstring path(const std::wstring& relative) const { return dir_ / relative; }
    // The splash stand-ins' record, one entry a line; empty when no library loaded.
    std::vector<std::string> splashRecord() const;

    // Starts the launcher with these arguments and watches it to its end.
    wintest::RunResult run(const std::wstring& arguments, const MainBehaviour& main,
                           wintest::RunOptions options = {}) const;

private:
    wintest::TempDir dir_;
};

// The boxes of a run, for failure messages.
std::string describeBoxes(const wintest::RunResult& run);

}  // namespace consoletest
