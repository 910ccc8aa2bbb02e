#include <gtest/gtest.h>

#include "command_line.h"

using namespace varkel;

TEST(SplitArguments, BlanksAndQuotes) {
    struct Case {
        const char16_t* text;
        std::vector<WideString> tokens;
    };
    const Case cases[] = {
        {u"", {}},
        {u"   ", {}},
        {u"a b", {u"a", u"b"}},
        {u"  a   b  ", {u"a", u"b"}},
        {u"\"a b\"", {u"a b"}},
        {u"a\"b c\"d", {u"ab cd"}},
        {u"\"\"", {}},
        {u"a\"\"b", {u"ab"}},
        {u"x \"  y\"", {u"x", u"  y"}},          // quoted blanks open a token
        {u"\"unclosed quote", {u"unclosed quote"}},
        {u"a\tb", {u"a\tb"}},                   // tabs do not separate
        {u"C:\\Logs\\my\\ \\\\x", {u"C:\\Logs\\my\\", u"\\\\x"}},  // backslash is plain text
        {u"\"C:\\Logs\\my app.log\" next", {u"C:\\Logs\\my app.log", u"next"}},
        {u"-Dp=\"a b\" -Xss2m", {u"-Dp=a b", u"-Xss2m"}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitArguments(c.text), c.tokens) << toUtf8(c.text);
}

TEST(SplitArguments, HasNoLimitsOnCountOrLength) {
    WideString many;
    for (int i = 0; i < 5000; ++i) many += u"arg" + widenAscii(std::to_string(i)) + u" ";
    TokenList tokens = splitArguments(many);
    ASSERT_EQ(tokens.size(), 5000u);
    EXPECT_EQ(tokens[4999], u"arg4999");
    WideString longToken(20000, u'z');
    EXPECT_EQ(splitArguments(u"a " + longToken + u" b")[1].size(), 20000u);
}

TEST(ParseCommandLine, LauncherOptionsAndJavaArguments) {
    struct Case {
        const char16_t* line;
        std::optional<WideString> configName;
        std::int32_t console;
        std::vector<WideString> javaArgs;
    };
    const Case cases[] = {
        {u"", std::nullopt, 0, {}},
        {u"--conf=other.conf", u"other.conf", 0, {}},
        {u"--conf=a.conf x --conf=b.conf", u"b.conf", 0, {u"x"}},
        {u"--conf=a=b", u"a=b", 0, {}},
        {u"\"--conf=my settings.conf\"", u"my settings.conf", 0, {}},
        {u"--conf=\"my settings.conf\"", u"my settings.conf", 0, {}},
        {u"--conf=", std::nullopt, 0, {u"--conf="}},
        {u"--CONF=x --Console", std::nullopt, 0, {u"--CONF=x", u"--Console"}},
        {u"--console file.log", std::nullopt, 1, {u"--console", u"file.log"}},
        {u"--help", std::nullopt, 1, {u"--help"}},
        {u"\"C:\\Logs\\caf\u00e9 \u0436\u0443\u0440\u043d\u0430\u043b.log\"", std::nullopt, 0,
         {u"C:\\Logs\\caf\u00e9 \u0436\u0443\u0440\u043d\u0430\u043b.log"}},  // UTF-16 kept whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.line));
        LaunchContext ctx;
        EXPECT_EQ(parseCommandLine(ctx, c.line), c.javaArgs.size());
        EXPECT_EQ(ctx.startupConfigName, c.configName);
        EXPECT_EQ(ctx.consoleRequested, c.console);
        EXPECT_EQ(ctx.javaArgs, c.javaArgs);
    }
}
