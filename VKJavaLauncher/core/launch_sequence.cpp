#include "launch_sequence.h"

#include "command_line.h"
#include "console_mode.h"
#include "file_lists.h"
#include "format.h"
#include "java_homes.h"
#include "java_min_version.h"
#include "java_program.h"
#include "jvm_library.h"
#include "jvm_options.h"
#include "library_jars.h"
#include "max_memory.h"
#include "messages.h"
#include "platform.h"
#include "single_instance.h"
#include "splash_screen.h"
#include "startup_config.h"
#include "user_messages.h"

namespace varkel {

namespace {

// The executable's directory becomes the current directory, so the relative
// names of the installation ("lib", "classes", the configuration file, the
// splash image) resolve against it wherever the launcher was started from.
void enterExecutableDirectory(LaunchContext& ctx) {
    ctx.workingDirectory = platform::currentDirectory();
    ctx.exeDirectory = executableDirectory();
    if (!platform::changeDirectory(ctx.exeDirectory))
        showFatalError(ctx, formatMessage(text::kUnableToChangeDirectory, {ctx.exeDirectory}), kExitStartupFailure);
    if (endsWith(ctx.exeDirectory, u"\\")) ctx.exeDirectory.pop_back();
    if (!ctx.startupConfigName) ctx.startupConfigName = WideString(text::kDefaultConfigName);
    ctx.startupConfigPath = formatMessage(text::kConfigPathFormat, {ctx.exeDirectory, *ctx.startupConfigName});
}

void readConfiguration(LaunchContext& ctx) {
    // The name, not the full path, is opened: an absolute "--conf=" name is
    // used as given.
    if (!readStartupConfig(*ctx.startupConfigName, ctx.config)) platform::exitRuntime(kExitStartupFailure);
    normaliseJavaPath(ctx.config.javaPath);
    // Before the search, which it changes.
    if (auto message = parseJavaMinVersion(ctx.config, ctx.startupConfigPath))
        showFatalError(ctx, *message, kExitInvalidSetting);
}

void prepareJvmOptions(LaunchContext& ctx) {
    std::vector<WideString> libraryJars = listLibraryJarEntries(text::kLibDirectory);
    if (!ctx.config.maxMemory || ctx.config.maxMemory->empty()) ctx.config.maxMemory = WideString(text::kDefaultMaxMemory);
    if (auto message = parseMaxMemory(ctx.config, ctx.startupConfigPath))
        showFatalError(ctx, *message, kExitInvalidSetting);
    ctx.jvmOptions = buildJvmOptions(ctx.config, libraryJars);
}

void showSplashWhenWanted(LaunchContext& ctx) {
    if (!splashWanted(ctx)) return;
    std::vector<WideString> candidates = listSplashLibraryCandidates(ctx);
    removeDuplicates(candidates);
    showSplashScreen(ctx, text::kSplashImage, std::move(candidates));
}

}  // namespace

WideString executableDirectory() {
    WideString path = platform::executablePath();
    std::size_t slash = path.rfind(u'\\');
    return slash == WideString::npos ? WideString() : path.substr(0, slash + 1);
}

void runLaunchSequence(LaunchContext& ctx, WideView commandLine) {
    ctx.commandLine = WideString(commandLine);  // kept unparsed for the 64-bit build
    parseCommandLine(ctx, ctx.commandLine);
    enterExecutableDirectory(ctx);
    readFileLists(ctx);  // relative names resolve in the executable's directory, as "--conf=" names do
    readConfiguration(ctx);
    handOverToRunningInstance(ctx);  // SINGLE_INSTANCE=1: may end here, before any Java is looked for
    collectJavaHomes(ctx);
    loadJvmLibrary(ctx);
    if (consoleWanted(ctx)) createConsole(ctx);
    prepareJvmOptions(ctx);
    showSplashWhenWanted(ctx);
    std::int32_t result = runJavaProgram(ctx);
    if (waitsForConsoleKey(ctx)) {
        waitForConsoleKey();
        platform::freeConsole();
    }
    platform::exitRuntime(result);
}

}  // namespace varkel
