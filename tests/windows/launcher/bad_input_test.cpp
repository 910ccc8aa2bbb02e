// Input that is broken or huge never crashes the launcher and is never cut:
// garbage in startup.conf, very long lines, thousands of arguments, a command
// line at Windows' limit.
#include <gtest/gtest.h>

#include "launcher_fixture.h"
#include "standin_jvm_protocol.h"

namespace launchertest {
namespace {

constexpr std::size_t kCommandLineLimit = 32767;  // CreateProcessW, terminator included

// Every byte value but Ctrl-Z (which ends a text-mode file), in a fixed
// pseudo-random order, lines of any length, NULs included.
std::string garbage(std::size_t size) {
    std::string bytes;
    unsigned state = 12345;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        char c = static_cast<char>((state >> 16) & 0xFF);
        if (c != '\x1A') bytes.push_back(c);
    }
    return bytes;
}

TEST(BadInput, BinaryGarbageInStartupConfigIsIgnored) {
    Installation installation;
    std::string config = "\n";
    config.append(garbage(256 * 1024)).append("\n");
    installation.writeConfig(config);
    StandinBehaviour behaviour;
    behaviour.mainResult = 42;
    Launch launch = launchertest::launch(installation, {}, behaviour);
    EXPECT_EQ(launch.run.exitCode, 42u);
    EXPECT_TRUE(launch.run.boxes.empty());
    const std::vector<std::string> defaults{
        "-Djava.class.path=classes;parsers\\classes;managers\\classes;jar\\varkel.jar;", "-Xmx800M", "",
        "-Djava.library.path=lib"};
    EXPECT_EQ(launch.record.options(), defaults);
}

// Lines of any length are read whole: a long comment stays one comment, and a
// long setting keeps its whole value.
TEST(BadInput, VeryLongConfigLinesAreReadWhole) {
    Installation installation;
    const std::string longOption = "-Dlong=" + std::string(100000, 'v');
    std::string config = "# ";
    config.append(100000, 'c').append(" MAX_MEMORY=1G\n");
    config.append("JVM_EXTRA_OPTIONS=").append(longOption).append(" -Dafter=1\n");
    installation.writeConfig(config);
    Launch launch = launchertest::launch(installation);
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    std::vector<std::string> options = launch.record.options();
    ASSERT_EQ(options.size(), 6u);
    EXPECT_EQ(options[1], "-Xmx800M") << "the end of the long comment is no setting";
    EXPECT_EQ(options[4], longOption);
    EXPECT_EQ(options[5], "-Dafter=1");
}

TEST(BadInput, ThousandsOfArgumentsUpToTheCommandLineLimitArriveInOrder) {
    Installation installation;
    const std::size_t room = kCommandLineLimit - 1 - wintest::quoted(installation.exe()).size() - 1;
    std::wstring commandLine;
    std::vector<std::wstring> expected;
    for (int i = 0;; ++i) {
        std::wstring argument = L"a" + std::to_wstring(i);
        if (commandLine.size() + argument.size() + 1 > room) break;
        if (!commandLine.empty()) commandLine += L' ';
        commandLine += argument;
        expected.push_back(argument);
    }
    ASSERT_GT(expected.size(), 4000u);
    Launch launch = launchertest::launch(installation, commandLine);
    EXPECT_EQ(launch.run.exitCode, 0u);
    ASSERT_TRUE(launch.record.arguments());
    EXPECT_EQ(*launch.record.arguments(), expected);
}

TEST(BadInput, OneArgumentOfThirtyThousandCharactersArrivesWhole) {
    Installation installation;
    std::wstring longArgument(30000, L'x');
    longArgument += L"\u0416end";
    Launch launch = launchertest::launch(installation, L"first \"" + longArgument + L"\" last");
    EXPECT_EQ(launch.run.exitCode, 0u);
    ASSERT_TRUE(launch.record.arguments());
    EXPECT_EQ(*launch.record.arguments(), (std::vector<std::wstring>{L"first", longArgument, L"last"}));
}

}  // namespace
}  // namespace launchertest
