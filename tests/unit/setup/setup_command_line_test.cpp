// The setup tool's word splitting and command-line check, case by case.
#include "setup_command_line.h"

#include <gtest/gtest.h>

#include <ostream>
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

// Each case has a name: CTest lists value-parameterised cases by what
// PrintTo prints.
struct SplitCase {
    const char* name;
    std::u16string line;
    std::vector<std::u16string> words;
};
void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.name; }

class SplitSetupWords : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitSetupWords, GivesTheWords) {
    const SplitWords split = splitSetupWords(GetParam().line);
    EXPECT_FALSE(split.overflowed());
    EXPECT_EQ(split.words, GetParam().words) << narrow(GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitSetupWords,
    ::testing::Values(SplitCase{"Empty", u"", {}}, SplitCase{"Blanks", u"    ", {}}, SplitCase{"EmptyQuotes", u"\"\"", {}},
                      SplitCase{"TwoEmptyQuotes", u"\"\" \"\"", {}}, SplitCase{"OneWord", u"a", {u"a"}},
                      SplitCase{"ManyBlanks", u"  a   b  ", {u"a", u"b"}},
                      SplitCase{"QuotedPath", u"\"C:\\Program Files\\V.exe\"", {u"C:\\Program Files\\V.exe"}},
                      SplitCase{"QuotesInsideAWord", u"a\"b c\"d e", {u"ab cd", u"e"}},
                      SplitCase{"QuotedBlank", u"\" \"", {u" "}},
                      SplitCase{"QuotedLeadingBlank", u"\" lead\" x", {u" lead", u"x"}},
                      SplitCase{"UnclosedQuote", u"\"open to the end", {u"open to the end"}},
                      // Only U+0020 separates: tabs and other white space stay in the word.
                      SplitCase{"TabsAndNoBreakSpaceStay", u"a\tb\u00A0c", {u"a\tb\u00A0c"}},
                      SplitCase{"EmptyQuotesInsideAWord", u"x\"\"y", {u"xy"}}));

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
    const char* name;
    std::u16string line;
    bool installMode, allUsers, silent, forkAllowed;
    std::u16string launcherPath;
};
void PrintTo(const AcceptedCase& c, std::ostream* out) { *out << c.name; }

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
        AcceptedCase{"PlainPath", u"/install C:\\Varkel\\Varkel-64.exe", true, false, false, true, u"C:\\Varkel\\Varkel-64.exe"},
        AcceptedCase{"QuotedPathWithBlanks", u"/install \"C:\\Program Files\\Varkel\\Varkel-64.exe\"", true, false, false, true,
                     u"C:\\Program Files\\Varkel\\Varkel-64.exe"},
        AcceptedCase{"QuotesInsideThePath", u"/install C:\\\"Program Files\"\\V.exe", true, false, false, true, u"C:\\Program Files\\V.exe"},
        AcceptedCase{"Uninstall", u"/uninstall", false, false, false, true, u""},
        AcceptedCase{"UninstallWithBlanksAround", u"  /uninstall  ", false, false, false, true, u""},
        AcceptedCase{"QuotedSwitch", u"\"/uninstall\"", false, false, false, true, u""},
        AcceptedCase{"SilentAllUsersInstall", u"/silent /allusers /install C:\\V.exe", true, true, true, true, u"C:\\V.exe"},
        AcceptedCase{"NoForkSilentAllUsersInstall", u"/nofork /silent /allusers /install C:\\V.exe", true, true, true, false, u"C:\\V.exe"},
        AcceptedCase{"NoForkAllUsersUninstall", u"/nofork /allusers /uninstall", false, true, false, false, u""},
        AcceptedCase{"FlagsAfterUninstall", u"/uninstall /allusers /silent", false, true, true, true, u""},
        AcceptedCase{"RepeatedFlags", u"/silent /silent /uninstall /uninstall", false, false, true, true, u""},
        AcceptedCase{"LastPathWins", u"/install a /install b", true, false, false, true, u"b"},
        AcceptedCase{"FlagAfterThePath", u"/install C:\\V.exe /allusers", true, true, false, true, u"C:\\V.exe"},
        // The path is not examined: any word is stored as it came.
        AcceptedCase{"PathLikeAnOption", u"/install -x", true, false, false, true, u"-x"},
        AcceptedCase{"PathLikeASwitchInOtherCase", u"/install /Install", true, false, false, true, u"/Install"},
        AcceptedCase{"BlankPath", u"/install \" \"", true, false, false, true, u" "},
        AcceptedCase{"CyrillicPath", u"/install C:\\\u0412\u0430\u0440\u043A\u0435\u043B\\V.exe", true, false, false, true,
                     u"C:\\\u0412\u0430\u0440\u043A\u0435\u043B\\V.exe"},
        // Ten words is the most there may be.
        AcceptedCase{"TenWords", u"/silent /silent /silent /silent /silent /silent /silent /silent /install x", true, false,
                     true, true, u"x"},
        AcceptedCase{"LongestPath", u"/install " + kLongestPath, true, false, false, true, kLongestPath}));

