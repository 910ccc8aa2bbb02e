#include "launch_parameters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using varkel::quellis::buildParameterString;
using varkel::quellis::launchFailureText;

TEST(BuildParameterString, QuotesEveryPathAndFollowsEachWithOneBlank) {
    const struct {
        const char* name;
        std::vector<std::u16string> paths;
        std::u16string expected;
    } cases[] = {
        {"no file", {}, u""},
        {"one file", {u"C:\\a.log"}, u"\"C:\\a.log\" "},
        {"three files", {u"C:\\a.log", u"D:\\b.log", u"E:\\c.log"}, u"\"C:\\a.log\" \"D:\\b.log\" \"E:\\c.log\" "},
        {"blanks stay inside their quotes", {u"C:\\my logs\\a b.log"}, u"\"C:\\my logs\\a b.log\" "},
        {"non-ASCII text is kept as it is",
         {u"C:\\\u0436\u0443\u0440\u043D\u0430\u043B\\\u65E5\u672C.log"},
         u"\"C:\\\u0436\u0443\u0440\u043D\u0430\u043B\\\u65E5\u672C.log\" "},
        {"an empty path still stands as its own argument", {u"", u"x"}, u"\"\" \"x\" "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(buildParameterString(c.paths), c.expected);
    }
}

TEST(BuildParameterString, LongPathsArePassedWhole) {
    std::u16string longPath = u"C:\\" + std::u16string(40000, u'p') + u".log";
    std::u16string parameters = buildParameterString({longPath, u"C:\\b.log"});
    EXPECT_EQ(parameters, u"\"" + longPath + u"\" \"C:\\b.log\" ");
}

TEST(LaunchFailureText, NamesTheCommandAndTheCode) {
    const struct {
        std::u16string command;
        std::int32_t code;
        std::u16string expected;
    } cases[] = {
        {u"C:\\Varkel\\Varkel.exe", 2,
         u"ERROR: Unable to start Varkel using command \"C:\\Varkel\\Varkel.exe\".\nPlease check your Varkel "
         u"installation and Java installation.\n\nError code: [2]"},
        {u"", 0,
         u"ERROR: Unable to start Varkel using command \"\".\nPlease check your Varkel installation and Java "
         u"installation.\n\nError code: [0]"},
        {u"x", -2147483647 - 1,
         u"ERROR: Unable to start Varkel using command \"x\".\nPlease check your Varkel installation and Java "
         u"installation.\n\nError code: [-2147483648]"},
        {u"x", 32,
         u"ERROR: Unable to start Varkel using command \"x\".\nPlease check your Varkel installation and Java "
         u"installation.\n\nError code: [32]"},
    };
    for (const auto& c : cases) EXPECT_EQ(launchFailureText(c.command, c.code), c.expected);
}

TEST(LaunchFailureText, IsCutToTheMessageBuffer) {
    std::u16string command(2000, u'c');
    std::u16string text = launchFailureText(command, 2);
    ASSERT_EQ(text.size(), varkel::quellis::kLaunchFailureTextLimit - 1);
    EXPECT_EQ(text, (u"ERROR: Unable to start Varkel using command \"" + command).substr(0, 1023));

    // One character below the limit fits whole.
    std::u16string fitting = launchFailureText(u"", 2);
    std::u16string command2(1023 - fitting.size(), u'c');
    std::u16string full = launchFailureText(command2, 2);
    EXPECT_EQ(full.size(), 1023u);
    EXPECT_EQ(full.substr(full.size() - 3), u"[2]");
}

}  // namespace

namespace {

// The launcher's path in quotes, a blank, the parameters and the terminator
// fill at most 32,767 characters.
TEST(FitsOnCommandLine, UpToTheLimitWithItsTerminator) {
    const std::u16string launcher = u"C:\\Program Files\\Varkel\\Varkel.exe";
    const std::size_t room = varkel::quellis::kCommandLineLimit - 1 - (launcher.size() + 3);
    EXPECT_TRUE(varkel::quellis::fitsOnCommandLine(launcher, std::u16string(room, u'p')));
    EXPECT_FALSE(varkel::quellis::fitsOnCommandLine(launcher, std::u16string(room + 1, u'p')));
}

TEST(SelectionList, UTF8LinesWithCrLfAndTheOptionThatNamesIt) {
    const struct {
        const char* name;
        std::vector<std::u16string> paths;
        std::string bytes;
    } cases[] = {
        {"no path", {}, ""},
        {"ASCII with blanks", {u"C:\\my logs\\a.log", u"D:\\b.log"}, "C:\\my logs\\a.log\r\nD:\\b.log\r\n"},
        {"two-, three- and four-byte forms", {u"\u00E4\u65E5\U0001F600"}, "\xC3\xA4\xE6\x97\xA5\xF0\x9F\x98\x80\r\n"},
        {"a lone surrogate keeps its code point", {u"x\xDC00"}, "x\xED\xB0\x80\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(varkel::quellis::selectionListText(c.paths), c.bytes);
    }
    EXPECT_EQ(varkel::quellis::selectionListName(12, 18446744073709551615u, 0), u"Varkel-selection-12-18446744073709551615-0.txt");
    EXPECT_EQ(varkel::quellis::fileListParameter(u"C:\\Temp\\Varkel-selection-1.txt"),
              u"\"--file-list=C:\\Temp\\Varkel-selection-1.txt\" ");
    EXPECT_EQ(varkel::quellis::selectionListFailureText(u"C:\\Temp\\x.txt", u"Access denied.", 5),
              u"ERROR: Unable to write the list of selected files to \"C:\\Temp\\x.txt\":\nAccess denied.\nVarkel was "
              u"not started.\n\nError code: [5]");
}

}  // namespace
