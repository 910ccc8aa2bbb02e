// The JVM options the launcher builds from startup.conf and the "lib" folder:
// their exact bytes and their fixed order.
#include <gtest/gtest.h>

#include <algorithm>

#include "launcher_fixture.h"
#include "standin_jvm_protocol.h"

namespace launchertest {
namespace {

const std::string kClassPathStart = "-Djava.class.path=classes;parsers\\classes;managers\\classes;jar\\varkel.jar;";
const std::string kLoggingOption = "-Djava.util.logging.config.file=config/logging.properties ";

TEST(JvmOptions, DefaultsGiveFourOptionsInTheirOrder) {
    Installation installation;
    Launch launch = launchertest::launch(installation);
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    // An empty "lib" still leaves the ";" before the (empty) archive list; no
    // configuration file gives an empty option, never a bare prefix.
    const std::vector<std::string> expected{kClassPathStart, "-Xmx800M", "", "-Djava.library.path=lib"};
    EXPECT_EQ(launch.record.options(), expected);
    EXPECT_EQ(launch.record.text(standin::kVersion), L"65542");  // JNI_VERSION_1_6
    EXPECT_EQ(launch.record.text(standin::kOptionCount), L"4");
    EXPECT_EQ(launch.record.text(standin::kIgnoreUnrecognized), L"1");
    for (const auto& option : launch.record.all(standin::kOption)) EXPECT_EQ(option.at(1), L"-") << "extraInfo is null";
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

// Every setting in its place, Latin-1 bytes of the file passed on unchanged,
// and the "lib" archives: ".jar" in any case, no folders, no other files, no
// subfolders. One archive whose name cannot become 8-bit text is left out
// alone; the rest of the list stays.
TEST(JvmOptions, EverySettingAndEveryLibraryArchiveInItsPlace) {
    Installation installation;
    installation.writeConfig(
        "MAX_MEMORY = 1G \r\n"
        "CONFIG_FILE=conf\\caf\xE9.properties\r\n"
        "ADDITIONAL_CLASSPATH=ext\\a.jar\n"
        "INTERNAL_LOGGING=1\n"
        "JVM_EXTRA_OPTIONS=-Xss4m \"-Dx=a b\"\n"
        "SPLASH_SCREEN=0\n");
    for (const wchar_t* name : {L"lib\\b.jar", L"lib\\A.JAR", L"lib\\caf\u00E9.jar", L"lib\\\u0416\u0443\u043A.jar",
                                L"lib\\notes.txt", L"lib\\old.jar.bak", L"lib\\sub\\deep.jar", L"lib\\x.jar\\inner.txt"})
        installation.write(name, "PK");
    Launch launch = launchertest::launch(installation);
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    std::vector<std::string> options = launch.record.options();
    ASSERT_EQ(options.size(), 7u) << "4 fixed options, 2 extra options, logging last";
    EXPECT_EQ(options[1], "-Xmx1G");
    EXPECT_EQ(options[2], "-Dconfig.file=conf\\caf\xE9.properties");
    EXPECT_EQ(options[3], "-Djava.library.path=lib");
    EXPECT_EQ(options[4], "-Xss4m");
    EXPECT_EQ(options[5], "-Dx=a b");
    EXPECT_EQ(options[6], kLoggingOption);

    ASSERT_EQ(options[0].rfind(kClassPathStart, 0), 0u) << options[0];
    std::vector<std::string> entries = split(options[0].substr(kClassPathStart.size()), ';');
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back(), "ext\\a.jar");
    entries.pop_back();
    // The file system's order, whatever it is.
    std::sort(entries.begin(), entries.end());
    const std::vector<std::string> archives{"lib\\A.JAR", "lib\\b.jar", "lib\\caf\xE9.jar"};
    EXPECT_EQ(entries, archives);
}

TEST(JvmOptions, MissingLibFolderIsReportedAndTheLaunchGoesOn) {
    Installation installation;
    RemoveDirectoryW((installation / L"lib").c_str());
    StandinBehaviour behaviour;
    behaviour.mainResult = 4;
    Launch launch = launchertest::launch(installation, {}, behaviour);
    EXPECT_EQ(launch.run.exitCode, 4u);
    ASSERT_EQ(launch.run.boxes.size(), 1u);
    // The search handle is INVALID_HANDLE_VALUE: sixteen F digits in 64 bits.
    expectErrorBox(launch.run.boxes[0],
                   L"Unable to list JARs in Varkel \"lib\" directory, using JARs list in main JAR manifest (error "
                   L"FFFFFFFFFFFFFFFF)");
    ASSERT_FALSE(launch.record.options().empty());
    EXPECT_EQ(launch.record.options()[0], kClassPathStart);
}

TEST(JvmOptions, HeapLimitTextGoesToTheJvmAsWritten) {
    // The 64-bit launcher has no 2 GB limit; a count beyond 32 bits is no error.
    Installation installation;
    for (const char* value : {"2000M", "2G", "1g", "0M", "99999999999999999999M", "000000000000000000001m"}) {
        SCOPED_TRACE(value);
        installation.writeConfig(std::string("MAX_MEMORY=") + value + "\n");
        Launch launch = launchertest::launch(installation);
        EXPECT_EQ(launch.run.exitCode, 0u);
        EXPECT_TRUE(launch.run.boxes.empty());
        ASSERT_GE(launch.record.options().size(), 2u);
        EXPECT_EQ(launch.record.options()[1], std::string("-Xmx") + value);
    }
}

TEST(JvmOptions, InvalidHeapLimitStopsTheLaunchWithExitCode5) {
    Installation installation;
    for (const char* value : {"800", "1.5G", "800MB", "2 G"}) {
        SCOPED_TRACE(value);
        installation.writeConfig(std::string("MAX_MEMORY=") + value + "\n");
        Launch launch = launchertest::launch(installation);
        EXPECT_EQ(launch.run.exitCode, 5u);
        ASSERT_EQ(launch.run.boxes.size(), 1u);
        expectErrorBox(launch.run.boxes[0],
                       L"Invalid value \"" + wintest::wide(value) + L"\" for parameter \"MAX_MEMORY\" in file \"" +
                           installation.configPath() +
                           L"\".\nPlease enter values like \"800M\" or \"2G\".\nJava program won't be launched.");
        EXPECT_FALSE(launch.record.loaded()) << "no JVM is created";
    }
}

}  // namespace
}  // namespace launchertest
