// How the portable code's time grows with its input: each benchmark runs at a
// small and a large size and reports items per second, so scripts/benchmark.sh
// can compare the time per item at both sizes (equal for linear growth).
//
// The inputs are shaped like real ones: a startup.conf of setting lines and
// comments, a lib folder of archives (with a few other files and folders), a
// PATH of folders of which some hold java.exe, installers' registry keys of
// many versions, Java homes with release files, and selections of long paths
// (on the command line and in a list file).
#include <benchmark/benchmark.h>

#include <string>

#include "fake_platform.h"
#include "file_lists.h"
#include "hand_over_request.h"
#include "java_homes.h"
#include "java_min_version.h"
#include "jvm_library.h"
#include "jvm_options.h"
#include "launch_context.h"
#include "launch_parameters.h"
#include "library_jars.h"
#include "startup_config.h"

namespace {

using varkel::WideString;

WideString number(std::size_t i) { return varkel::widenAscii(std::to_string(i)); }

// ---- startup.conf ---------------------------------------------------------------
std::string startupConfigText(std::size_t lines) {
    static const char* const kLines[] = {
        "JAVA_PATH=C:\\Program Files\\Java\\jdk-17\\bin\\\r\n",
        "# a comment line, skipped\r\n",
        "MAX_MEMORY = 1500M\r\n",
        "JVM_EXTRA_OPTIONS=-Dfile.encoding=UTF-8 \"-Dvarkel.home=C:\\My Logs\" -Xss2m\r\n",
        "ADDITIONAL_CLASSPATH=plugins\\one.jar;plugins\\two.jar\r\n",
        "UNKNOWN_SETTING=ignored\r\n",
    };
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) text += kLines[i % std::size(kLines)];
    return text;
}

void ReadStartupConfig(benchmark::State& state) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    const std::string text = startupConfigText(lines);
    for (auto _ : state) {
        varkel::StartupConfig config;
        varkel::applyStartupConfigText(text, config);
        benchmark::DoNotOptimize(config);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ReadStartupConfig)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// ---- lib\*.jar -------------------------------------------------------------------
void fillLibraryFolder(std::size_t jars) {
    fake::reset();
    varkel::platform::DirectoryListing listing;
    listing.started = true;
    listing.endError = 18;  // ERROR_NO_MORE_FILES
    listing.entries.push_back({u".", true});
    listing.entries.push_back({u"..", true});
    for (std::size_t i = 0; i < jars; ++i) {
        listing.entries.push_back({u"varkel-module-" + number(i) + (i % 7 ? u".jar" : u".JAR"), false});
        if (i % 50 == 0) listing.entries.push_back({u"README-" + number(i) + u".txt", false});
    }
    fake::machine().directories[fake::machine().resolve(u"lib\\*")] = listing;
}

void ListLibraryJars(benchmark::State& state) {
    const auto jars = static_cast<std::size_t>(state.range(0));
    fillLibraryFolder(jars);
    const varkel::StartupConfig config;
    for (auto _ : state) {
        std::vector<WideString> entries = varkel::listLibraryJarEntries(u"lib");
        std::string option = varkel::buildClassPathOption(config, entries);
        benchmark::DoNotOptimize(option);
    }
    if (varkel::listLibraryJarEntries(u"lib").size() != jars) state.SkipWithError("wrong number of archives");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ListLibraryJars)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// ---- PATH ---------------------------------------------------------------------------
void fillPath(std::size_t entries) {
    fake::reset();
    WideString path;
    for (std::size_t i = 0; i < entries; ++i) {
        WideString folder = u"C:\\Tools\\tool-" + number(i) + (i % 3 ? u"\\bin" : u"\\bin\\");
        // Five folders hold java.exe, whatever the length: the fake's file
        // lookup is a sorted set, and a set growing with the PATH would add
        // its logarithm to what is measured here.
        if (i % (entries / 5 + 1) == 0)
            fake::machine().existingPaths.insert(u"C:\\Tools\\tool-" + number(i) + u"\\bin\\java.exe");
        path += folder + u";";
    }
    fake::machine().environment[u"PATH"] = path;
}

