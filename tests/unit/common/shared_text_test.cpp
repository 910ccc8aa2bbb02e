// The shared layer's cutting rule and the formatter's one named difference
// between the deliverables.
#include <gtest/gtest.h>

#include "format.h"
#include "text.h"

namespace varkel {
namespace {

TEST(HeadWithin, CutsAtTheLimitButNeverInsideASurrogatePair) {
    const WideString pair = u"\U0001F600";  // D83D DE00
    struct Case {
        WideString text;
        std::size_t limit;
        WideString expected;
    };
    const Case cases[] = {
        {u"abc", 5, u"abc"},                  // fits
        {u"abc", 3, u"abc"},                  // exactly
        {u"abcd", 3, u"abc"},                 // cut
        {u"ab" + pair, 3, u"ab"},             // the cut would keep the pair's first half only
        {u"ab" + pair, 4, u"ab" + pair},      // the whole pair fits
        {u"a" + pair + u"x", 3, u"a" + pair},  // cut after the pair
        {pair, 1, u""},
        {u"x", 0, u""},
    };
    for (const Case& c : cases) EXPECT_EQ(WideString(headWithin(c.text, c.limit)), c.expected) << c.limit;
}

TEST(FormatMessage, AMissingArgumentIsKeptOrLeftEmptyAsTheCallerSays) {
    EXPECT_EQ(formatMessage(u"%s|%s|%d", {u"a"}), u"a|%s|%d");
    EXPECT_EQ(formatMessage(u"%s|%s|%d", {u"a"}, MissingArgument::writeNothing), u"a||");
    EXPECT_EQ(decimalText(-2147483647 - 1), u"-2147483648");
}

}  // namespace
}  // namespace varkel
