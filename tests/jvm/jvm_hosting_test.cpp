// runJavaProgram against the real OpenJDK JVM: libjvm.so is loaded through the
// fake platform's library hooks, and the test program com.orvane.varkel.Varkel
// (tests/jvm/java) reports what it received into a file.
//
// HotSpot can be created only once per process, so every case here runs in a
// process of its own (ctest does this: one entry per case). Run by hand, use
// --gtest_filter with one case; the others skip themselves.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "fake_platform.h"
#include "hand_over_request.h"
#include "java_program.h"
#include "jvm_options.h"
#include "launch_context.h"
#include "text.h"

using namespace varkel;
namespace fs = std::filesystem;

namespace {

constexpr const char16_t* kStartupConfigPath = u"C:\\Program Files\\Varkel\\startup.conf";
constexpr std::uint32_t kFatalBoxStyle = 0x00010010;  // MB_ICONERROR | MB_SETFOREGROUND
constexpr int kVirtualKeyEnter = 13;

int casesInThisProcess = 0;

// What the test program wrote: "key=value" lines, each text with \uXXXX for
// every UTF-16 code unit outside printable ASCII.
class Report {
public:
    explicit Report(const fs::path& file) {
        std::ifstream in(file);
        std::string line;
        while (std::getline(in, line)) {
            std::size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            values_[line.substr(0, eq)] = unescape(line.substr(eq + 1));
        }
    }
    bool empty() const { return values_.empty(); }
    bool has(const std::string& key) const { return values_.count(key) != 0; }
    WideString operator[](const std::string& key) const {
        auto it = values_.find(key);
        return it == values_.end() ? u"<missing " + widenAscii(key) + u">" : it->second;
    }

private:
    static WideString unescape(const std::string& text) {
        WideString out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\\' && i + 5 < text.size() && text[i + 1] == 'u') {
                out.push_back(static_cast<char16_t>(std::stoul(text.substr(i + 2, 4), nullptr, 16)));
                i += 5;
            } else {
                out.push_back(static_cast<char16_t>(static_cast<unsigned char>(text[i])));
            }
        }
        return out;
    }
    std::map<std::string, WideString> values_;
};

std::optional<fake::ProcessEnded> runUntilEnd(LaunchContext& ctx, std::int32_t* result = nullptr) {
    try {
        std::int32_t r = runJavaProgram(ctx);
        if (result) *result = r;
    } catch (const fake::ProcessEnded& ended) {
        return ended;
    }
    return std::nullopt;
}

class JvmHosting : public ::testing::Test {
protected:
    void SetUp() override {
        if (++casesInThisProcess > 1)
            GTEST_SKIP() << "the JVM can be created once per process: run one case per process (ctest does)";

        fake::reset();
        fake::Machine& m = fake::machine();
        // The Windows behaviour of LoadLibraryW and GetProcAddress over dlopen and dlsym.
        m.loadLibraryHook = [](const WideString& path) -> fake::ModuleHandle {
            void* module = dlopen(toUtf8(path).c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!module) fake::machine().lastError = 126;
            return module;
        };
        m.findFunctionHook = [](fake::ModuleHandle module, const char* name) -> void* {
            void* function = dlsym(module, name);
            if (!function) fake::machine().lastError = 127;  // ERROR_PROC_NOT_FOUND
            return function;
        };
        m.errorTexts[127] = u"The specified procedure could not be found.\r\n";

        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name)
            if (c == '/') c = '_';
        dir_ = fs::temp_directory_path() / ("varkel-jvm-" + std::to_string(getpid()) + "-" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);

