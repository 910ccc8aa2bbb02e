// SINGLE_INSTANCE=1: two real launchers of one installation on the stand-in
// JVM. A later launch either hands its working directory and arguments to the
// running instance's openVK and ends with 0 without a JVM of its own, or, on
// anything but success, starts its own JVM with the same arguments.
#include <gtest/gtest.h>

#include <windows.h>

#include "hand_over_request.h"
#include "launcher_fixture.h"
#include "standin_jvm_protocol.h"

namespace {

using launchertest::Installation;
using launchertest::StandinBehaviour;

constexpr const char* kSingleInstance = "SINGLE_INSTANCE=1\r\n";
// A blank, Cyrillic and Greek letters, a character outside the BMP.
const std::vector<std::wstring> kArguments = {L"C:\\Logs\\my app.log", L"D:\\\u0416\u0443\u0440\u043d\u0430\u043b\\\u03b4\u03bf\u03ba 1.log",
                                              L"\U0001F600.txt"};

std::wstring commandLineOf(const std::vector<std::wstring>& arguments) {
    std::wstring line;
    for (const std::wstring& argument : arguments) line += L"\"" + argument + L"\" ";
    return line;
}

// The folder a later launch is started in: another than the installation's.
std::wstring makeWorkingFolder(const Installation& installation) {
    std::wstring folder = installation / L"\u0440\u0430\u0431\u043e\u0447\u0430\u044f \u043f\u0430\u043f\u043a\u0430";
    wintest::makeDirectories(folder);
    return folder;
}

std::vector<std::wstring> openVkCall(const std::wstring& directory, const std::vector<std::wstring>& arguments) {
    std::vector<std::wstring> call{directory};
    call.insert(call.end(), arguments.begin(), arguments.end());
    return call;
}

struct HandOverCase {
    const char* name;
    bool singleInstance;          // the key in both installations
    const wchar_t* open;          // the first instance's openVK
    bool otherInstallation;       // the second launch belongs to another installation
    bool handedOver;              // expected: the first's openVK took it, the second made no JVM
    DWORD firstExit;
};

const HandOverCase kCases[] = {
    {"HandedOver", true, nullptr, false, true, 0},
    {"WithoutTheKeyEachStartsItsOwn", false, nullptr, false, false, 0},
    {"WithoutOpenVkItStartsItsOwn", true, standin::kOpenMissing, false, false, 0},
    {"ABlockingOpenVkIsGivenUp", true, standin::kOpenBlocks, false, false, 0},
    {"AThrowingOpenVkIsAFailure", true, standin::kOpenThrows, false, false, 0},
    {"TheFirstEndingDuringTheHandOver", true, standin::kOpenExits, false, false, standin::kOpenExitCode},
    {"AnotherInstallationIsNotHandedTo", true, nullptr, true, false, 0},
};

class HandOver : public ::testing::TestWithParam<HandOverCase> {};

TEST_P(HandOver, EndsInTheRunningInstanceOrStartsItsOwn) {
    const HandOverCase& c = GetParam();
    Installation first;
    Installation other;
    const Installation& second = c.otherInstallation ? other : first;
    for (const Installation* installation : {&first, &other}) installation->writeConfig(c.singleInstance ? kSingleInstance : "");
    StandinBehaviour firstBehaviour;
    firstBehaviour.open = c.open;
    wintest::RunOptions secondOptions;
    secondOptions.workingDirectory = makeWorkingFolder(second);

    launchertest::TwoLaunches runs =
        launchertest::launchWhileRunning(first, firstBehaviour, second, commandLineOf(kArguments), secondOptions);

    EXPECT_EQ(runs.second.run.exitCode, 0u);
    EXPECT_TRUE(runs.second.run.boxes.empty());
    EXPECT_EQ(runs.first.run.exitCode, c.firstExit);
    const auto delivered = runs.first.record.all(standin::kOpen);
    if (c.handedOver) {
        EXPECT_FALSE(runs.second.record.loaded()) << "the second launch created a JVM";
        EXPECT_EQ(delivered, std::vector<std::vector<std::wstring>>{openVkCall(secondOptions.workingDirectory, kArguments)});
        EXPECT_TRUE(runs.first.record.first(standin::kAttached)) << "openVK ran on a thread attached as a daemon";
        return;
    }
    ASSERT_TRUE(runs.second.record.arguments()) << "the second launch did not start its own JVM";
    EXPECT_EQ(*runs.second.record.arguments(), kArguments);
    if (!c.open) {
        EXPECT_TRUE(delivered.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(SingleInstance, HandOver, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HandOverCase>& param) { return param.param.name; });

// ---- A client that is not a launcher --------------------------------------------------------

std::string tokenUserSid() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<std::uint64_t> data(size / 8 + 1);
    GetTokenInformation(token, TokenUser, data.data(), size, &size);
    CloseHandle(token);
    PSID sid = reinterpret_cast<TOKEN_USER*>(data.data())->User.Sid;
    return std::string(static_cast<const char*>(sid), GetLengthSid(sid));
}

std::wstring pipeNameOf(const Installation& installation) {
    wchar_t full[MAX_PATH * 4];
    GetLongPathNameW(installation.dir().c_str(), full, MAX_PATH * 4);
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    std::u16string folder(reinterpret_cast<const char16_t*>(full));
    std::u16string name = varkel::handOverPipeName(folder, tokenUserSid(), session);
    return std::wstring(name.begin(), name.end());
}

// Sends bytes (and closes the write side by closing the pipe after reading,
// or at once when dropOut); returns the answer's bytes, empty when none came.
std::string sendRaw(const std::wstring& pipe, const std::string& bytes, bool dropOut = false) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 50 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        handle = CreateFileW(pipe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) WaitNamedPipeW(pipe.c_str(), 200);
    }
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "no pipe " << wintest::utf8(pipe) << ", error " << GetLastError();
    if (handle == INVALID_HANDLE_VALUE) return {};
    DWORD done = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    std::string answer(varkel::kHandOverAnswerBytes, '\0');
    DWORD got = 0;
    if (dropOut || !ReadFile(handle, answer.data(), static_cast<DWORD>(answer.size()), &got, nullptr)) got = 0;
    CloseHandle(handle);
    answer.resize(got);
    return answer;
}

