#include "launch_parameters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using quellis::buildParameterString;
using quellis::launchFailureText;

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
    ASSERT_EQ(text.size(), quellis::kLaunchFailureTextLimit - 1);
    EXPECT_EQ(text, (u"ERROR: Unable to start Varkel using command \"" + command).substr(0, 1023));

    // One character below the limit fits whole.
    std::u16string fitting = launchFailureText(u"", 2);
    std::u16string command2(1023 - fitting.size(), u'c');
    std::u16string full = launchFailureText(command2, 2);
    EXPECT_EQ(full.size(), 1023u);
    EXPECT_EQ(full.substr(full.size() - 3), u"[2]");
}

}  // namespace
