// The splash screen of the real launcher, through recording stand-ins of the
// Java runtime's splash library.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "splash_libraries.h"
#include "standin_jvm_protocol.h"

using namespace consoletest;
using launchertest::Installation;
using launchertest::StandinBehaviour;

namespace {

const std::vector<std::string> kShownSplash = {"SplashInit", "SplashLoadFile pics/splash_screen.png",
                                               "SplashSetFileJarName pics/splash_screen.png (null)"};

std::vector<std::string> withoutAttach(std::vector<std::string> record) {
    record.erase(std::remove_if(record.begin(), record.end(),
                                [](const std::string& line) { return line.rfind("attach ", 0) == 0; }),
                 record.end());
    return record;
}

}  // namespace

TEST(SplashScreen, LibraryOfTheOtherBitnessIsSkippedForTheNext) {
    Installation install;
    addSplashLibraries(install, SplashLibraries::otherBitnessFirst);
    StandinBehaviour main;
    main.mainResult = 5;

    wintest::RunResult run = runAsFromExplorer(install, L"", main);

    EXPECT_EQ(run.exitCode, 5u);
    EXPECT_TRUE(run.boxes.empty()) << describeBoxes(run);  // nothing is said about the library that did not load
    const std::vector<std::string> record = splashRecord(install);
    ASSERT_FALSE(record.empty()) << "no splash library loaded";
    // The 64-bit library in java\jre\bin, loaded with its own folder as the DLL directory.
    const std::string jreBin = wintest::utf8(install / L"java\\jre\\bin");
    EXPECT_EQ(record.front(), "attach 64 " + jreBin + "\\splashscreen.dll " + jreBin);
    // On the normal path the launcher leaves the splash screen to the Java program.
    EXPECT_EQ(withoutAttach(record), kShownSplash);
    EXPECT_EQ(std::count_if(record.begin(), record.end(),
                            [](const std::string& line) { return line.rfind("attach ", 0) == 0; }),
              1);
}

TEST(SplashScreen, ErrorBoxIsShownOnlyAfterTheSplashScreenClosed) {
    const struct {
        const char* name;
        bool missingClass;
        std::optional<std::wstring> exception;
        DWORD exitCode;
        const wchar_t* boxStart;
    } cases[] = {
        {"main class missing", true, std::nullopt, 2, L"Unable to find main class"},
        {"exception from mainVK", false, L"java.lang.Error: boom", 10, L"Error in main method:\njava.lang.Error: boom"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Installation install;
        addSplashLibraries(install, SplashLibraries::ownBitness);
        StandinBehaviour main;
        if (c.missingClass) main.missing = standin::kMissingClass;
        main.exception = c.exception;
        std::vector<std::string> recordWhenBoxShown;
        wintest::RunOptions options;
        options.answer = [&](const wintest::SeenBox& box) {
            recordWhenBoxShown = splashRecord(install);
            return wintest::defaultAnswer(box);
        };

        wintest::RunResult run = runAsFromExplorer(install, L"", main, options);

        EXPECT_EQ(run.exitCode, c.exitCode);
        ASSERT_EQ(run.boxes.size(), 1u) << describeBoxes(run);
        EXPECT_EQ(run.boxes[0].text.rfind(c.boxStart, 0), 0u) << wintest::utf8(run.boxes[0].text);
        std::vector<std::string> record = withoutAttach(recordWhenBoxShown);
        ASSERT_GT(record.size(), kShownSplash.size()) << "the box came before SplashClose";
        EXPECT_EQ(std::vector<std::string>(record.begin(), record.begin() + 3), kShownSplash);
        EXPECT_EQ(record.back(), "SplashClose");
    }
}

TEST(SplashScreen, SettingOffLoadsNoLibrary) {
    Installation install;
    install.writeConfig("SPLASH_SCREEN=0\r\n");
    addSplashLibraries(install, SplashLibraries::ownBitness);
    StandinBehaviour main;
    main.missing = standin::kMissingClass;  // an error box too: closing it loads nothing either
    wintest::RunResult run = runAsFromExplorer(install, L"", main);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.boxes.size(), 1u) << describeBoxes(run);
    EXPECT_TRUE(splashRecord(install).empty());
}