TEST(SingleInstance, MalformedOversizedAndBrokenRequestsLeaveTheServerServing) {
    Installation installation;
    installation.writeConfig(kSingleInstance);
    const std::string refused = varkel::encodeHandOverAnswer(varkel::HandOverStatus::refused);
    std::string oversized = *varkel::encodeHandOverRequest({u"C:\\", {u"x"}});
    oversized[8] = oversized[9] = oversized[10] = oversized[11] = '\x7F';  // a payload far beyond the limit
    const std::string good = *varkel::encodeHandOverRequest({u"C:\\", {u"b"}});
    std::vector<std::string> answers;
    const auto client = [&] {
        const std::wstring pipe = pipeNameOf(installation);
        answers.push_back(sendRaw(pipe, "garbage, no header at all"));
        answers.push_back(sendRaw(pipe, oversized));
        sendRaw(pipe, good.substr(0, good.size() / 2), true);  // gone half-way
        sendRaw(pipe, "", true);                              // connects, says nothing, goes
    };

    launchertest::TwoLaunches runs =
        launchertest::launchWhileRunning(installation, {}, installation, commandLineOf(kArguments), {}, client);

    EXPECT_EQ(answers, (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(runs.second.run.exitCode, 0u);
    EXPECT_FALSE(runs.second.record.loaded()) << "the good hand-over after the bad ones failed";
    ASSERT_EQ(runs.first.record.all(standin::kOpen).size(), 1u);
    EXPECT_EQ(runs.first.run.exitCode, 0u);
}

}  // namespace