        ctx_.startupConfigPath = kStartupConfigPath;
        ctx_.jvmLibraryPath = fromUtf8(VARKEL_TEST_LIBJVM);
        ctx_.jvmModule = platform::loadLibrary(ctx_.jvmLibraryPath);
        ASSERT_NE(ctx_.jvmModule, nullptr) << dlerror();
        ctx_.config.maxMemory = u"256M";
        ctx_.config.additionalClasspath = classPathEntry(VARKEL_TEST_CLASSES);
    }

    void TearDown() override {
        std::error_code ignored;
        if (!dir_.empty()) fs::remove_all(dir_, ignored);
    }

    // The launcher joins the class path with ";" (Windows). Here the JVM splits
    // at ":", so a leading ":" makes the directory an entry of its own.
    static WideString classPathEntry(const char* directory) { return u":" + fromUtf8(directory); }

    // The option strings, built from ctx_.config as the launch sequence builds
    // them, with `control` (options for the test program) in front of any
    // JVM_EXTRA_OPTIONS already configured.
    void buildOptions(const WideString& control = WideString()) {
        StartupConfig& config = ctx_.config;
        WideString extra = control;
        if (config.jvmExtraOptions) extra += (extra.empty() ? u"" : u" ") + *config.jvmExtraOptions;
        if (!extra.empty()) config.jvmExtraOptions = extra;
        ctx_.jvmOptions = buildJvmOptions(config, jars_);
    }

    WideString fileOption(const char* property, const fs::path& file) const {
        return u"\"-D" + widenAscii(property) + u"=" + fromUtf8(file.string()) + u"\"";
    }
    WideString reportOption() const { return fileOption("varkel.test.report", reportFile()); }
    fs::path reportFile() const { return dir_ / "report.txt"; }

    // Runs the program to a normal end and returns its result.
    std::int32_t runToNormalEnd() {
        std::int32_t result = INT32_MIN + 12345;  // no case returns this
        std::optional<fake::ProcessEnded> ended = runUntilEnd(ctx_, &result);
        if (ended) {
            ADD_FAILURE() << "the process ended with code " << ended->code << "; boxes: " << fake::machine().boxes.size()
                          << (fake::machine().boxes.empty() ? "" : " first: " + toUtf8(fake::machine().boxes[0].text));
        }
        EXPECT_TRUE(fake::machine().boxes.empty());
        return result;
    }

    // Runs the program expecting the process to end through ExitProcess with
    // one fatal box holding `message`.
    void expectFatalBox(const WideString& message, std::uint32_t exitCode) {
        std::optional<fake::ProcessEnded> ended = runUntilEnd(ctx_);
        ASSERT_TRUE(ended.has_value()) << "runJavaProgram returned";
        EXPECT_EQ(ended->code, exitCode);
        EXPECT_EQ(ended->how, fake::ProcessEnded::How::exitProcess);
        const fake::Machine& m = fake::machine();
        ASSERT_EQ(m.boxes.size(), 1u);
        EXPECT_EQ(m.boxes[0].text, message) << toUtf8(m.boxes[0].text);
        EXPECT_EQ(m.boxes[0].caption, u"VKJavaLauncher");
        EXPECT_EQ(m.boxes[0].style, kFatalBoxStyle);
        // The 500 ms pause comes before the box.
        std::vector<std::string> expectedCalls{"sleep 500", "box"};
        std::vector<std::string> calls;
        for (const std::string& call : m.calls)
            if (call == "sleep 500" || call == "box") calls.push_back(call);
        EXPECT_EQ(calls, expectedCalls);
        EXPECT_TRUE(m.standardOutput.empty()) << toUtf8(m.standardOutput);
    }

    LaunchContext ctx_;
    std::vector<WideString> jars_{u"log-core.jar", u"parsers-x.jar"};
    fs::path dir_;
};

// ---- Arguments ------------------------------------------------------------------------------

struct ArgumentCase {
    const char* name;
    std::vector<WideString> args;
};

void PrintTo(const ArgumentCase& c, std::ostream* os) { *os << c.name << " (" << c.args.size() << " arguments)"; }

std::vector<WideString> manyArguments() {
    std::vector<WideString> args;
    for (int i = 0; i < 3000; ++i) args.push_back(u"file-" + widenAscii(std::to_string(i)) + u".log");
    return args;
}

class Arguments : public JvmHosting, public ::testing::WithParamInterface<ArgumentCase> {};

TEST_P(Arguments, ReachMainVKInOrderAndExactly) {
    ctx_.javaArgs = GetParam().args;
    buildOptions(reportOption());

    EXPECT_EQ(runToNormalEnd(), 0);

    Report report(reportFile());
    ASSERT_FALSE(report.empty()) << "mainVK wrote no report";
    ASSERT_NE(report["args"], u"null") << "mainVK received null instead of an array";
    ASSERT_EQ(report["args"], widenAscii(std::to_string(GetParam().args.size())));
    for (std::size_t i = 0; i < GetParam().args.size(); ++i)
        ASSERT_EQ(report["arg." + std::to_string(i)], GetParam().args[i]) << "argument " << i;
}

