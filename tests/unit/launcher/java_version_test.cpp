#include <gtest/gtest.h>

#include "java_version.h"
#include "launcher_fixture.h"

namespace {

using varkel::JavaVersion;
using varkel::parseJavaVersion;

const JavaVersion& parsed(const std::optional<JavaVersion>& version) {
    static const JavaVersion kNone;
    return version ? *version : kNone;
}

struct OrderCase {
    const char16_t* older;
    const char16_t* newer;  // equal to `older` when `same`
    bool same;
};

// Each pair compares both ways.
const OrderCase kOrders[] = {
    {u"1.8.0_392", u"11", false},
    {u"11", u"11", true},
    {u"11", u"11.0.2", false},
    {u"17", u"17.0.1", false},
    {u"17", u"17.0.0", true},           // trailing zero parts are no part of a version
    {u"8", u"1.8", true},               // "1.x" is Java x
    {u"1.8", u"1.8.0_392", false},
    {u"1.8.0_92", u"1.8.0_392", false},  // numbers, not text
    {u"1.7.0_80", u"8", false},
    {u"1.8.0_392", u"9", false},
    {u"21-ea", u"21", true},            // a pre-release or build suffix is not compared
    {u"21-ea", u"21.0.1", false},
    {u"17.0.9+9", u"17.0.9", true},
    {u"17.0.9", u"17.0.10", false},
    {u"010", u"10", true},
    {u"99999999999999999999", u"100000000000000000000", false},  // numbers of any length
};

TEST(JavaVersion, ComparesPartByPartAsNumbers) {
    for (const OrderCase& c : kOrders) {
        SCOPED_TRACE(utf8(c.older) + " / " + utf8(c.newer));
        auto older = parseJavaVersion(c.older);
        auto newer = parseJavaVersion(c.newer);
        ASSERT_TRUE(older && newer);
        EXPECT_EQ(older->text, c.older);
        const int expected = c.same ? 0 : -1;
        EXPECT_EQ(varkel::compareJavaVersions(*older, *newer), expected);
        EXPECT_EQ(varkel::compareJavaVersions(*newer, *older), -expected);
    }
}

TEST(JavaVersion, MalformedTextsAreNoVersion) {
    for (const char16_t* text : {u"", u"abc", u"v11", u"11.", u".11", u"1..8", u"11 LTS", u" 11", u"-11", u"+11",
                                 u"21-", u"21-ea!", u"1,8", u"11_", u"11.0.2\n", u"\uFF11\uFF11", u"17.0.9+"}) {
        SCOPED_TRACE(utf8(text));
        EXPECT_FALSE(parseJavaVersion(text).has_value());
    }
}

TEST(JavaVersion, ReleaseFileLine) {
    struct Case {
        const char* file;
        const char16_t* version;  // null: none
    } cases[] = {
        {"IMPLEMENTOR=\"Eclipse Adoptium\"\nJAVA_VERSION=\"17.0.9\"\nJAVA_VERSION_DATE=\"2023-10-17\"\n", u"17.0.9"},
        {"JAVA_VERSION=\"1.8.0_392\"\r\nOS_NAME=\"Windows\"\r\n", u"1.8.0_392"},
        {"JAVA_VERSION=21", u"21"},
        {"JAVA_VERSION=\"21-ea\"\n", u"21-ea"},
        {"JAVA_VERSION_DATE=\"2023-10-17\"\n", nullptr},
        {"JAVA_VERSION=\"\"\n", nullptr},
        {"JAVA_VERSION=\"seventeen\"\n", nullptr},
        {"#JAVA_VERSION=\"11\"\n", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto version = varkel::releaseFileJavaVersion(c.file);
        EXPECT_EQ(version.has_value(), c.version != nullptr);
        if (c.version) {
            EXPECT_EQ(parsed(version).text, c.version);
        }
    }
}

TEST(JavaVersion, ProductVersionOfAJvmLibrary) {
    struct Case {
        std::array<std::uint16_t, 4> parts;
        const char16_t* version;  // null: none
    } cases[] = {
        {{17, 0, 9, 0}, u"17.0.9"},
        {{21, 0, 0, 0}, u"21"},
        {{17, 0, 9, 1}, u"17.0.9.1"},
        {{8, 0, 3920, 8}, u"1.8"},  // Java 8's update is counted in a form of its own: the release alone
        {{0, 0, 0, 0}, nullptr},
    };
    for (const Case& c : cases) {
        auto version = varkel::productVersionJavaVersion(c.parts);
        EXPECT_EQ(version.has_value(), c.version != nullptr);
        if (c.version) {
            EXPECT_EQ(parsed(version).text, c.version);
        }
    }
}

}  // namespace
