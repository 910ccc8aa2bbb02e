#include "launcher_fixture.h"

#include "launch_sequence.h"

void LauncherTest::SetUp() {
    fake::reset();
    fakejvm::reset();
    ctx_ = varkel::LaunchContext{};
    machine().executablePath = std::u16string(kInstallDir) + u"\\Varkel.exe";
    machine().directories[u"C:\\Varkel\\lib\\*"] = varkel::platform::DirectoryListing{true, 0x1234, {}, 18};
    machine().errorTexts[2] = u"File not found.\r\n";
    machine().errorTexts[5] = u"Access denied.\r\n";
    machine().errorTexts[127] = u"The specified procedure could not be found.\r\n";
    writeConfig("");
    installJvm();
}

void LauncherTest::writeConfig(const std::string& lines, bool withJavaPath) {
    machine().files[u"C:\\Varkel\\startup.conf"] = (withJavaPath ? "JAVA_PATH=C:\\Java\n" : "") + lines;
}

void LauncherTest::installJvm(const std::u16string& path) {
    fake::Machine::Library library;
    library.handle = reinterpret_cast<void*>(0x7000);
    library.functions["JNI_CreateJavaVM"] = reinterpret_cast<void*>(&fakejvm::createJavaVm);
    machine().libraries[path] = library;
}

void LauncherTest::setLibJars(const std::vector<std::u16string>& names) {
    auto& listing = machine().directories[u"C:\\Varkel\\lib\\*"];
    for (const auto& name : names) listing.entries.push_back({name, false});
}

fake::ProcessEnded LauncherTest::launch(const std::u16string& commandLine) {
    try {
        varkel::runLaunchSequence(ctx_, commandLine);
    } catch (const fake::ProcessEnded& ended) {
        return ended;
    }
    ADD_FAILURE() << "the launch sequence returned";
    return {0xFFFFFFFF, fake::ProcessEnded::How::exitProcess};
}

fake::ShownBox LauncherTest::onlyBox() {
    EXPECT_EQ(machine().boxes.size(), 1u);
    return machine().boxes.empty() ? fake::ShownBox{} : machine().boxes.front();
}

std::string utf8(const std::u16string& text) { return varkel::toUtf8(text); }