INSTANTIATE_TEST_SUITE_P(
    JvmHosting, Arguments,
    ::testing::Values(
        // No pass-through arguments: an empty array, never null.
        ArgumentCase{"none", {}},
        ArgumentCase{"ordinary",
                     {u"first.log", u"C:\\logs\\second file.log", u"", u"--console", u"--help", u"--conf=",
                      u"  padded  ", u"\"quoted\"", u"100%", u"%s%d"}},
        // UTF-16 whole: Latin-1, Cyrillic, CJK, a surrogate pair, and a lone
        // surrogate as an NTFS file name may hold.
        ArgumentCase{"utf16",
                     {u"caf\u00e9.log", u"\u00ff\u00e0\u00df", u"\u0416\u0443\u0440\u043d\u0430\u043b.log",
                      u"\u65e5\u672c\u8a9e.txt", u"\U0001F600 smile.log", u"lone \xD800 high", u"\xDC00"}},
        ArgumentCase{"many", manyArguments()}),
    [](const ::testing::TestParamInfo<ArgumentCase>& p) { return std::string(p.param.name); });

// ---- The result ---------------------------------------------------------------------------------

class Result : public JvmHosting, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(Result, IsWhatMainVKReturned) {
    ctx_.javaArgs = {u"x.log"};
    buildOptions(u"-Dvarkel.test.return=" + widenAscii(std::to_string(GetParam())));
    EXPECT_EQ(runToNormalEnd(), GetParam());
    EXPECT_TRUE(fake::machine().standardOutput.empty());
}

INSTANTIATE_TEST_SUITE_P(JvmHosting, Result, ::testing::Values(0, 7, -99, INT32_MAX),
                         [](const ::testing::TestParamInfo<std::int32_t>& p) {
                             return p.param < 0 ? "minus" + std::to_string(-p.param)
                                                   : std::to_string(p.param);
                         });

// ---- Options and System properties -----------------------------------------------------------------

TEST_F(JvmHosting, EveryOptionReachesTheSystemProperties) {
    ctx_.config.configFile = u"conf/varkel.properties";
    ctx_.config.internalLogging = 1;
    // Unknown options are passed on and ignored (ignoreUnrecognized): the JVM
    // fails without it.
    ctx_.config.jvmExtraOptions = u"-Dvk.first=one \"-Dvk.second=two words\" -Xss2m -Xvarkel-unknown -XX:+VarkelNoSuchFlag";
    buildOptions(reportOption());
    // The logging option, with its trailing blank, is the last one.
    ASSERT_EQ(ctx_.jvmOptions.back(), "-Djava.util.logging.config.file=config/logging.properties ");

    EXPECT_EQ(runToNormalEnd(), 0);

    Report report(reportFile());
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report["prop.java.class.path"],
              u"classes;parsers\\classes;managers\\classes;jar\\varkel.jar;log-core.jar;parsers-x.jar;" +
                  classPathEntry(VARKEL_TEST_CLASSES));
    EXPECT_EQ(report["prop.config.file"], u"conf/varkel.properties");
    EXPECT_EQ(report["prop.java.library.path"], u"lib");
    EXPECT_EQ(report["prop.vk.first"], u"one");
    EXPECT_EQ(report["prop.vk.second"], u"two words");
    EXPECT_EQ(report["prop.java.util.logging.config.file"], u"config/logging.properties ");
    // -Xmx256M: the heap limit the JVM reports is a little under it.
    long long maxMemory = std::stoll(toUtf8(report["maxMemory"]));
    EXPECT_LE(maxMemory, 256LL << 20);
    EXPECT_GT(maxMemory, 200LL << 20);
}

TEST_F(JvmHosting, UnsetOptionsLeaveTheirPropertiesUnset) {
    // No CONFIG_FILE: its slot is the empty string, which the JVM accepts.
    // No logging option and no JVM_EXTRA_OPTIONS beyond the test's own.
    buildOptions(reportOption());
    std::vector<std::string> options = ctx_.jvmOptions;
    ASSERT_EQ(options.size(), 5u);
    ASSERT_EQ(options[2], "");

    EXPECT_EQ(runToNormalEnd(), 0);

    Report report(reportFile());
    ASSERT_FALSE(report.empty());
    EXPECT_FALSE(report.has("prop.config.file")) << toUtf8(report["prop.config.file"]);
    EXPECT_FALSE(report.has("prop.java.util.logging.config.file"));
    EXPECT_EQ(report["prop.java.library.path"], u"lib");
}

// ---- The end of the JVM ----------------------------------------------------------------------------

