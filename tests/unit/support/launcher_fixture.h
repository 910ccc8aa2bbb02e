// A launcher installation on the fake machine, for tests of whole launches:
// "C:\Varkel\Varkel.exe" with its startup.conf, an empty "lib" directory and a
// Java home "C:\Java" whose server JVM is the fake JVM.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fake_jvm.h"
#include "fake_platform.h"
#include "launch_context.h"

class LauncherTest : public ::testing::Test {
protected:
    static constexpr const char16_t* kInstallDir = u"C:\\Varkel";
    static constexpr const char16_t* kJavaHome = u"C:\\Java";
    static constexpr const char16_t* kServerJvm = u"C:\\Java\\bin\\server\\jvm.dll";

    void SetUp() override;

    // startup.conf's bytes (JAVA_PATH=C:\Java is prepended unless withJavaPath is false).
    void writeConfig(const std::string& lines, bool withJavaPath = true);
    void installJvm(const std::u16string& path = kServerJvm);
    void setLibJars(const std::vector<std::u16string>& names);

    // Runs the whole launch with this command line; returns how the process ended.
    fake::ProcessEnded launch(const std::u16string& commandLine);

    fake::Machine& machine() { return fake::machine(); }
    fakejvm::Record& jvm() { return fakejvm::record(); }
    fakejvm::Behaviour& jvmBehaviour() { return fakejvm::behaviour(); }
    // The only box shown; fails the test when there is not exactly one.
    fake::ShownBox onlyBox();

    varkel::LaunchContext ctx_;
};

std::string utf8(const std::u16string& text);
