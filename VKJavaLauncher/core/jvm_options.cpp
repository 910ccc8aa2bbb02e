#include "jvm_options.h"

#include "command_line.h"
#include "messages.h"

namespace varkel {

namespace {
bool isSet(const std::optional<WideString>& value) { return value && !value->empty(); }
}  // namespace

std::string buildClassPathOption(const StartupConfig& config, const std::vector<WideString>& libraryJars) {
    std::string option = text::kClassPathPrefix;
    option += text::kDefaultClassPath;
    option += text::kClassPathSeparator;
    // The separator before the archives stands even when there are none.
    bool first = true;
    for (const WideString& jar : libraryJars) {
        auto narrow = toNarrowIfLatin1(jar);
        if (!narrow) continue;
        if (!first) option += text::kClassPathSeparator;
        option += *narrow;
        first = false;
    }
    if (isSet(config.additionalClasspath)) {
        option += text::kClassPathSeparator;
        option += toNarrow(*config.additionalClasspath);
    }
    return option;
}

std::string buildConfigFileOption(const StartupConfig& config) {
    if (!isSet(config.configFile)) return std::string();
    return text::kConfigFilePrefix + toNarrow(*config.configFile);
}

std::string buildMaxHeapOption(const StartupConfig& config) {
    return text::kMaxHeapPrefix + toNarrow(config.maxMemory.value_or(WideString()));
}

std::optional<std::string> buildLoggingOption(const StartupConfig& config) {
    if (config.internalLogging != 1) return std::nullopt;
    return std::string(text::kLoggingOption);
}

std::vector<std::string> buildExtraOptions(const StartupConfig& config) {
    std::vector<std::string> options;
    if (!config.jvmExtraOptions) return options;
    for (const WideString& token : splitArguments(*config.jvmExtraOptions)) options.push_back(toNarrow(token));
    return options;
}

void normaliseJavaPath(std::optional<WideString>& javaPath) {
    if (!isSet(javaPath)) return;
    if (endsWith(*javaPath, u"\\")) javaPath->pop_back();
    if (endsWith(*javaPath, u"\\bin")) javaPath->resize(javaPath->size() - 4);
}

}  // namespace varkel