TEST_F(JvmHosting, DestroyJavaVMWaitsForTheLastNonDaemonThread) {
    fs::path marker = dir_ / "worker-finished";
    buildOptions(reportOption() + u" " + fileOption("varkel.test.marker", marker) +
                 u" -Dvarkel.test.delay=800 -Dvarkel.test.return=3");

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runToNormalEnd(), 3);
    auto elapsed = std::chrono::steady_clock::now() - start;

    Report report(reportFile());
    ASSERT_FALSE(report.empty());
    // The worker was still running when mainVK was about to return...
    EXPECT_EQ(report["worker.alive"], u"true");
    // ...and had finished when runJavaProgram returned.
    EXPECT_TRUE(fs::exists(marker));
    EXPECT_GE(elapsed, std::chrono::milliseconds(800));
}

// ---- An exception from mainVK ------------------------------------------------------------------------

// Percent signs, and text beyond Latin-1, come back exactly as toString gave them.
const WideString kThrownText = u"100% done, %s %d %p %% caf\u00e9 \u0416\u0443\u0440\u043d\u0430\u043b \U0001F600";
const WideString kReport = u"Error in main method:\njava.lang.IllegalStateException: " + kThrownText;

TEST_F(JvmHosting, ExceptionIsReportedInTheFatalBoxWithExitCode10) {
    ctx_.javaArgs = {kThrownText};
    buildOptions(u"-Dvarkel.test.throw=");

    ::testing::internal::CaptureStderr();
    expectFatalBox(kReport, 10);
    std::string stackTrace = ::testing::internal::GetCapturedStderr();
    // ExceptionDescribe wrote the stack trace to the JVM's error stream.
    EXPECT_NE(stackTrace.find("java.lang.IllegalStateException"), std::string::npos) << stackTrace;
    EXPECT_NE(stackTrace.find("at com.orvane.varkel.Varkel.mainVK"), std::string::npos) << stackTrace;
}

TEST_F(JvmHosting, ExceptionWithConsoleRequestedIsPrintedAndWaitsForEnter) {
    ctx_.consoleRequested = 1;
    ctx_.javaArgs = {kThrownText};
    buildOptions(u"-Dvarkel.test.throw=");
    fake::Machine& m = fake::machine();
    // Another key first: only Enter or Escape ends the wait.
    m.consoleInputs.push_back({true, true, 'A'});
    m.consoleInputs.push_back({true, true, kVirtualKeyEnter});
    m.consoleInputs.push_back({true, true, 'B'});

    std::optional<fake::ProcessEnded> ended = runUntilEnd(ctx_);

    ASSERT_TRUE(ended.has_value()) << "runJavaProgram returned";
    EXPECT_EQ(ended->code, 10u);
    EXPECT_EQ(ended->how, fake::ProcessEnded::How::exitProcess);
    EXPECT_TRUE(m.boxes.empty());
    EXPECT_EQ(m.standardOutput, u"\n" + kReport + u"\nPRESSS ENTER OR ESC TO CLOSE CONSOLE...")
        << toUtf8(m.standardOutput);
    ASSERT_EQ(m.consoleInputs.size(), 1u) << "the wait did not end at Enter";
}

// ---- Failures before mainVK runs -------------------------------------------------------------------

TEST_F(JvmHosting, MissingMainClassEndsWithExitCode2) {
    ctx_.config.additionalClasspath.reset();  // the default class path only: nothing there
    buildOptions();
    expectFatalBox(
        u"Unable to find main class, please check that Varkel is installed properly.\n"
        u"(Class path issue? Varkel jar issue?).",
        2);
}

TEST_F(JvmHosting, MainClassWithoutAnIntMainVKEndsWithExitCode2) {
    // There mainVK returns void: the exact signature is not found.
    ctx_.config.additionalClasspath = classPathEntry(VARKEL_TEST_CLASSES_NO_ENTRY);
    buildOptions();
    expectFatalBox(u"Unable to find main method, please check that Varkel is installed properly.", 2);
}

TEST_F(JvmHosting, LibraryWithoutJNICreateJavaVMEndsWithExitCode2) {
    ctx_.jvmLibraryPath = u"libm.so.6";
    ctx_.jvmModule = platform::loadLibrary(ctx_.jvmLibraryPath);
    ASSERT_NE(ctx_.jvmModule, nullptr);
    buildOptions();
    expectFatalBox(
        u"Unable to load function \"JNI_CreateJavaVM\" from \"libm.so.6\",\n"
        u"please check that Java 7 (or later) is installed.\n\n"
        u"Error 127: \"The specified procedure could not be found.\"",
        2);
}

// Options that the JVM rejects even with ignoreUnrecognized set, with the
// results OpenJDK 17 gives for them. (Some faults, such as an initial heap
// above the maximum, make the JVM end the process itself instead of returning.)
struct RejectedOptionCase {
    const char* name;
    const char16_t* extraOptions;
    std::int32_t result;
    const char16_t* errorName;
};

