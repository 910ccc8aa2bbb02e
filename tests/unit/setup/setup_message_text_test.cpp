// The setup tool's message texts, the bound on their length, and the rule
// for the elevated restart.
#include "elevation_rule.h"
#include "setup_message_text.h"
#include "setup_messages.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace varkel::setup {
namespace {

// Written out here rather than taken from setup_messages.h, so that a changed
// text shows up as a failure.
const std::u16string kUsageTail =
    u"\", must be:\n\n[/silent]  [/allusers]  /install  <Varkel_EXE_Path>\n\n  or  \n\n"
    u"[/silent]  [/allusers]  /uninstall";

TEST(UsageMessage, QuotesTheWholeCommandLine) {
    EXPECT_EQ(usageMessage(u"/install"), u"Invalid command line \"/install" + kUsageTail);
    EXPECT_EQ(usageMessage(u""), u"Invalid command line \"" + kUsageTail);
    EXPECT_EQ(usageMessage(u"/install \"a b\" %s"), u"Invalid command line \"/install \"a b\" %s" + kUsageTail);
}

TEST(UsageMessage, ALongCommandLineIsShortenedSoTheUsageStaysWhole) {
    const std::u16string prefix = u"Invalid command line \"";
    for (std::size_t length : {kMaxMessageChars - prefix.size() - kUsageTail.size(),
                               kMaxMessageChars - prefix.size() - kUsageTail.size() + 1, std::size_t{5000}}) {
        const std::u16string line(length, u'w');
        const std::u16string message = usageMessage(line);
        EXPECT_LE(message.size(), kMaxMessageChars) << length;
        ASSERT_GE(message.size(), kUsageTail.size());
        EXPECT_EQ(message.substr(message.size() - kUsageTail.size()), kUsageTail) << length;
        EXPECT_EQ(message.substr(0, prefix.size()), prefix);
        const bool fits = prefix.size() + length + kUsageTail.size() <= kMaxMessageChars;
        const std::u16string shown = message.substr(prefix.size(), message.size() - prefix.size() - kUsageTail.size());
        if (fits) {
            EXPECT_EQ(shown, line);
        } else {
            EXPECT_EQ(shown, std::u16string(shown.size() - 3, u'w') + u"...") << length;
            EXPECT_EQ(message.size(), kMaxMessageChars) << length;
        }
    }
}

TEST(FormatSetupMessage, FillsPlaceholdersInOrder) {
    EXPECT_EQ(FormatSetupMessage(text::kExportMissing, {u"DllRegisterServer", u"C:\\x\\Quellis64.dll"}),
              u"ERROR: Unable to get function \"DllRegisterServer\"\nfrom \"C:\\x\\Quellis64.dll\".");
    EXPECT_EQ(FormatSetupMessage(text::kModuleNotFound, {u"C:\\a b\\Quellis64.dll"}),
              u"ERROR: Unable to find \"C:\\a b\\Quellis64.dll\"");
    EXPECT_EQ(FormatSetupMessage(text::kInstallDone, {u"C:\\V.exe"}),
              u"Varkel application \"C:\\V.exe\" successfully registered.");
    // An argument is inserted as it is, never read as a format.
    EXPECT_EQ(FormatSetupMessage(u"<%s|%s>", {u"%s", u"%d"}), u"<%s|%d>");
    EXPECT_EQ(FormatSetupMessage(u"<%s|%s>", {u"one"}), u"<one|>");
    EXPECT_EQ(FormatSetupMessage(u"100%", {u"x"}), u"100%");
}

TEST(FormatSetupMessage, StaysWithinTheBufferAndKeepsSurrogatePairsWhole) {
    const std::u16string path(2000, u'p');
    EXPECT_EQ(FormatSetupMessage(text::kModuleNotFound, {path}).size(), kMaxMessageChars);

    // "ab" + pairs: the cut at 1023 would split the pair that starts at 1022.
    std::u16string pairs = u"ab";
    while (pairs.size() < 1100) pairs += u"\U0001F600";
    const std::u16string cut = FormatSetupMessage(u"%s", {pairs});
    EXPECT_EQ(cut.size(), kMaxMessageChars - 1);
    EXPECT_EQ(cut, pairs.substr(0, kMaxMessageChars - 1));
}

struct RestartCase {
    int result;
    bool allUsers, forkAllowed, restart;
};
void PrintTo(const RestartCase& c, std::ostream* out) {
    *out << "code" << c.result << (c.allUsers ? "_allUsers" : "") << (c.forkAllowed ? "_forkAllowed" : "");
}

class ElevatedRestartRule : public ::testing::TestWithParam<RestartCase> {};

TEST_P(ElevatedRestartRule, OnlyFailedAllUsersAttemptsOfAFirstInstance) {
    const RestartCase& c = GetParam();
    EXPECT_EQ(shouldRestartElevated(c.result, c.allUsers, c.forkAllowed), c.restart)
        << c.result << " allUsers=" << c.allUsers << " forkAllowed=" << c.forkAllowed;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ElevatedRestartRule,
    ::testing::Values(RestartCase{0, true, true, false}, RestartCase{-1, true, true, false},
                      RestartCase{-2, true, true, true}, RestartCase{-3, true, true, true},
                      RestartCase{-4, true, true, true}, RestartCase{-5, true, true, true},
                      RestartCase{-6, true, true, true}, RestartCase{-7, true, true, false},
                      RestartCase{-99, true, true, false}, RestartCase{-4, false, true, false},
                      RestartCase{-4, true, false, false}, RestartCase{-2, false, false, false}));

TEST(ElevatedParameters, PutNoForkInFrontOfTheCommandLineAsReceived) {
    EXPECT_EQ(elevatedParameters(u"/allusers /install \"C:\\a b\\V.exe\""),
              u"/nofork /allusers /install \"C:\\a b\\V.exe\"");
    EXPECT_EQ(elevatedParameters(u"/allusers  /uninstall "), u"/nofork /allusers  /uninstall ");
}

}  // namespace
}  // namespace varkel::setup
