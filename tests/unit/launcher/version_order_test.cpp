#include <gtest/gtest.h>

#include "launcher_fixture.h"
#include "version_order.h"

namespace {

struct OrderCase {
    const char* what;
    std::vector<std::u16string> names;  // expected order, highest first
};

// Each list is given reversed and must come back in this order.
const OrderCase kOrders[] = {
    {"numbers compare as numbers, part by part", {u"17.0.12.7", u"17.0.9", u"17.0.2"}},
    {"a longer number is a higher one", {u"21", u"17", u"9", u"1.8"}},
    {"an update after an underscore", {u"1.8.0_402", u"1.8.0_92", u"1.8.0_1"}},
    {"a further part makes a version higher", {u"17.0.1", u"17.0", u"17"}},
    {"leading zeros count for nothing", {u"17.0.10", u"17.0.09"}},
    {"numbers of any length", {u"1" + std::u16string(120, u'0'), u"99999999999999999999", u"17"}},
    {"a product prefix, then its version", {u"zulu-21", u"zulu-17", u"zulu-8"}},
    {"\"+\" and \"-\" separate parts too", {u"jdk-17.0.9+11", u"jdk-17.0.9+9", u"jdk-17.0.8-1"}},
    {"names that are no version come last, by name",
     {u"17", u"latest", u"Old", u"x17-ea", u"x17.", u"zz"}},
    {"255 characters", {std::u16string(255, u'9'), std::u16string(254, u'9'), std::u16string(255, u'v')}},
};

TEST(VersionOrder, HighestVersionFirst) {
    for (const OrderCase& c : kOrders) {
        SCOPED_TRACE(c.what);
        std::vector<std::u16string> names(c.names.rbegin(), c.names.rend());
        varkel::sortHighestVersionFirst(names);
        EXPECT_EQ(names, c.names);
    }
}

}  // namespace
