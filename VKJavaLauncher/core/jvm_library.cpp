#include "jvm_library.h"

#include "build_constants.h"
#include "format.h"
#include "messages.h"
#include "platform.h"
#include "respawn.h"
#include "user_messages.h"

namespace varkel {

namespace {

constexpr std::uint32_t kErrorModuleNotFound = 126;
constexpr std::uint32_t kErrorBadExeFormat = 193;

// The directory that holds the JVM's neighbour libraries: "...\bin" for
// "...\bin\server\jvm.dll".
WideString jvmDllDirectory(const WideString& libraryPath) { return removeFileSpec(removeFileSpec(libraryPath)); }

struct LoadAttempt {
    WideString report;
    bool wrongBitness = false;
};

void recordFailure(LoadAttempt& attempt, const WideString& path, std::uint32_t error) {
    if (error == kErrorBadExeFormat) attempt.wrongBitness = true;
    if (attempt.report.empty()) attempt.report = formatMessage(text::kErrorReportHeader, {kProcessBits});
    attempt.report += formatMessage(text::kErrorReportItem, {path, loadErrorItem(error)});
}

[[noreturn]] void explainNoJvm(LaunchContext& ctx, LoadAttempt& attempt) {
    if (attempt.wrongBitness && kIs32BitBuild) {
        if (respawnIn64BitMode(ctx)) platform::exitProcess(kExitRespawned);
        attempt.report += text::kRespawnFailed;
        attempt.report += lastErrorText();
    }
    WideString summary = javaNotFoundSummary(attempt.wrongBitness, ctx.startupConfigPath);
    if (platform::messageBox(summary, text::kCaption, text::kStyleErrorYesNo) == text::kAnswerYes)
        showFatalError(ctx, attempt.report, kExitStartupFailure);
    platform::exitProcess(kExitStartupFailure);
}

}  // namespace

std::vector<WideString> jvmLibraryPaths(const std::vector<JavaHomeCandidate>& candidates) {
    std::vector<WideString> paths;
    for (const JavaHomeCandidate& c : candidates) {
        if (c.runtimeLib) paths.push_back(*c.runtimeLib);
        if (c.javaHome) {
            // The client library is tried before the server library.
            for (const char16_t* suffix : {text::kJvmClient, text::kJvmServer, text::kJreJvmClient, text::kJreJvmServer})
                paths.push_back(concatWide(*c.javaHome, suffix));
        }
    }
    removeDuplicates(paths);
    return paths;
}

WideString loadErrorItem(std::uint32_t error) {
    switch (error) {
        case kErrorModuleNotFound: return text::kError126;
        case kErrorBadExeFormat: return formatMessage(text::kError193, {kOtherBits, kProcessBits});
        default: return errorText(error);
    }
}

WideString javaNotFoundSummary(bool wrongBitness, const WideString& startupConfigPath) {
    WideString solutions;
    if (wrongBitness) {
        const char16_t* suffix = kOtherBits == 64 ? u"-64" : u"";
        solutions = formatMessage(text::kRunOtherBuild, {kOtherBits, suffix, kOtherBits});
    }
    return formatMessage(text::kJavaNotFoundSummary,
                         {kProcessBits, kProcessBits, solutions, kProcessBits, startupConfigPath, kProcessBits});
}

void loadJvmLibrary(LaunchContext& ctx) {
    std::vector<WideString> paths = jvmLibraryPaths(ctx.javaHomeCandidates);
    if (paths.empty()) {
        showFatalError(ctx, formatMessage(text::kJavaNotInstalled, {text::kJavaDownloadAddress, text::kProductAddress}),
                       kExitStartupFailure);
    }
    LoadAttempt attempt;
    for (const WideString& path : paths) {
        ctx.jvmLibraryPath = path;
        // The JVM finds the libraries beside it through the DLL directory; it
        // stays set after success.
        platform::setDllDirectory(jvmDllDirectory(path));
        if (ModuleHandle module = platform::loadLibrary(path)) {
            ctx.jvmModule = module;
            return;
        }
        recordFailure(attempt, path, platform::lastError());
    }
    explainNoJvm(ctx, attempt);
}

}  // namespace varkel
