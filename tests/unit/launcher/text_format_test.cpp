#include <gtest/gtest.h>

#include "build_constants.h"
#include "format.h"
#include "text.h"

using namespace varkel;

TEST(ToNarrow, KeepsLatin1BytesAndEmptiesWiderText) {
    EXPECT_EQ(toNarrow(u"abc"), "abc");
    EXPECT_EQ(toNarrow(u"caf\u00e9\u00ff"), "caf\xe9\xff");
    EXPECT_EQ(toNarrow(u"caf\u00e9 \u0416"), "");  // one character above U+00FF empties it all
    EXPECT_FALSE(toNarrowIfLatin1(u"\u0100").has_value());
}

TEST(TextHelpers, SuffixesTrimsAndDuplicates) {
    EXPECT_TRUE(endsWith(u"C:\\jdk\\bin", u"\\bin"));
    EXPECT_FALSE(endsWith(u"C:\\jdk\\BIN", u"\\bin"));
    EXPECT_TRUE(endsWithIgnoreCase(u"A.JAR", u".jar"));
    EXPECT_FALSE(endsWith(u"ar", u".jar"));
    EXPECT_EQ(skipLeadingSpaces(u"  \t# x"), u"\t# x");
    EXPECT_EQ(trimSpaces(u" \t\r\n\v\fa b\n "), u"a b");
    std::vector<WideString> list{u"a", u"b", u"a", u"A", u"b", u"c", u"a"};
    EXPECT_EQ(removeDuplicates(list), 4u);
    EXPECT_EQ(list, (std::vector<WideString>{u"a", u"b", u"A", u"c"}));
}

TEST(RemoveFileSpec, DropsLastComponentKeepingRoots) {
    struct Case { const char16_t* in; const char16_t* out; };
    for (const Case& c : {Case{u"C:\\jdk\\bin\\server\\jvm.dll", u"C:\\jdk\\bin\\server"}, Case{u"C:\\jvm.dll", u"C:\\"},
                          Case{u"jvm.dll", u""}, Case{u"\\jvm.dll", u"\\"}})
        EXPECT_EQ(removeFileSpec(c.in), c.out) << toUtf8(c.in);
}

TEST(FormatMessage, FillsConversionsWholeAndLiterally) {
    EXPECT_EQ(formatMessage(u"Error %d: \"%s\"", {-2147024891, u"x%sy"}), u"Error -2147024891: \"x%sy\"");
    EXPECT_EQ(formatMessage(u"%d%%", {std::int32_t{-2147483647 - 1}}), u"-2147483648%");
    WideString pointer = formatMessage(u"(error %p)", {FormatArg::pointer(kInvalidHandleValue)});
    EXPECT_EQ(pointer, kProcessBits == 32 ? u"(error FFFFFFFF)" : u"(error FFFFFFFFFFFFFFFF)");
    WideString longText(100000, u'x');
    EXPECT_EQ(formatMessage(u"[%s]", {longText}).size(), longText.size() + 2);  // never cut
    EXPECT_EQ(formatMessage(u"%s %s", {u"only"}), u"only %s");  // a missing argument stays visible
}
