// SINGLE_INSTANCE=1 natively: the request's form and limits, the pipe's name,
// and the launch sequence's hand-over and serving against the fake platform
// and the fake JVM (the deliveries to openVK are shown on the real JVM, in
// tests/jvm).
#include "hand_over_request.h"
#include "launcher_fixture.h"
#include "single_instance.h"

using namespace varkel;
using fake::ProcessEnded;

namespace {

HandOverRequest longSelection(std::size_t count, std::size_t length) {
    HandOverRequest request{u"C:\\Users\\someone", {}};
    for (std::size_t i = 0; i < count; ++i) request.arguments.emplace_back(length, static_cast<char16_t>(u'a' + i % 26));
    return request;
}

bool operator==(const HandOverRequest& a, const HandOverRequest& b) {
    return a.workingDirectory == b.workingDirectory && a.arguments == b.arguments;
}

void setNumber(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST(HandOverRequestCodec, WhatFitsTheLimitsComesBackExactly) {
    const HandOverRequest fits[] = {
        {u"", {}},
        {u"D:\\\u0436\u0443\u0440\u043d\u0430\u043b", {u"a b.log", u"", u"\U0001F600", std::u16string(1, u'\xD800')}},
        longSelection(10000, 4000),
        longSelection(1, kHandOverMaxTextUnits),
    };
    for (const HandOverRequest& request : fits) {
        std::optional<std::string> bytes = encodeHandOverRequest(request);
        ASSERT_TRUE(bytes) << request.arguments.size() << " arguments";
        std::optional<HandOverRequest> decoded = decodeHandOverRequest(*bytes);
        ASSERT_TRUE(decoded);
        EXPECT_TRUE(*decoded == request);
    }
    EXPECT_FALSE(encodeHandOverRequest(longSelection(kHandOverMaxArguments + 1, 1)));
    EXPECT_FALSE(encodeHandOverRequest(longSelection(1, kHandOverMaxTextUnits + 1)));
    EXPECT_FALSE(encodeHandOverRequest(longSelection(10000, 7000))) << "beyond the payload limit";
}

TEST(HandOverRequestCodec, AnyMalformedRequestIsRefused) {
    const std::string good = *encodeHandOverRequest({u"C:\\", {u"ab", u"c"}});
    // Payload: directory length 3 at 12, its units at 16, count at 22, "ab" at 26.
    struct Mutation {
        const char* what;
        std::string bytes;
    };
    std::vector<Mutation> mutations = {
        {"empty", ""},
        {"the header cut", good.substr(0, 11)},
        {"the payload cut", good.substr(0, good.size() - 1)},
        {"a byte too many", good + "x"},
        {"another magic", "VKHX" + good.substr(4)},
    };
    const auto mutated = [&](const char* what, std::size_t at, std::uint32_t value) {
        std::string bytes = good;
        setNumber(bytes, at, value);
        mutations.push_back({what, bytes});
    };
    mutated("version 2", 4, 2);
    mutated("a size beyond the limit", 8, kHandOverMaxPayloadBytes + 1);
    mutated("a size that disagrees", 8, static_cast<std::uint32_t>(good.size() - 12 + 2));
    mutated("a directory longer than the payload", 12, 1000);
    mutated("a text beyond the limit", 12, kHandOverMaxTextUnits + 1);
    mutated("more arguments than the payload holds", 22, 3);
    mutated("a count beyond the limit", 22, kHandOverMaxArguments + 1);
    std::string withNul = good;
    withNul[16] = withNul[17] = '\0';
    mutations.push_back({"a NUL inside a text", withNul});
    for (const Mutation& m : mutations) EXPECT_FALSE(decodeHandOverRequest(m.bytes)) << m.what;
    EXPECT_EQ(handOverPayloadSize(good), good.size() - kHandOverHeaderBytes);
}

TEST(HandOverRequestCodec, AnswersOfKnownStatusOnly) {
    for (HandOverStatus status : {HandOverStatus::delivered, HandOverStatus::refused, HandOverStatus::failed})
        EXPECT_EQ(decodeHandOverAnswer(encodeHandOverAnswer(status)), status);
    std::string unknown = encodeHandOverAnswer(HandOverStatus::failed);
    unknown[4] = 7;
    for (const std::string& bad : {unknown, std::string("VKHA"), std::string("VKHO") + std::string(4, '\0'),
                                   encodeHandOverAnswer(HandOverStatus::delivered) + "x"})
        EXPECT_FALSE(decodeHandOverAnswer(bad));
}

TEST(HandOverPipeName, OneInstallationUserAndSessionOneName) {
    const std::string sid = {'\x01', '\x05', 0, 0, 0, 0, 0, '\x05', '\x15', 0, 0, 0};  // S-1-5-21
    const WideString name = handOverPipeName(u"C:\\Program Files\\Varkel", sid, 1);
    EXPECT_EQ(name.substr(0, 16), u"\\\\.\\pipe\\Varkel-");
    EXPECT_EQ(name.size(), 32u);
    EXPECT_EQ(handOverPipeName(u"c:\\PROGRAM FILES\\varkel\\", sid, 1), name);
    EXPECT_NE(handOverPipeName(u"C:\\Program Files\\Varkel2", sid, 1), name);
    EXPECT_NE(handOverPipeName(u"C:\\Program Files\\Varkel", sid + "\x01", 1), name);
    EXPECT_NE(handOverPipeName(u"C:\\Program Files\\Varkel", sid, 2), name);
    EXPECT_EQ(handOverPipeName(WideString(5000, u'x'), sid, 1).size(), 32u);
}

// ---- The launch sequence --------------------------------------------------------------

class SingleInstanceLaunch : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        writeConfig("SINGLE_INSTANCE=1\n");
    }
    void runningInstanceAnswers(HandOverStatus status) {
        machine().runningInstance = [status](const WideString&, const std::string&) {
            return std::optional<std::string>(encodeHandOverAnswer(status));
        };
    }
};

