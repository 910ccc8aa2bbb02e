// Rejected command lines: the usage message, exit code -1, and nothing else
// happens (no module call, no elevated restart, no registry change).
#include <gtest/gtest.h>

#include "expected_texts.h"
#include "setup_harness.h"

namespace setuptest {
namespace {

const std::wstring kUsageHead = L"Invalid command line \"";
const std::wstring kUsageTail =
    L"\", must be:\n\n[/silent]  [/allusers]  /install  <Varkel_EXE_Path>\n\n  or  \n\n"
    L"[/silent]  [/allusers]  /uninstall";

struct RejectedLine {
    const char* name;
    std::wstring arguments;
};

const std::wstring kLongWord(150, L'p');

const RejectedLine kRejectedLines[] = {
    {"InstallAsLastWord", L"/install"},
    {"SilentWherePathIsDue", L"/install /silent C:\\Varkel\\Varkel-64.exe"},
    {"InstallAndUninstall", L"/install C:\\Varkel\\Varkel-64.exe /uninstall"},
    {"StrayWord", L"/uninstall stray"},
    {"Empty", L""},
    {"OnlyFlags", L"/silent /allusers"},
    {"LetterCase", L"/Uninstall"},
    {"TrailingInstallAfterAPath", L"/install a /install"},
    {"ElevenWords", L"/silent /silent /silent /silent /silent /silent /silent /silent /silent /silent /uninstall"},
    {"PathOf150Characters", L"/install " + kLongWord},
    // Flags for an all-users run do not make a rejected line restart.
    {"RejectedAllUsersLine", L"/allusers /install"},
    {"RejectedAllUsersLongPath", L"/allusers /install \"C:\\Program Files\\" + kLongWord + L"\""},
};

class RejectedCommandLine : public SetupTest {};

TEST_F(RejectedCommandLine, ShowsUsageAndExitsMinusOne) {
    for (const RejectedLine& line : kRejectedLines) {
        SCOPED_TRACE(line.name);
        SetupFolder folder(Module::Complete);
        const SetupRun run = runSetup(folder, line.arguments);

        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, -1);
        ASSERT_EQ(run.boxes.size(), 1u);
        const wintest::SeenBox& box = run.boxes[0].box;
        EXPECT_TRUE(run.boxes[0].byFirstInstance);
        EXPECT_EQ(box.caption, kCaption);
        EXPECT_EQ(box.text, kUsageHead + line.arguments + kUsageTail);
        EXPECT_EQ(box.icon, L"error");
        EXPECT_TRUE(box.hasOk);
        EXPECT_FALSE(box.hasCancel || box.hasYes || box.hasNo);
        EXPECT_TRUE(folder.calls().empty()) << "the module was called";
        EXPECT_FALSE(readCommand(HKEY_CURRENT_USER));
        EXPECT_FALSE(readCommand(HKEY_LOCAL_MACHINE));
    }
}

TEST_F(RejectedCommandLine, OverlongLineIsQuotedShortenedWithTheUsageWhole) {
    SetupFolder folder(Module::Complete);
    std::wstring arguments = L"/install";
    for (int i = 0; i < 12; ++i) arguments += L" \"C:\\Program Files\\" + std::wstring(100, L'a' + i) + L"\"";
    const SetupRun run = runSetup(folder, arguments);

    EXPECT_EQ(run.exitCode, -1);
    ASSERT_EQ(run.boxes.size(), 1u);
    const std::wstring& text = run.boxes[0].box.text;
    EXPECT_EQ(text.size(), 1023u);
    EXPECT_EQ(text.substr(0, kUsageHead.size() + 20), kUsageHead + arguments.substr(0, 20));
    ASSERT_GT(text.size(), kUsageTail.size() + 3);
    EXPECT_EQ(text.substr(text.size() - kUsageTail.size() - 3), L"..." + kUsageTail);
}

}  // namespace
}  // namespace setuptest
