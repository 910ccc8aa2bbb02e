#include "java_homes.h"

#include "messages.h"
#include "platform.h"

namespace varkel {

namespace {

JavaHomeCandidate homeCandidate(WideString home, JavaHomeSource source) {
    JavaHomeCandidate candidate;
    candidate.javaHome = std::move(home);
    candidate.bitness = JavaBitness::unknown;
    candidate.source = source;
    return candidate;
}

std::optional<JavaHomeCandidate> registryCandidate(platform::RegistryView view) {
    const WideString key = text::kJavaRegistryKey;
    auto version = platform::readMachineRegistryString(view, key, u"CurrentVersion");
    if (!version) return std::nullopt;
    const WideString versionKey = key + u"\\" + *version;
    JavaHomeCandidate candidate;
    candidate.javaHome = platform::readMachineRegistryString(view, versionKey, u"JavaHome");
    candidate.runtimeLib = platform::readMachineRegistryString(view, versionKey, u"RuntimeLib");
    if (!candidate.javaHome && !candidate.runtimeLib) return std::nullopt;
    candidate.bitness = view == platform::RegistryView::view32 ? JavaBitness::bits32 : JavaBitness::bits64;
    candidate.source = JavaHomeSource::registry;
    return candidate;
}

void append(std::vector<JavaHomeCandidate>& to, std::vector<JavaHomeCandidate> from) {
    for (auto& c : from) to.push_back(std::move(c));
}

}  // namespace

std::vector<JavaHomeCandidate> javaPathFromStartupConf(const StartupConfig& config) {
    if (!config.javaPath || config.javaPath->empty()) return {};
    return {homeCandidate(*config.javaPath, JavaHomeSource::startupConfig)};
}

std::vector<JavaHomeCandidate> javaPathFromPrivateJRE(const WideString& exeDirectory) {
    WideString jre = exeDirectory + u"\\" + text::kPrivateJre;
    if (!platform::pathExists(jre)) return {};
    return {homeCandidate(std::move(jre), JavaHomeSource::privateJre)};
}

std::vector<JavaHomeCandidate> javaPathsFromRegistry() {
    std::vector<JavaHomeCandidate> found;
    for (auto view : {platform::RegistryView::view32, platform::RegistryView::view64})
        if (auto candidate = registryCandidate(view)) found.push_back(std::move(*candidate));
    return found;
}

std::vector<JavaHomeCandidate> javaPathFromJAVAHOME() {
    auto home = platform::environmentVariable(u"JAVA_HOME");
    if (!home || home->empty()) return {};
    // Taken as it stands: no backslash or "\bin" is removed.
    return {homeCandidate(std::move(*home), JavaHomeSource::javaHome)};
}

std::vector<JavaHomeCandidate> javaPathsFromPATH() {
    const WideString systemDirectory = platform::systemDirectory().value_or(WideString());
    auto path = platform::environmentVariable(u"PATH");
    if (!path) return {};
    std::vector<JavaHomeCandidate> found;
    std::size_t start = 0;
    while (start <= path->size()) {
        std::size_t end = path->find(u';', start);
        if (end == WideString::npos) end = path->size();
        WideString entry = path->substr(start, end - start);
        start = end + 1;
        if (entry.empty()) continue;
        if (endsWith(entry, u"\\")) entry.pop_back();
        // The system directory may hold a java.exe stub that is no Java home.
        if (entry == systemDirectory) continue;
        if (!platform::pathExists(entry + u"\\" + text::kJavaExe)) continue;
        if (endsWith(entry, u"\\bin")) entry.resize(entry.size() - 4);
        found.push_back(homeCandidate(std::move(entry), JavaHomeSource::path));
    }
    return found;
}

void collectJavaHomes(LaunchContext& ctx) {
    std::vector<JavaHomeCandidate> candidates = javaPathFromStartupConf(ctx.config);
    // An explicit JAVA_PATH overrides every other source.
    if (candidates.empty()) {
        append(candidates, javaPathFromPrivateJRE(ctx.exeDirectory));
        append(candidates, javaPathsFromRegistry());
        append(candidates, javaPathFromJAVAHOME());
        append(candidates, javaPathsFromPATH());
        // Last, so that every machine on which the sources above find a Java
        // keeps that Java.
        append(candidates, javaPathsFromInstallerRegistry());
    }
    ctx.javaHomeCandidates = std::move(candidates);
}

}  // namespace varkel
