// Hosting the Java program: the JNI conversation with the JVM, the exit code
// that mainVK's result becomes, and every failure on the way with its message
// and exit code.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "launcher_fixture.h"
#include "standin_jvm_protocol.h"

namespace launchertest {
namespace {

TEST(JavaProgram, TalksToTheJvmInOrderAndDestroysItAtTheEnd) {
    Installation installation;
    Launch launch = launchertest::launch(installation, L"first second");
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    const std::vector<std::wstring> expected{
        L"JNI_CreateJavaVM",
        L"FindClass com/orvane/varkel/Varkel",
        L"GetStaticMethodID com/orvane/varkel/Varkel mainVK ([Ljava/lang/String;)I",
        L"FindClass java/lang/String",
        L"NewObjectArray 2 java/lang/String -",
        L"NewString first",
        L"SetObjectArrayElement 0",
        L"NewString second",
        L"SetObjectArrayElement 1",
        L"CallStaticIntMethodV com/orvane/varkel/Varkel mainVK ([Ljava/lang/String;)I",
        L"ExceptionOccurred",
        L"DestroyJavaVM",
    };
    EXPECT_EQ(launch.record.calls(), expected);
    // The JVM is loaded from where it was found, with its "bin" folder as the
    // DLL directory, and runs in the launcher's own 64-bit process.
    EXPECT_EQ(launch.record.text(standin::kModule), installation.jvmPath());
    EXPECT_EQ(launch.record.text(standin::kDllDirectory), installation.javaHome() + L"\\bin");
    EXPECT_EQ(launch.record.text(standin::kProcess), L"64");
}

// mainVK's int, read back whole with GetExitCodeProcess (a Linux exit status
// would keep only its low byte).
TEST(JavaProgram, MainResultBecomesTheExitCode) {
    Installation installation;
    for (long result : {0L, 7L, 255L, 256L, -1L, -99L, static_cast<long>(INT_MAX), static_cast<long>(INT_MIN)}) {
        SCOPED_TRACE("mainVK returns " + std::to_string(result));
        StandinBehaviour behaviour;
        behaviour.mainResult = result;
        Launch launch = launchertest::launch(installation, {}, behaviour);
        EXPECT_EQ(launch.run.exitCode, static_cast<DWORD>(result));
        EXPECT_TRUE(launch.run.boxes.empty());
        EXPECT_EQ(launch.record.callNames().back(), L"DestroyJavaVM");
    }
}

struct FailureCase {
    const char* name;
    StandinBehaviour behaviour;
    DWORD exitCode;
    const wchar_t* message;  // {jvm}: the JVM library's path, {conf}: the startup.conf path
    std::vector<const wchar_t*> lastCalls;  // how the conversation ends
};

StandinBehaviour createResult(long result) {
    StandinBehaviour behaviour;
    behaviour.createResult = result;
    return behaviour;
}

StandinBehaviour missing(const wchar_t* what) {
    StandinBehaviour behaviour;
    behaviour.missing = what;
    return behaviour;
}

StandinBehaviour destroyResult(long result) {
    StandinBehaviour behaviour;
    behaviour.destroyResult = result;
    return behaviour;
}

TEST(JavaProgram, EachFailureHasItsMessageAndExitCode) {
    const FailureCase cases[] = {
        {"JVM rejects the JNI version", createResult(-3), 3,
         L"Unable to start Java program using \"{jvm}\".\n\nIt seems that your Java version is not 7 or later.\n"
         L"Please install Java 7 or later, or specify another Java path in\n\"{conf}\".\n\n"
         L"(\"JNI_CreateJavaVM\" returned [-3])",
         {L"JNI_CreateJavaVM"}},
        {"JVM out of memory", createResult(-4), 3,
         L"Unable to start Java program using \"{jvm}\":\n\"JNI_CreateJavaVM\" function returned [-4]: Not enough "
         L"memory\n\nPlease check that parameters are valid in file \"{conf}\" and that Java 7 (or later) is "
         L"properly installed.",
         {L"JNI_CreateJavaVM"}},
        {"JVM refuses the arguments", createResult(-6), 3,
         L"Unable to start Java program using \"{jvm}\":\n\"JNI_CreateJavaVM\" function returned [-6]: Invalid "
         L"arguments\n\nPlease check that parameters are valid in file \"{conf}\" and that Java 7 (or later) is "
         L"properly installed.",
         {L"JNI_CreateJavaVM"}},
        {"JVM fails with a code of its own", createResult(-42), 3,
         L"Unable to start Java program using \"{jvm}\":\n\"JNI_CreateJavaVM\" function returned [-42]: Unknown "
         L"error\n\nPlease check that parameters are valid in file \"{conf}\" and that Java 7 (or later) is "
         L"properly installed.",
         {L"JNI_CreateJavaVM"}},
        {"main class missing", missing(standin::kMissingClass), 2,
         L"Unable to find main class, please check that Varkel is installed properly.\n"
         L"(Class path issue? Varkel jar issue?).",
         {L"JNI_CreateJavaVM", L"FindClass"}},
        {"mainVK missing", missing(standin::kMissingMethod), 2,
         L"Unable to find main method, please check that Varkel is installed properly.",
         {L"FindClass", L"GetStaticMethodID"}},
        {"JVM cannot be destroyed", destroyResult(-1), 2, L"Unable to stop Java VM (DestroyJavaVM returned -1).",
         {L"ExceptionOccurred", L"DestroyJavaVM"}},
    };
    Installation installation;
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        Launch launch = launchertest::launch(installation, {}, c.behaviour);
        EXPECT_EQ(launch.run.exitCode, c.exitCode);
        ASSERT_EQ(launch.run.boxes.size(), 1u);
        expectErrorBox(launch.run.boxes[0],
                       fill(c.message, {{L"jvm", installation.jvmPath()}, {L"conf", installation.configPath()}}));
        // Nothing is called after the failure: the process ends there.
        std::vector<std::wstring> names = launch.record.callNames();
        ASSERT_GE(names.size(), c.lastCalls.size());
        EXPECT_EQ(std::vector<std::wstring>(names.end() - static_cast<long>(c.lastCalls.size()), names.end()),
                  std::vector<std::wstring>(c.lastCalls.begin(), c.lastCalls.end()));
    }
}

TEST(JavaProgram, LibraryWithoutTheEntryPointIsRefused) {
    Installation installation;
    wintest::copyFileOrFail(builtNoEntryPointDll(), installation.jvmPath());
    Launch launch = launchertest::launch(installation);
    EXPECT_EQ(launch.run.exitCode, 2u);
    ASSERT_EQ(launch.run.boxes.size(), 1u);
    expectErrorBox(launch.run.boxes[0],
                   L"Unable to load function \"JNI_CreateJavaVM\" from \"" + installation.jvmPath() +
                       L"\",\nplease check that Java 7 (or later) is installed.\n\n" +
                       systemErrorItem(ERROR_PROC_NOT_FOUND));
}

// The exception's text is shown as it stands: percent signs are no format,
// and letters beyond Latin-1 keep their UTF-16 form.
TEST(JavaProgram, ExceptionFromMainIsReportedWithItsText) {
    Installation installation;
    StandinBehaviour behaviour;
    behaviour.exception = L"java.lang.IllegalStateException: 100% done, %s %d %% %n \u041E\u0448\u0438\u0431\u043A\u0430";
    behaviour.mainResult = 3;
    Launch launch = launchertest::launch(installation, L"x", behaviour);
    EXPECT_EQ(launch.run.exitCode, 10u);
    ASSERT_EQ(launch.run.boxes.size(), 1u);
    expectErrorBox(launch.run.boxes[0], L"Error in main method:\n" + *behaviour.exception);
    const std::vector<std::wstring> tail{
        L"CallStaticIntMethodV com/orvane/varkel/Varkel mainVK ([Ljava/lang/String;)I",
        L"ExceptionOccurred",
        L"ExceptionDescribe",
        L"ExceptionClear",
        L"FindClass java/lang/Object",
        L"GetMethodID java/lang/Object toString ()Ljava/lang/String;",
        L"CallObjectMethodV java/lang/Object toString ()Ljava/lang/String; throwable",
        L"GetStringLength",
        L"GetStringChars",
    };
    std::vector<std::wstring> calls = launch.record.calls();
    auto at = std::find(calls.begin(), calls.end(), tail[0]);
    ASSERT_NE(at, calls.end());
    std::vector<std::wstring> after(at, calls.end());
    // ExceptionCheck after toString is allowed; the JVM is not destroyed.
    after.erase(std::remove(after.begin(), after.end(), L"ExceptionCheck"), after.end());
    EXPECT_EQ(after, tail);
}

}  // namespace
}  // namespace launchertest
