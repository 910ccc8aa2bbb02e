// The setup tool's word splitting and command-line check, case by case.
#include "setup_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varkel::setup {
namespace {

std::string narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

// ---- Word splitting ---------------------------------------------------------------------

struct SplitCase {
    std::u16string line;
    std::vector<std::u16string> words;
};

class SplitSetupWords : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitSetupWords, GivesTheWords) {
    const SplitWords split = splitSetupWords(GetParam().line);
    EXPECT_FALSE(split.overflowed());
    EXPECT_EQ(split.words, GetParam().words) << narrow(GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitSetupWords,
    ::testing::Values(SplitCase{u"", {}}, SplitCase{u"    ", {}}, SplitCase{u"\"\"", {}},
                      SplitCase{u"\"\" \"\"", {}}, SplitCase{u"a", {u"a"}},
                      SplitCase{u"  a   b  ", {u"a", u"b"}},
                      SplitCase{u"\"C:\\Program Files\\V.exe\"", {u"C:\\Program Files\\V.exe"}},
                      SplitCase{u"a\"b c\"d e", {u"ab cd", u"e"}},
                      SplitCase{u"\" \"", {u" "}},
                      SplitCase{u"\" lead\" x", {u" lead", u"x"}},
                      SplitCase{u"\"open to the end", {u"open to the end"}},
                      // Only U+0020 separates: tabs and other white space stay in the word.
                      SplitCase{u"a\tb\u00A0c", {u"a\tb\u00A0c"}},
                      SplitCase{u"x\"\"y", {u"xy"}}));

TEST(SplitSetupWordsBounds, TenWordsAreKeptAnEleventhOverflows) {
    EXPECT_EQ(splitSetupWords(u"1 2 3 4 5 6 7 8 9 10").words.size(), 10u);
    EXPECT_FALSE(splitSetupWords(u"1 2 3 4 5 6 7 8 9 10   ").overflowed());
    const SplitWords eleven = splitSetupWords(u"1 2 3 4 5 6 7 8 9 10 11");
    EXPECT_TRUE(eleven.tooManyWords);
    EXPECT_FALSE(eleven.wordTooLong);
}

TEST(SplitSetupWordsBounds, AWordOf149CharactersFitsOneOf150Overflows) {
    const std::u16string longest(kMaxWordChars, u'x');
    const SplitWords fits = splitSetupWords(u"/install " + longest);
    ASSERT_FALSE(fits.overflowed());
    EXPECT_EQ(fits.words.at(1), longest);

    const SplitWords over = splitSetupWords(u"/install " + longest + u"x");
    EXPECT_TRUE(over.wordTooLong);
    EXPECT_FALSE(over.tooManyWords);
    // Quotes do not count, quoted blanks do.
    EXPECT_FALSE(splitSetupWords(u"\"" + std::u16string(kMaxWordChars - 1, u'x') + u" \"").overflowed());
    EXPECT_TRUE(splitSetupWords(u"\"" + std::u16string(kMaxWordChars, u'x') + u" \"").wordTooLong);
}

// ---- The check ------------------------------------------------------------------------------

struct AcceptedCase {
    std::u16string line;
    bool installMode, allUsers, silent, forkAllowed;
    std::u16string launcherPath;
};

class AcceptedCommandLine : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedCommandLine, SetsFlagsAndPath) {
    const AcceptedCase& c = GetParam();
    const SetupCommandLine result = checkSetupCommandLine(c.line);
    ASSERT_TRUE(result.accepted()) << narrow(c.line) << " rejected as " << static_cast<int>(result.rejection);
    EXPECT_EQ(result.installMode, c.installMode);
    EXPECT_EQ(result.allUsers, c.allUsers);
    EXPECT_EQ(result.silent, c.silent);
    EXPECT_EQ(result.forkAllowed, c.forkAllowed);
    EXPECT_EQ(result.launcherPath, c.launcherPath);
}

const std::u16string kLongestPath = u"C:\\" + std::u16string(kMaxWordChars - 3, u'v');

