// The command line: the Java program's arguments reach mainVK exactly, in
// order and in UTF-16; the launcher's own "--conf=" option picks the startup
// configuration file and "--file-list=" reads arguments from a file, both
// resolved against the launcher's folder.
#include <gtest/gtest.h>

#include "launcher_fixture.h"
#include "standin_jvm_protocol.h"

namespace launchertest {
namespace {

using Arguments = std::vector<std::wstring>;

TEST(CommandLine, ArgumentsReachMainInOrder) {
    struct Case {
        const wchar_t* commandLine;
        Arguments expected;
    } cases[] = {
        // None at all gives an empty array, never a null one.
        {L"", {}},
        {L"   ", {}},
        {L"plain \"C:\\Logs\\my app.log\"  a\"\"b \"\" x\"  y\" tab\tinside",
         {L"plain", L"C:\\Logs\\my app.log", L"ab", L"x  y", L"tab\tinside"}},
        // Not launcher options: a bare "--conf=" and other letter cases.
        {L"--conf= --Console --CONF=x.conf", {L"--conf=", L"--Console", L"--CONF=x.conf"}},
        // File names in any script keep their text.
        {L"\"C:\\Data\\\u00E9t\u00E9\\\u0416\u0443\u0440\u043D\u0430\u043B.log\" caf\u00E9 \u03B1\u03B2 \U0001F600",
         {L"C:\\Data\\\u00E9t\u00E9\\\u0416\u0443\u0440\u043D\u0430\u043B.log", L"caf\u00E9", L"\u03B1\u03B2",
          L"\U0001F600"}},
    };
    Installation installation;
    for (const Case& c : cases) {
        SCOPED_TRACE(wintest::utf8(c.commandLine));
        Launch launch = launchertest::launch(installation, c.commandLine);
        EXPECT_EQ(launch.run.exitCode, 0u);
        EXPECT_TRUE(launch.run.boxes.empty());
        ASSERT_TRUE(launch.record.arguments()) << "mainVK was not called";
        EXPECT_EQ(*launch.record.arguments(), c.expected);
    }
}

// "--conf=" names a file in the launcher's folder, wherever the launcher was
// started from; relative names in it resolve there too. The last one counts,
// and none reaches the Java program.
TEST(CommandLine, ConfOptionReadsTheNamedFileFromTheLauncherFolder) {
    Installation installation;
    installation.write(L"my settings.conf", installation.javaPathLine() + "MAX_MEMORY=123M\n");
    installation.write(L"lib\\found.jar", "PK");
    wintest::TempDir elsewhere(L"elsewhere");
    wintest::RunOptions options;
    options.workingDirectory = elsewhere.path();
    Launch launch = launchertest::launch(installation, L"--conf=startup.conf one \"--conf=my settings.conf\" two",
                                         {}, options);
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    EXPECT_EQ(launch.record.text(standin::kDirectory), installation.dir());
    ASSERT_EQ(launch.record.options().size(), 4u);
    EXPECT_EQ(launch.record.options()[0],
              "-Djava.class.path=classes;parsers\\classes;managers\\classes;jar\\varkel.jar;lib\\found.jar");
    EXPECT_EQ(launch.record.options()[1], "-Xmx123M");
    ASSERT_TRUE(launch.record.arguments());
    EXPECT_EQ(*launch.record.arguments(), (Arguments{L"one", L"two"}));
}

// A file that cannot be opened (missing, or a folder) is named as given; the
// JVM is never started.
TEST(CommandLine, UnopenableStartupConfigurationEndsWithExitCode2) {
    struct Case {
        const wchar_t* commandLine;
        const wchar_t* shownName;
    } cases[] = {
        {L"--conf=missing.conf file.log", L"missing.conf"},
        {L"--conf=folder.conf", L"folder.conf"},
        {L"file.log", L"startup.conf"},
    };
    Installation installation;
    DeleteFileW(installation.configPath().c_str());
    wintest::makeDirectories(installation / L"folder.conf");
    for (const Case& c : cases) {
        SCOPED_TRACE(wintest::utf8(c.commandLine));
        Launch launch = launchertest::launch(installation, c.commandLine);
        EXPECT_EQ(launch.run.exitCode, 2u);
        ASSERT_EQ(launch.run.boxes.size(), 1u);
        expectErrorBox(launch.run.boxes[0], L"Unable to open startup config file \"" + std::wstring(c.shownName) +
                                                L"\".\nJava program won't be launched.");
        EXPECT_FALSE(launch.record.loaded());
    }
}

// An absolute "--conf=" name is opened as given; messages still put the
// launcher's folder in front of it.
TEST(CommandLine, AbsoluteConfNameIsOpenedAsGiven) {
    Installation installation;
    wintest::TempDir elsewhere(L"elsewhere");
    const std::wstring absolute = elsewhere / L"abs.conf";
    wintest::writeFileBytes(absolute, installation.javaPathLine() + "MAX_MEMORY=lots\n");
    Launch launch = launchertest::launch(installation, L"\"--conf=" + absolute + L"\"");
    EXPECT_EQ(launch.run.exitCode, 5u);
    ASSERT_EQ(launch.run.boxes.size(), 1u);
    expectErrorBox(launch.run.boxes[0], L"Invalid value \"lots\" for parameter \"MAX_MEMORY\" in file \"" +
                                            installation.dir() + L"\\" + absolute +
                                            L"\".\nPlease enter values like \"800M\" or \"2G\".\nJava program won't "
                                            L"be launched.");
}

// "--file-list=" names a list as "--conf=" names a configuration: relative to
// the launcher's folder. Its lines take its place, and a list of the user's
// own is kept, even one under the extension's name outside the temporary
// folder itself.
TEST(CommandLine, FileListsAreReadInTheirPlaceAndTheUsersListsKept) {
    Installation installation;
    wintest::TempDir elsewhere(L"elsewhere");
    installation.write(L"my list.txt", "\xEF\xBB\xBF" "C:\\Logs\\a b.log\r\n\r\nC:\\Logs\\\xC3\xA4\xE6\x97\xA5.log\n");
    const std::wstring named = elsewhere / L"Varkel-selection-mine.txt";
    wintest::writeFileBytes(named, "second\n");
    wintest::RunOptions options;
    options.workingDirectory = elsewhere.path();
    Launch launch = launchertest::launch(
        installation, L"first \"--file-list=my list.txt\" mid \"--file-list=" + named + L"\" last", {}, options);
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    ASSERT_TRUE(launch.record.arguments());
    EXPECT_EQ(*launch.record.arguments(), (Arguments{L"first", L"C:\\Logs\\a b.log", L"C:\\Logs\\\u00E4\u65E5.log",
                                                     L"mid", L"second", L"last"}));
    EXPECT_TRUE(wintest::fileExists(installation / L"my list.txt"));
    EXPECT_TRUE(wintest::fileExists(named));
}

TEST(CommandLine, MissingFileListEndsWithExitCode2) {
    Installation installation;
    Launch launch = launchertest::launch(installation, L"x --file-list=missing.txt");
    EXPECT_EQ(launch.run.exitCode, 2u);
    ASSERT_EQ(launch.run.boxes.size(), 1u);
    expectErrorBox(launch.run.boxes[0], L"Unable to open file list \"" + (installation / L"missing.txt") + L"\":\n" +
                                            systemErrorItem(ERROR_FILE_NOT_FOUND) +
                                            L"\nJava program won't be launched.");
    EXPECT_FALSE(launch.record.loaded());
}

}  // namespace
}  // namespace launchertest