void JavaHomesFromPath(benchmark::State& state) {
    fillPath(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        auto homes = varkel::javaPathsFromPATH();
        benchmark::DoNotOptimize(homes);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(JavaHomesFromPath)->Arg(50)->Arg(5000)->Unit(benchmark::kMicrosecond);

// ---- The installers' registry keys ------------------------------------------------------
// Installed versions spread over Oracle's, Adoptium's and Azul's keys, in both
// views and both roots, as on a machine that keeps its updates side by side.
void fillInstallerKeys(std::size_t versions) {
    using varkel::platform::RegistryRoot;
    using View = varkel::platform::RegistryView;
    fake::reset();
    auto& registry = fake::machine().installerRegistry;
    for (std::size_t i = 0; i < versions; ++i) {
        const WideString version = number(8 + i % 14) + u".0." + number(i);
        const View view = i % 2 ? View::view64 : View::view32;
        const WideString home = u"C:\\Program Files\\Java\\jdk-" + version + u"\\";
        switch (i % 3) {
            case 0:
                registry[{RegistryRoot::localMachine, view, u"SOFTWARE\\JavaSoft\\JDK\\" + version, u"JavaHome"}] = home;
                break;
            case 1:
                registry[{RegistryRoot::localMachine, view,
                          u"SOFTWARE\\Eclipse Adoptium\\JDK\\" + version + u"\\hotspot\\MSI", u"Path"}] = home;
                break;
            default:
                registry[{RegistryRoot::currentUser, view, u"SOFTWARE\\Azul Systems\\Zulu\\zulu-" + version,
                          u"InstallationPath"}] = home;
        }
    }
    registry[{RegistryRoot::localMachine, View::view64, u"SOFTWARE\\JavaSoft\\JDK", u"CurrentVersion"}] = u"9.0.1";
}

void JavaHomesFromInstallerKeys(benchmark::State& state) {
    const auto versions = static_cast<std::size_t>(state.range(0));
    fillInstallerKeys(versions);
    for (auto _ : state) {
        auto homes = varkel::javaPathsFromInstallerRegistry();
        benchmark::DoNotOptimize(homes);
    }
    if (varkel::javaPathsFromInstallerRegistry().size() != versions) state.SkipWithError("wrong number of homes");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(JavaHomesFromInstallerKeys)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// ---- JVM library list ----------------------------------------------------------------
void JvmLibraryList(benchmark::State& state) {
    std::vector<varkel::JavaHomeCandidate> candidates(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        // Every home twice, as PATH and JAVA_HOME often name the same one.
        candidates[i].javaHome = u"C:\\Program Files\\Java\\jdk-" + number(i / 2);
    }
    for (auto _ : state) {
        auto paths = varkel::jvmLibraryPaths(candidates);
        benchmark::DoNotOptimize(paths);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(JvmLibraryList)->Arg(50)->Arg(5000)->Unit(benchmark::kMicrosecond);

// ---- JAVA_MIN_VERSION: the version of every JVM library, told before loading -------------
// Java homes with their release files (Java 8 and Java 17 in turn) and a
// server JVM each; JAVA_MIN_VERSION=11. Every library path of every home is
// judged, as when none loads: a release file is read per library that exists.
std::vector<varkel::JavaHomeCandidate> fillVersionedHomes(std::size_t homes) {
    fake::reset();
    std::vector<varkel::JavaHomeCandidate> candidates(homes);
    for (std::size_t i = 0; i < homes; ++i) {
        const WideString home = u"C:\\Program Files\\Java\\jdk-" + number(i);
        candidates[i].javaHome = home;
        fake::machine().libraries[home + u"\\bin\\server\\jvm.dll"].error = 193;
        fake::machine().files[home + u"\\release"] =
            std::string("IMPLEMENTOR=\"Vendor\"\r\nJAVA_VERSION=\"") + (i % 2 ? "17.0.9" : "1.8.0_392") +
            "\"\r\nJAVA_VERSION_DATE=\"2023-10-17\"\r\nOS_NAME=\"Windows\"\r\n";
    }
    return candidates;
}

void JavaMinVersionCheck(benchmark::State& state) {
    const auto homes = static_cast<std::size_t>(state.range(0));
    const std::vector<varkel::JavaHomeCandidate> candidates = fillVersionedHomes(homes);
    const varkel::JavaVersion required = *varkel::parseJavaVersion(u"11");
    std::size_t passed = 0;
    for (auto _ : state) {
        fake::machine().calls.clear();  // the fake's call log would grow with the iterations
        std::vector<varkel::FoundJava> found;
        passed = 0;
        for (const WideString& path : varkel::jvmLibraryPaths(candidates))
            if (!varkel::versionRefusal(path, required, found)) ++passed;
        benchmark::DoNotOptimize(found);
    }
    if (passed != homes / 2) state.SkipWithError("wrong number of suitable Javas");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(JavaMinVersionCheck)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// ---- The shell extension's parameter string -------------------------------------------
void ExtensionParameterString(benchmark::State& state) {
    std::vector<std::u16string> files;
    for (std::int64_t i = 0; i < state.range(0); ++i)
        files.push_back(u"C:\\Users\\someone\\Logs\\server " + number(static_cast<std::size_t>(i)) + u"\\application.log");
    for (auto _ : state) {
        std::u16string parameters = varkel::quellis::buildParameterString(files);
        benchmark::DoNotOptimize(parameters);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ExtensionParameterString)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

// ---- A selection list ("--file-list=") ------------------------------------------------
void ReadFileList(benchmark::State& state) {
    fake::reset();
    const auto paths = static_cast<std::size_t>(state.range(0));
    std::string list = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < paths; ++i) {
        list += "C:\\Users\\someone\\Logs\\server " + std::to_string(i % 40) + "\\2026-12-09\\r\xC3\xA9seau-" +
                std::to_string(i) + "-application-with-a-longer-name.log\r\n";
    }
    const WideString name = u"C:\\Users\\someone\\AppData\\Local\\Temp\\Varkel-selection-1.txt";
    fake::machine().files[name] = list;
    varkel::LaunchContext ctx;
    for (auto _ : state) {
        ctx.javaArgs.clear();
        ctx.fileLists = {{name, 0}};
        varkel::readFileLists(ctx);
        benchmark::DoNotOptimize(ctx.javaArgs);
    }
    if (ctx.javaArgs.size() != paths) state.SkipWithError("wrong number of paths");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ReadFileList)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// ---- The hand-over's request (SINGLE_INSTANCE=1) ---------------------------------
// Encoded by the later launch, decoded by the running instance: both timed.
void HandOverRequest(benchmark::State& state) {
    const auto paths = static_cast<std::size_t>(state.range(0));
    varkel::HandOverRequest request{u"C:\\Users\\someone\\Documents", {}};
    for (std::size_t i = 0; i < paths; ++i) {
        request.arguments.push_back(u"C:\\Users\\someone\\Logs\\server " + number(i % 40) +
                                    u"\\2026-12-09\\r\u00e9seau-" + number(i) + u"-application-with-a-longer-name.log");
    }
    std::size_t decoded = 0;
    for (auto _ : state) {
        std::optional<std::string> bytes = varkel::encodeHandOverRequest(request);
        std::optional<varkel::HandOverRequest> back = varkel::decodeHandOverRequest(*bytes);
        decoded = back ? back->arguments.size() : 0;
        benchmark::DoNotOptimize(back);
    }
    if (decoded != paths) state.SkipWithError("wrong number of paths");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(HandOverRequest)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