INSTANTIATE_TEST_SUITE_P(
    Cases, AcceptedCommandLine,
    ::testing::Values(
        AcceptedCase{u"/install C:\\Varkel\\Varkel-64.exe", true, false, false, true, u"C:\\Varkel\\Varkel-64.exe"},
        AcceptedCase{u"/install \"C:\\Program Files\\Varkel\\Varkel-64.exe\"", true, false, false, true,
                     u"C:\\Program Files\\Varkel\\Varkel-64.exe"},
        AcceptedCase{u"/install C:\\\"Program Files\"\\V.exe", true, false, false, true, u"C:\\Program Files\\V.exe"},
        AcceptedCase{u"/uninstall", false, false, false, true, u""},
        AcceptedCase{u"  /uninstall  ", false, false, false, true, u""},
        AcceptedCase{u"\"/uninstall\"", false, false, false, true, u""},
        AcceptedCase{u"/silent /allusers /install C:\\V.exe", true, true, true, true, u"C:\\V.exe"},
        AcceptedCase{u"/nofork /silent /allusers /install C:\\V.exe", true, true, true, false, u"C:\\V.exe"},
        AcceptedCase{u"/nofork /allusers /uninstall", false, true, false, false, u""},
        AcceptedCase{u"/uninstall /allusers /silent", false, true, true, true, u""},
        AcceptedCase{u"/silent /silent /uninstall /uninstall", false, false, true, true, u""},
        AcceptedCase{u"/install a /install b", true, false, false, true, u"b"},
        AcceptedCase{u"/install C:\\V.exe /allusers", true, true, false, true, u"C:\\V.exe"},
        // The path is not examined: any word is stored as it came.
        AcceptedCase{u"/install -x", true, false, false, true, u"-x"},
        AcceptedCase{u"/install /Install", true, false, false, true, u"/Install"},
        AcceptedCase{u"/install \" \"", true, false, false, true, u" "},
        AcceptedCase{u"/install C:\\\u0412\u0430\u0440\u043A\u0435\u043B\\V.exe", true, false, false, true,
                     u"C:\\\u0412\u0430\u0440\u043A\u0435\u043B\\V.exe"},
        // Ten words is the most there may be.
        AcceptedCase{u"/silent /silent /silent /silent /silent /silent /silent /silent /install x", true, false,
                     true, true, u"x"},
        AcceptedCase{u"/install " + kLongestPath, true, false, false, true, kLongestPath}));

struct RejectedCase {
    std::u16string line;
    Rejection rejection;
};

class RejectedCommandLine : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(RejectedCommandLine, GivesTheReason) {
    const SetupCommandLine result = checkSetupCommandLine(GetParam().line);
    EXPECT_FALSE(result.accepted());
    EXPECT_EQ(static_cast<int>(result.rejection), static_cast<int>(GetParam().rejection)) << narrow(GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RejectedCommandLine,
    ::testing::Values(
        RejectedCase{u"", Rejection::NoWords}, RejectedCase{u"   ", Rejection::NoWords},
        RejectedCase{u"\"\"", Rejection::NoWords},
        RejectedCase{u"/install", Rejection::MissingPath},
        RejectedCase{u"/silent /install", Rejection::MissingPath},
        // Each "/install" needs its own path, even after an earlier one had one.
        RejectedCase{u"/install a /install", Rejection::MissingPath},
        RejectedCase{u"/install /silent C:\\V.exe", Rejection::SwitchInsteadOfPath},
        RejectedCase{u"/install /uninstall", Rejection::SwitchInsteadOfPath},
        RejectedCase{u"/install /nofork x", Rejection::SwitchInsteadOfPath},
        RejectedCase{u"/install /install x", Rejection::SwitchInsteadOfPath},
        RejectedCase{u"/install C:\\V.exe /uninstall", Rejection::InstallAndUninstall},
        RejectedCase{u"/uninstall /install C:\\V.exe", Rejection::InstallAndUninstall},
        RejectedCase{u"stray", Rejection::UnknownWord},
        RejectedCase{u"/uninstall stray", Rejection::UnknownWord},
        RejectedCase{u"/install C:\\V.exe stray", Rejection::UnknownWord},
        RejectedCase{u"/Uninstall", Rejection::UnknownWord},
        RejectedCase{u"-uninstall", Rejection::UnknownWord},
        RejectedCase{u"/uninstall\t", Rejection::UnknownWord},
        RejectedCase{u"/silent", Rejection::NoJob},
        RejectedCase{u"/silent /allusers /nofork", Rejection::NoJob},
        RejectedCase{u"1 2 3 4 5 6 7 8 9 10 /uninstall", Rejection::TooManyWords},
        RejectedCase{u"/silent /silent /silent /silent /silent /silent /silent /silent /silent /silent /uninstall",
                     Rejection::TooManyWords},
        RejectedCase{u"/install " + std::u16string(kMaxWordChars + 1, u'p'), Rejection::WordTooLong},
        RejectedCase{u"/install \"C:\\Program Files\\" + std::u16string(kMaxWordChars, u'p') + u"\"",
                     Rejection::WordTooLong}));

TEST(RejectedCommandLineFlags, FlagsSetBeforeTheRejectionStaySet) {
    const SetupCommandLine result = checkSetupCommandLine(u"/nofork /allusers /silent stray /install x");
    EXPECT_EQ(result.rejection, Rejection::UnknownWord);
    EXPECT_TRUE(result.allUsers);
    EXPECT_TRUE(result.silent);
    EXPECT_FALSE(result.forkAllowed);
    EXPECT_TRUE(result.launcherPath.empty());
}

TEST(RejectedCommandLineFlags, AnOverlongPathIsNeverStoredCut) {
    const std::u16string path = u"C:\\" + std::u16string(600, u'p') + u"\\Varkel-64.exe";
    const SetupCommandLine result = checkSetupCommandLine(u"/allusers /install \"" + path + u"\"");
    EXPECT_EQ(result.rejection, Rejection::WordTooLong);
    EXPECT_TRUE(result.launcherPath.empty());
}

}  // namespace
}  // namespace varkel::setup
