// The 32-bit launcher with a 32-bit JVM: the whole JNI conversation goes
// through __stdcall function tables, as with a real 32-bit Java runtime, and
// the Java program finds what the launcher's manifest declares. One run,
// since every 32-bit process start takes about a minute here.
#include <gtest/gtest.h>

#include "launcher_fixture.h"
#include "standin_jvm_protocol.h"

namespace launchertest {
namespace {

TEST(Jvm32, RunsTheJavaProgramAndEndsWithItsResult) {
    Installation installation(L"Varkel.exe");
    // The Java home gets the 32-bit stand-in instead of the 64-bit one.
    wintest::copyFileOrFail(builtStandinJvmOtherBits(), installation.jvmPath());
    // Just below the 32-bit build's 2 GB refusal.
    installation.writeConfig("MAX_MEMORY=1999M\n");
    StandinBehaviour behaviour;
    behaviour.mainResult = -5;
    behaviour.probeManifest = true;
    wintest::RunOptions options;
    options.timeoutMs = 5 * 60 * 1000;
    Launch launch = launchertest::launch(installation, L"caf\u00E9 \"\u0416\u0443\u043A 2.log\"", behaviour, options);
    EXPECT_EQ(launch.run.exitCode, static_cast<DWORD>(-5));
    EXPECT_TRUE(launch.run.boxes.empty());
    EXPECT_EQ(launch.record.text(standin::kProcess), L"32");
    const std::vector<std::string> options32{
        "-Djava.class.path=classes;parsers\\classes;managers\\classes;jar\\varkel.jar;", "-Xmx1999M", "",
        "-Djava.library.path=lib"};
    EXPECT_EQ(launch.record.options(), options32);
    ASSERT_TRUE(launch.record.arguments());
    EXPECT_EQ(*launch.record.arguments(), (std::vector<std::wstring>{L"caf\u00E9", L"\u0416\u0443\u043A 2.log"}));
    const std::vector<std::wstring> calls{L"JNI_CreateJavaVM",    L"FindClass",         L"GetStaticMethodID",
                                          L"FindClass",           L"NewObjectArray",    L"NewString",
                                          L"SetObjectArrayElement", L"NewString",       L"SetObjectArrayElement",
                                          L"CallStaticIntMethodV", L"ExceptionOccurred", L"DestroyJavaVM"};
    EXPECT_EQ(launch.record.callNames(), calls);
    expectManifestEffects(launch.record);
}

}  // namespace
}  // namespace launchertest
