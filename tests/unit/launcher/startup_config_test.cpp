#include <gtest/gtest.h>

#include "fake_platform.h"
#include "startup_config.h"

using namespace varkel;

namespace {

StartupConfig parse(const std::string& bytes) {
    StartupConfig config;
    applyStartupConfigText(bytes, config);
    return config;
}

std::string shown(const std::optional<WideString>& value) { return value ? "[" + toUtf8(*value) + "]" : "absent"; }

}  // namespace

TEST(StartupConfigText, SettingLines) {
    struct Case {
        const char* file;
        const char* javaPath;  // expected JAVA_PATH as shown()
    };
    const Case cases[] = {
        {"", "absent"},
        {"JAVA_PATH=C:\\jdk\n", "[C:\\jdk]"},
        {"JAVA_PATH=\n", "[]"},                          // an empty value is stored
        {"JAVA_PATH=", "absent"},                        // nothing follows "=" at the end of the file
        {"  JAVA_PATH  =  C:\\my jdk \t\r\n", "[C:\\my jdk]"},
        {"java_path=C:\\jdk\n", "absent"},               // keys are case-sensitive
        {"==JAVA_PATH=x\n", "[x]"},                      // leading "=" skipped
        {"=x\n", "absent"},
        {"====\n", "absent"},
        {"  #JAVA_PATH=C:\\jdk\n", "absent"},            // comment after blanks
        {"\t#JAVA_PATH=C:\\jdk\n", "absent"},            // key "#JAVA_PATH" matches nothing
        {"JAVA_PATH=C:\\jdk # note\n", "[C:\\jdk # note]"},
        {"JAVA_PATH=a\nJAVA_PATH=b\n", "[b]"},           // the last line wins
        {"JAVA_PATH=a=b=c\n", "[a=b=c]"},
        {"\xEF\xBB\xBFJAVA_PATH=C:\\jdk\n", "absent"},   // a byte-order mark stays part of the key
        {"JAVA_PATH=C:\\caf\xE9\n", "[C:\\caf\xC3\xA9]"},  // bytes map to U+0000..U+00FF
        {"JAVA_PATH=a\r\nMAX_MEMORY=1G\r\n", "[a]"},
        {"JAVA_PATH=a\x1AJAVA_PATH=b\n", "[a]"},           // Ctrl-Z ends a text-mode file
        {"JAVA_PATH=x\0y\n", "[x]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(shown(parse(c.file).javaPath), c.javaPath);
    }
}

TEST(StartupConfigText, FlagsAreOneOnlyForTheTextOne) {
    struct Case {
        const char* value;
        std::int32_t flag;
    };
    for (const Case& c : {Case{"1", 1}, Case{" 1 ", 1}, Case{"0", 0}, Case{"true", 0}, Case{"yes", 0},
                          Case{"01", 0}, Case{"", 0}, Case{"1 1", 0}}) {
        SCOPED_TRACE(c.value);
        StartupConfig config = parse(std::string("SPLASH_SCREEN=") + c.value + "\nCONSOLE=" + c.value +
                                     "\nINTERNAL_LOGGING=" + c.value + "\n");
        EXPECT_EQ(config.splashScreen, c.flag);
        EXPECT_EQ(config.console, c.flag);
        EXPECT_EQ(config.internalLogging, c.flag);
    }
}

TEST(StartupConfigText, EveryKeyAndVeryLongLines) {
    std::string longValue(100000, 'x');
    StartupConfig config = parse("MAX_MEMORY = 1G \nCONFIG_FILE=conf\\app.cfg\nADDITIONAL_CLASSPATH=ext\\a.jar\n"
                                 "JVM_EXTRA_OPTIONS=-Da=b -Dc=d\nOTHER=1\nJAVA_PATH=" + longValue + "\n");
    EXPECT_EQ(shown(config.maxMemory), "[1G]");
    EXPECT_EQ(shown(config.configFile), "[conf\\app.cfg]");
    EXPECT_EQ(shown(config.additionalClasspath), "[ext\\a.jar]");
    EXPECT_EQ(shown(config.jvmExtraOptions), "[-Da=b -Dc=d]");
    // A long line is taken whole, never cut into two settings.
    ASSERT_TRUE(config.javaPath.has_value());
    EXPECT_EQ(config.javaPath->size(), longValue.size());
}

TEST(StartupConfigText, BinaryGarbageIsHarmless) {
    std::string garbage;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(seed >> 16));
    }
    StartupConfig config = parse(garbage);
    EXPECT_TRUE(config.splashScreen == 0 || config.splashScreen == 1);
}

class StartupConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        fake::machine().currentDirectory = u"C:\\Varkel";
    }
};

TEST_F(StartupConfigFile, ReadsTheFileAfterSettingDefaults) {
    fake::machine().files[u"C:\\Varkel\\startup.conf"] = "SPLASH_SCREEN=0\n";
    StartupConfig config;
    config.console = 1;  // left over: the reader sets every default first
    config.jvmExtraOptions = u"old";
    ASSERT_TRUE(readStartupConfig(u"startup.conf", config));
    EXPECT_EQ(config.splashScreen, 0);
    EXPECT_EQ(config.console, 0);
    EXPECT_FALSE(config.jvmExtraOptions.has_value());
    EXPECT_TRUE(fake::machine().boxes.empty());
}

TEST_F(StartupConfigFile, FailuresAreShownInAnErrorBox) {
    struct Case {
        bool exists, unreadable;
        const char16_t* message;
    };
    const Case cases[] = {
        {false, false, u"Unable to open startup config file \"other.conf\".\nJava program won't be launched."},
        {true, true, u"Error while reading startup config file \"other.conf\".\nJava program won't be launched."},
    };
    for (const Case& c : cases) {
        fake::reset();
        fake::machine().currentDirectory = u"C:\\Varkel";
        if (c.exists) fake::machine().files[u"C:\\Varkel\\other.conf"] = "MAX_MEMORY=1G\n";
        if (c.unreadable) fake::machine().unreadableFiles.insert(u"C:\\Varkel\\other.conf");
        StartupConfig config;
        EXPECT_FALSE(readStartupConfig(u"other.conf", config));
        ASSERT_EQ(fake::machine().boxes.size(), 1u);
        EXPECT_EQ(fake::machine().boxes[0].text, c.message);
        EXPECT_EQ(fake::machine().boxes[0].caption, u"VKJavaLauncher");
        EXPECT_EQ(fake::machine().boxes[0].style, 0x10u);  // error icon, OK, no foreground flag
        EXPECT_EQ(config.splashScreen, 1);
    }
}
