#include "command_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using varkel::quellis::copyBounded;
using varkel::quellis::verbEquals;

TEST(VerbEquals, IgnoresTheCaseOfAsciiLettersOnly) {
    const struct {
        const char* given;
        bool matches;
    } cases[] = {
        {"owvarkel", true}, {"OWVARKEL", true},  {"OwVaRkEl", true},  {"owvarke", false},
        {"owvarkelx", false}, {"", false},      {"open", false},     {"owvarkel ", false},
        {" owvarkel", false}, {"0wvarkel", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(verbEquals(c.given, "owvarkel"), c.matches);
        std::u16string wide(c.given, c.given + std::char_traits<char>::length(c.given));
        EXPECT_EQ(verbEquals(wide.c_str(), u"owvarkel"), c.matches);
    }
    EXPECT_FALSE(verbEquals(static_cast<const char*>(nullptr), "owvarkel"));
    EXPECT_FALSE(verbEquals(static_cast<const char16_t*>(nullptr), u"owvarkel"));
    // The Kelvin sign folds to "k" under Unicode rules, not under the C locale's.
    EXPECT_FALSE(verbEquals(u"owvar\u212Ael", u"owvarkel"));
    // Letters next to the A-Z range must not fold ('@' + 32 is '`').
    EXPECT_FALSE(verbEquals("@", "`"));
    EXPECT_FALSE(verbEquals("[", "{"));
}

TEST(CopyBounded, NeverWritesPastTheCapacity) {
    const std::string_view text = "owvarkel";
    const struct {
        std::size_t capacity;
        std::size_t copied;
        std::string expected;
    } cases[] = {
        {1, 0, ""}, {2, 1, "o"}, {8, 7, "owvarke"}, {9, 8, "owvarkel"}, {30, 8, "owvarkel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacity);
        char buffer[32];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        EXPECT_EQ(copyBounded(buffer, c.capacity, text), c.copied);
        EXPECT_EQ(std::string(buffer), c.expected);
        for (std::size_t i = c.capacity; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], '#') << "wrote at " << i;
    }

    char16_t untouched[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(copyBounded(untouched, 0, std::u16string_view(u"help")), 0u);
    EXPECT_EQ(untouched[0], u'#');
    EXPECT_EQ(copyBounded(static_cast<char16_t*>(nullptr), 10, std::u16string_view(u"help")), 0u);
}

}  // namespace