struct RejectedCase {
    const char* name;
    std::u16string line;
    Rejection rejection;
};
void PrintTo(const RejectedCase& c, std::ostream* out) { *out << c.name; }

class RejectedCommandLine : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(RejectedCommandLine, GivesTheReason) {
    const SetupCommandLine result = checkSetupCommandLine(GetParam().line);
    EXPECT_FALSE(result.accepted());
    EXPECT_EQ(static_cast<int>(result.rejection), static_cast<int>(GetParam().rejection)) << narrow(GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RejectedCommandLine,
    ::testing::Values(
        RejectedCase{"Empty", u"", Rejection::noWords}, RejectedCase{"Blanks", u"   ", Rejection::noWords},
        RejectedCase{"EmptyQuotes", u"\"\"", Rejection::noWords},
        RejectedCase{"InstallAsLastWord", u"/install", Rejection::missingPath},
        RejectedCase{"InstallLastAfterAFlag", u"/silent /install", Rejection::missingPath},
        // Each "/install" needs its own path, even after an earlier one had one.
        RejectedCase{"TrailingInstallAfterAPath", u"/install a /install", Rejection::missingPath},
        RejectedCase{"SilentWherePathIsDue", u"/install /silent C:\\V.exe", Rejection::switchInsteadOfPath},
        RejectedCase{"UninstallWherePathIsDue", u"/install /uninstall", Rejection::switchInsteadOfPath},
        RejectedCase{"NoForkWherePathIsDue", u"/install /nofork x", Rejection::switchInsteadOfPath},
        RejectedCase{"InstallWherePathIsDue", u"/install /install x", Rejection::switchInsteadOfPath},
        RejectedCase{"InstallThenUninstall", u"/install C:\\V.exe /uninstall", Rejection::installAndUninstall},
        RejectedCase{"UninstallThenInstall", u"/uninstall /install C:\\V.exe", Rejection::installAndUninstall},
        RejectedCase{"StrayWord", u"stray", Rejection::unknownWord},
        RejectedCase{"StrayAfterUninstall", u"/uninstall stray", Rejection::unknownWord},
        RejectedCase{"StrayAfterThePath", u"/install C:\\V.exe stray", Rejection::unknownWord},
        RejectedCase{"LetterCase", u"/Uninstall", Rejection::unknownWord},
        RejectedCase{"DashInsteadOfSlash", u"-uninstall", Rejection::unknownWord},
        RejectedCase{"TrailingTab", u"/uninstall\t", Rejection::unknownWord},
        RejectedCase{"OnlySilent", u"/silent", Rejection::noJob},
        RejectedCase{"OnlyFlags", u"/silent /allusers /nofork", Rejection::noJob},
        RejectedCase{"ElevenWords", u"1 2 3 4 5 6 7 8 9 10 /uninstall", Rejection::tooManyWords},
        RejectedCase{"ElevenWordsOfFlags", u"/silent /silent /silent /silent /silent /silent /silent /silent /silent /silent /uninstall",
                     Rejection::tooManyWords},
        RejectedCase{"WordOf150", u"/install " + std::u16string(kMaxWordChars + 1, u'p'), Rejection::wordTooLong},
        RejectedCase{"QuotedWordOver149", u"/install \"C:\\Program Files\\" + std::u16string(kMaxWordChars, u'p') + u"\"",
                     Rejection::wordTooLong}));

TEST(RejectedCommandLineFlags, FlagsSetBeforeTheRejectionStaySet) {
    const SetupCommandLine result = checkSetupCommandLine(u"/nofork /allusers /silent stray /install x");
    EXPECT_EQ(result.rejection, Rejection::unknownWord);
    EXPECT_TRUE(result.allUsers);
    EXPECT_TRUE(result.silent);
    EXPECT_FALSE(result.forkAllowed);
    EXPECT_TRUE(result.launcherPath.empty());
}

TEST(RejectedCommandLineFlags, AnOverlongPathIsNeverStoredCut) {
    const std::u16string path = u"C:\\" + std::u16string(600, u'p') + u"\\Varkel-64.exe";
    const SetupCommandLine result = checkSetupCommandLine(u"/allusers /install \"" + path + u"\"");
    EXPECT_EQ(result.rejection, Rejection::wordTooLong);
    EXPECT_TRUE(result.launcherPath.empty());
}

}  // namespace
}  // namespace varkel::setup
