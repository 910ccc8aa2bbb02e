#include "jvm_library.h"

#include <algorithm>

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
// The Javas a summary names at most; a longer list would not fit a box.
constexpr std::size_t kListedJavasLimit = 10;

// The directory that holds the JVM's neighbour libraries: "...\bin" for
// "...\bin\server\jvm.dll".
WideString jvmDllDirectory(const WideString& libraryPath) { return removeFileSpec(removeFileSpec(libraryPath)); }

struct LoadAttempt {
    WideString report;
    bool wrongBitness = false;
    std::vector<FoundJava> found;  // with JAVA_MIN_VERSION: every Java whose version was told
};

void recordItem(LoadAttempt& attempt, const WideString& path, const WideString& item) {
    if (attempt.report.empty()) attempt.report = formatMessage(text::kErrorReportHeader, {kProcessBits});
    attempt.report += formatMessage(text::kErrorReportItem, {path, item});
}

void recordFailure(LoadAttempt& attempt, const WideString& path, std::uint32_t error) {
    // Only a library that was tried can set the flag: with a minimum, one of
    // the other bitness is tried only when its version meets it, so the
    // 32-bit build hands over only where the 64-bit one can load a suitable Java.
    if (error == kErrorBadExeFormat) attempt.wrongBitness = true;
    recordItem(attempt, path, loadErrorItem(error));
}

WideString otherBuildSolution(bool wrongBitness) {
    if (!wrongBitness) return WideString();
    const char16_t* suffix = kOtherBits == 64 ? u"-64" : u"";
    return formatMessage(text::kRunOtherBuild, {kOtherBits, suffix, kOtherBits});
}

WideString summaryFor(const LaunchContext& ctx, const LoadAttempt& attempt) {
    if (const auto& required = ctx.config.requiredJavaVersion)
        return javaTooOldSummary(*required, attempt.wrongBitness, attempt.found, ctx.startupConfigPath);
    return javaNotFoundSummary(attempt.wrongBitness, ctx.startupConfigPath);
}

[[noreturn]] void explainNoJvm(LaunchContext& ctx, LoadAttempt& attempt) {
    if (attempt.wrongBitness && kIs32BitBuild) {
        if (respawnIn64BitMode(ctx)) platform::exitProcess(kExitRespawned);
        attempt.report += text::kRespawnFailed;
        attempt.report += lastErrorText();
    }
    WideString summary = summaryFor(ctx, attempt);
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
    return formatMessage(text::kJavaNotFoundSummary, {kProcessBits, kProcessBits, otherBuildSolution(wrongBitness),
                                                      kProcessBits, startupConfigPath, kProcessBits});
}

WideString javaTooOldSummary(const JavaVersion& required, bool wrongBitness, const std::vector<FoundJava>& found,
                             const WideString& startupConfigPath) {
    WideString list;
    const std::size_t listed = std::min(found.size(), kListedJavasLimit);
    for (std::size_t i = 0; i < listed; ++i) list += formatMessage(text::kJavaFoundItem, {found[i].version, found[i].home});
    if (found.size() > listed) list += formatMessage(text::kMoreJavaFound, {static_cast<std::int32_t>(found.size() - listed)});
    if (found.empty()) list = text::kNoJavaFound;
    return formatMessage(text::kJavaTooOldSummary,
                         {required.text, kProcessBits, kProcessBits, list, otherBuildSolution(wrongBitness), kProcessBits,
                          required.text, startupConfigPath, required.text, kProcessBits});
}

void loadJvmLibrary(LaunchContext& ctx) {
    std::vector<WideString> paths = jvmLibraryPaths(ctx.javaHomeCandidates);
    if (paths.empty()) {
        showFatalError(ctx, formatMessage(text::kJavaNotInstalled, {text::kJavaDownloadAddress, text::kProductAddress}),
                       kExitStartupFailure);
    }
    LoadAttempt attempt;
    const std::optional<JavaVersion>& required = ctx.config.requiredJavaVersion;
    for (const WideString& path : paths) {
        // An older Java, or one whose version cannot be told, is never loaded.
        if (required) {
            if (auto refusal = versionRefusal(path, *required, attempt.found)) {
                recordItem(attempt, path, *refusal);
                continue;
            }
        }
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
