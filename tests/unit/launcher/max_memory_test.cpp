#include <gtest/gtest.h>

#include "build_constants.h"
#include "max_memory.h"

using namespace varkel;

namespace {
const WideString kConfigPath = u"C:\\Varkel\\startup.conf";

WideString invalidMessage(const char16_t* value) {
    return u"Invalid value \"" + WideString(value) +
           u"\" for parameter \"MAX_MEMORY\" in file \"C:\\Varkel\\startup.conf\".\nPlease enter values like "
           u"\"800M\" or \"2G\".\nJava program won't be launched.";
}
WideString limitMessage(const char16_t* value) {
    return u"Invalid value \"" + WideString(value) +
           u"\" for \"MAX_MEMORY\" in \"C:\\Varkel\\startup.conf\":\nYou are trying to run Varkel in 32-bits mode "
           u"with \"MAX_MEMORY\" greater or equals to 2 GB, which is not allowed by Java 32-bits.\n\nPlease run "
           u"Varkel in 64-bits mode, or reduce value of \"MAX_MEMORY\".\n\nJava program won't be launched.";
}
}  // namespace

TEST(MaxMemory, ValidValuesAndThe32BitLimit) {
    struct Case {
        const char16_t* value;
        std::int32_t megabytes;
    };
    const Case cases[] = {
        {u"800M", 800}, {u"800m", 800}, {u"1G", 1000}, {u"1g", 1000}, {u"0M", 0}, {u"1999M", 1999},
        {u"2000M", 2000}, {u"2G", 2000}, {u"00000000000000000001M", 1},
        {u"99999999999999999999M", 2147483647},  // held at the top, never wrapped
        {u"3000000G", 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.value));
        StartupConfig config;
        config.maxMemory = WideString(c.value);
        std::optional<WideString> message = parseMaxMemory(config, kConfigPath);
        EXPECT_EQ(config.maxMemoryMegabytes, c.megabytes);
        if (kIs32BitBuild && c.megabytes >= 2000) {
            ASSERT_TRUE(message.has_value());
            EXPECT_EQ(*message, limitMessage(c.value));
        } else {
            EXPECT_FALSE(message.has_value());
        }
    }
}

TEST(MaxMemory, InvalidTexts) {
    for (const char16_t* value : {u"M", u"800", u"800MB", u"800K", u"800 M", u"+800M", u"-1G", u"1.5G", u"", u"G1",
                                  u"\u0661\u0662M"}) {
        SCOPED_TRACE(toUtf8(value));
        StartupConfig config;
        config.maxMemory = WideString(value);
        std::optional<WideString> message = parseMaxMemory(config, kConfigPath);
        ASSERT_TRUE(message.has_value());
        EXPECT_EQ(*message, invalidMessage(value));
    }
}
