#include "java_min_version.h"

#include "format.h"
#include "messages.h"
#include "platform.h"

namespace varkel {

namespace {

// A release file states the version in its first lines; what lies beyond
// this is never read.
constexpr std::size_t kReleaseReadLimit = std::size_t{16} * 1024;

WideString releaseFilePath(const WideString& home) {
    return home + (endsWith(home, u"\\") ? u"" : u"\\") + text::kReleaseFile;
}

std::optional<JavaVersion> releaseVersion(const WideString& home) {
    std::string bytes;
    if (platform::readFileStart(releaseFilePath(home), kReleaseReadLimit, bytes) != platform::FileReadStatus::ok)
        return std::nullopt;
    // A line that the limit cut is not taken: it might be a shortened version.
    if (bytes.size() >= kReleaseReadLimit) bytes.resize(bytes.rfind('\n') + 1);
    return releaseFileJavaVersion(bytes);
}

// The libraries of one home come one after another in the search, so a Java
// told twice (its client and its server library, or its RuntimeLib) is the
// last one noted.
void noteFound(std::vector<FoundJava>& found, const JavaVersion& version, const WideString& home) {
    if (!found.empty() && found.back().home == home && found.back().version == version.text) return;
    found.push_back({version.text, home});
}

}  // namespace

std::optional<WideString> parseJavaMinVersion(StartupConfig& config, const WideString& configFilePath) {
    config.requiredJavaVersion.reset();
    if (!config.javaMinVersion || config.javaMinVersion->empty()) return std::nullopt;
    config.requiredJavaVersion = parseJavaVersion(*config.javaMinVersion);
    if (config.requiredJavaVersion) return std::nullopt;
    return formatMessage(text::kJavaMinVersionInvalid, {*config.javaMinVersion, configFilePath});
}

std::vector<WideString> javaHomesOfLibrary(WideView libraryPath) {
    const WideString bin = removeFileSpec(removeFileSpec(libraryPath));
    if (!endsWithIgnoreCase(bin, text::kBinFolder)) return {};
    std::vector<WideString> homes{removeFileSpec(bin)};
    if (endsWithIgnoreCase(homes.front(), text::kJreFolder)) homes.push_back(removeFileSpec(homes.front()));
    return homes;
}

LibraryJavaVersion libraryJavaVersion(const WideString& libraryPath) {
    const std::vector<WideString> homes = javaHomesOfLibrary(libraryPath);
    for (const WideString& home : homes)
        if (auto version = releaseVersion(home)) return {std::move(version), home};
    // Only here, with no release file to tell, is the version resource read
    // (and the system library that reads it loaded).
    LibraryJavaVersion told;
    told.home = homes.empty() ? removeFileSpec(libraryPath) : homes.front();
    if (auto parts = platform::fileProductVersion(libraryPath)) told.version = productVersionJavaVersion(*parts);
    return told;
}

std::optional<WideString> versionRefusal(const WideString& libraryPath, const JavaVersion& required,
                                         std::vector<FoundJava>& found) {
    if (!platform::pathExists(libraryPath)) return WideString(text::kError126);
    LibraryJavaVersion told = libraryJavaVersion(libraryPath);
    if (!told.version) return WideString(text::kJavaVersionUnreadable);
    noteFound(found, *told.version, told.home);
    if (compareJavaVersions(*told.version, required) >= 0) return std::nullopt;
    return formatMessage(text::kJavaTooOld, {told.version->text, required.text});
}

}  // namespace varkel
