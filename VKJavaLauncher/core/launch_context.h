// The launcher's one state record. The launch sequence fills it step by step
// on the process's main thread; every operation reads and writes its fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "java_version.h"
#include "lazy_function.h"
#include "text.h"

namespace varkel {

// The settings of the startup configuration file. Strings are absent until a
// line sets them; an empty value is a distinct state (see readStartupConfig).
struct StartupConfig {
    std::optional<WideString> javaPath;             // JAVA_PATH
    std::optional<WideString> maxMemory;            // MAX_MEMORY
    std::int32_t maxMemoryMegabytes = 0;            // computed by parseMaxMemory
    std::optional<WideString> configFile;           // CONFIG_FILE
    std::int32_t splashScreen = 1;                  // SPLASH_SCREEN
    std::int32_t console = 0;                       // CONSOLE
    std::optional<WideString> additionalClasspath;  // ADDITIONAL_CLASSPATH
    std::int32_t internalLogging = 0;               // INTERNAL_LOGGING
    std::optional<WideString> jvmExtraOptions;      // JVM_EXTRA_OPTIONS
    std::optional<WideString> javaMinVersion;       // JAVA_MIN_VERSION
    std::int32_t singleInstance = 0;                // SINGLE_INSTANCE
    // The oldest Java the launcher may load; absent for any: computed by
    // parseJavaMinVersion from a non-empty JAVA_MIN_VERSION.
    std::optional<JavaVersion> requiredJavaVersion;
};

enum class JavaBitness : std::int32_t { bits32 = 0, bits64 = 1, unknown = 2 };
enum class JavaHomeSource : std::int32_t { path = 0, javaHome = 1, registry = 2, startupConfig = 3, privateJre = 4 };

// One possible Java installation.
struct JavaHomeCandidate {
    std::optional<WideString> javaHome;    // the directory that holds "bin"
    std::optional<WideString> runtimeLib;  // registered JVM library (registry only)
    JavaBitness bitness = JavaBitness::unknown;
    JavaHomeSource source = JavaHomeSource::path;
};

using ModuleHandle = void*;

// The splash-screen library's entry points are plain C functions (the C
// calling convention in the 32-bit build too).
using SplashInitFn = void (*)();
using SplashLoadFileFn = int (*)(const char*);
using SplashSetFileJarNameFn = void (*)(const char*, const char*);
using SplashCloseFn = void (*)();

// The splash-screen library, found among the Java homes and loaded on first use.
struct SplashState {
    std::vector<WideString> libraryPaths;
    ModuleHandle library = nullptr;
    bool libraryFailed = false;  // every candidate failed: no further attempt
    // Entry points, resolved on first use and kept.
    LazyFunction<SplashInitFn> init{"SplashInit"};
    LazyFunction<SplashLoadFileFn> loadFile{"SplashLoadFile"};
    LazyFunction<SplashSetFileJarNameFn> setFileJarName{"SplashSetFileJarName"};
    LazyFunction<SplashCloseFn> close{"SplashClose"};
};

// A "--file-list=<name>" option: the name as given, and how many Java
// arguments stood before it on the command line.
struct FileListOption {
    WideString name;
    std::size_t argumentIndex = 0;
};

struct LaunchContext {
    WideString exeDirectory;
    // The current directory the launcher was started in, before it moved to
    // exeDirectory: handed over with the arguments (SINGLE_INSTANCE=1).
    WideString workingDirectory;
    std::int32_t consoleRequested = 0;
    std::optional<WideString> startupConfigName;
    WideString startupConfigPath;
    std::vector<JavaHomeCandidate> javaHomeCandidates;
    WideString commandLine;
    // Every JVM option in the order the JVM receives it (buildJvmOptions).
    std::vector<std::string> jvmOptions;
    // The Java program's arguments keep their UTF-16 text: they reach mainVK
    // through NewString, so names in any script arrive unchanged.
    std::vector<WideString> javaArgs;
    StartupConfig config;
    ModuleHandle jvmModule = nullptr;
    WideString jvmLibraryPath;
    SplashState splash;

    // "--file-list=" options in command-line order; their lines join javaArgs
    // in each option's place once the lists are read.
    std::vector<FileListOption> fileLists;
    // The extension's lists among them (full paths), deleted once the Java
    // program holds its arguments.
    std::vector<WideString> selectionListsToDelete;

    // With SINGLE_INSTANCE=1: the pipe of this installation, user and session
    // (handOverToRunningInstance), which the first instance serves.
    std::optional<WideString> handOverPipeName;
};

}  // namespace varkel