void PrintTo(const RejectedOptionCase& c, std::ostream* os) { *os << toUtf8(c.extraOptions); }

class RejectedOption : public JvmHosting, public ::testing::WithParamInterface<RejectedOptionCase> {};

TEST_P(RejectedOption, EndsWithTheCreationMessageAndExitCode3) {
    ctx_.config.jvmExtraOptions = GetParam().extraOptions;
    buildOptions();
    expectFatalBox(u"Unable to start Java program using \"" + fromUtf8(VARKEL_TEST_LIBJVM) +
                       u"\":\n\"JNI_CreateJavaVM\" function returned [" +
                       widenAscii(std::to_string(GetParam().result)) + u"]: " + GetParam().errorName +
                       u"\n\nPlease check that parameters are valid in file \"" + kStartupConfigPath +
                       u"\" and that Java 7 (or later) is properly installed.",
                   3);
}

INSTANTIATE_TEST_SUITE_P(JvmHosting, RejectedOption,
                         ::testing::Values(
                             RejectedOptionCase{"fractionalHeap", u"-Xmx0.5G", -6, u"Invalid arguments"},
                             RejectedOptionCase{"badStackSize", u"-Xss1x", -6, u"Invalid arguments"},
                             RejectedOptionCase{"missingOptionsFile", u"-XX:VMOptionsFile=/nonexistent/varkel.opts",
                                                -1, u"Unknown JNI error"}),
                         [](const ::testing::TestParamInfo<RejectedOptionCase>& p) {
                             return std::string(p.param.name);
                         });

}  // namespace

// ---- SINGLE_INSTANCE=1: openVK on the serving thread -------------------------------------------

// The serving thread as the Windows side runs it, here a thread of the test:
// requests delivered one at a time while mainVK waits for them.
TEST_F(JvmHosting, HandOversReachOpenVkOnADaemonThreadAndTheJvmStillEnds) {
    const std::vector<WideString> utf16{u"C:\\Logs\\a b.log", u"\u0416\u0443\u0440\u043d\u0430\u043b", u"\U0001F600",
                                        u"lone \xD800"};
    const std::vector<std::string> requests{*encodeHandOverRequest({u"D:\\\u00e9t\u00e9", utf16}),
                                            *encodeHandOverRequest({u"C:\\", {u"throw"}}), "VKHO garbage",
                                            *encodeHandOverRequest({u"C:\\", {}})};
    std::vector<std::string> answers;
    std::thread serving;
    fake::machine().onServerStarted = [&](platform::HandOverHandler handler, void* context) {
        serving = std::thread([&, handler, context] {
            for (const std::string& request : requests) answers.push_back(handler(context, request));
            // The product's serving thread never ends; this one detaches before it does.
            using GetCreatedVms = jint (*)(JavaVM**, jsize, jsize*);
            auto created = reinterpret_cast<GetCreatedVms>(dlsym(ctx_.jvmModule, "JNI_GetCreatedJavaVMs"));
            JavaVM* vm = nullptr;
            jsize count = 0;
            if (created && created(&vm, 1, &count) == JNI_OK && count == 1) vm->DetachCurrentThread();
        });
    };
    ctx_.handOverPipeName = u"\\\\.\\pipe\\Varkel-test";
    buildOptions(reportOption() + u" -Dvarkel.test.awaitOpen=2");

    EXPECT_EQ(runToNormalEnd(), 0) << "DestroyJavaVM waited for the attached thread";
    ASSERT_TRUE(serving.joinable()) << "no serving was started";
    serving.join();

    using varkel::HandOverStatus;
    EXPECT_EQ(answers, (std::vector<std::string>{encodeHandOverAnswer(HandOverStatus::delivered),
                                                 encodeHandOverAnswer(HandOverStatus::failed),
                                                 encodeHandOverAnswer(HandOverStatus::refused),
                                                 encodeHandOverAnswer(HandOverStatus::delivered)}));
    Report report(reportFile());
    ASSERT_EQ(report["open.count"], u"2");
    EXPECT_EQ(report["open.0.dir"], u"D:\\\u00e9t\u00e9");
    EXPECT_EQ(report["open.0.daemon"], u"true");
    ASSERT_EQ(report["open.0.args"], u"4");
    for (std::size_t i = 0; i < utf16.size(); ++i) EXPECT_EQ(report["open.0.arg." + std::to_string(i)], utf16[i]);
    EXPECT_EQ(report["open.1.args"], u"0") << "the thrown exception was cleared and serving went on";
}