TEST_F(SingleInstanceLaunch, ADeliveredHandOverEndsWithZeroBeforeAnyJavaIsLookedFor) {
    const WideString list = u"C:\\Users\\someone\\AppData\\Local\\Temp\\Varkel-selection-1-2.txt";
    machine().files[list] = "C:\\a.log\nC:\\b c.log\n";
    runningInstanceAnswers(HandOverStatus::delivered);
    ProcessEnded end = launch(u"x \"--file-list=" + list + u"\"");
    EXPECT_EQ(end.code, 0u);
    EXPECT_EQ(end.how, ProcessEnded::How::exitProcess);
    EXPECT_TRUE(machine().loadAttempts.empty());
    EXPECT_FALSE(jvm().created);
    ASSERT_EQ(machine().exchanges.size(), 1u);
    EXPECT_EQ(machine().exchanges[0].first, handOverPipeName(u"C:\\Varkel", "S-1-5-21-fake", 1));
    EXPECT_TRUE(*decodeHandOverRequest(machine().exchanges[0].second) ==
                (HandOverRequest{u"C:\\Users\\someone", {u"x", u"C:\\a.log", u"C:\\b c.log"}}));
    EXPECT_EQ(machine().files.count(list), 0u) << "the extension's list is deleted";
}

TEST_F(SingleInstanceLaunch, AnythingButDeliveredStartsItsOwnJvmThatServes) {
    for (bool answered : {false, true}) {
        SetUp();
        if (answered) runningInstanceAnswers(HandOverStatus::failed);
        launch(u"a.log");
        EXPECT_EQ(machine().exchanges.size(), 1u);
        EXPECT_EQ(jvm().arguments, std::vector<std::u16string>{u"a.log"});
        EXPECT_EQ(machine().servedPipe, machine().exchanges[0].first);
    }
}

TEST_F(SingleInstanceLaunch, WhoNeitherHandsOverNorServes) {
    struct Case {
        const char* what;
        std::string config;
        std::u16string commandLine;
        bool missingOpenMethod;
        bool exchanges, serves;
    };
    const Case cases[] = {
        {"without the key", "", u"a.log", false, false, false},
        {"the key with another value", "SINGLE_INSTANCE=yes\n", u"a.log", false, false, false},
        {"a console asked for serves only", "SINGLE_INSTANCE=1\n", u"--console a.log", false, false, true},
        {"help likewise", "SINGLE_INSTANCE=1\n", u"--help", false, false, true},
        {"a program without openVK", "SINGLE_INSTANCE=1\n", u"a.log", true, true, false},
    };
    for (const Case& c : cases) {
        SetUp();
        writeConfig(c.config);
        jvmBehaviour().missingOpenMethod = c.missingOpenMethod;
        machine().consoleInputs.push_back({true, true, 13});
        launch(c.commandLine);
        EXPECT_EQ(machine().exchanges.empty(), !c.exchanges) << c.what;
        EXPECT_EQ(machine().servedPipe.has_value(), c.serves) << c.what;
        EXPECT_TRUE(jvm().created) << c.what;
        const auto& calls = jvm().calls;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "CallStaticIntMethod with an exception pending"), 0) << c.what;
        if (c.config.empty()) {
            EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                    [](const std::string& call) { return call.find("openVK") != std::string::npos; }),
                      0);
        }
    }
}

}  // namespace
