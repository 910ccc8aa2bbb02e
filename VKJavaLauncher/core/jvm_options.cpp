#include "jvm_options.h"

#include "command_line.h"
#include "messages.h"

namespace varkel {

namespace {

bool isSet(const std::optional<WideString>& value) { return value && !value->empty(); }

// How a row of the option table turns its setting into options.
enum class OptionRule {
    classPath,      // the class path option, from the archives and ADDITIONAL_CLASSPATH
    prefixed,       // text + the setting (an absent setting adds nothing to the text)
    prefixedOrEmpty,  // text + the setting when it is set, otherwise an empty slot
    constant,       // the text alone
    split,          // the setting split like a command line, one option per word, when present
    flagged,        // the text when the flag is 1, otherwise nothing
};

struct OptionRow {
    OptionRule rule;
    const char* text = nullptr;
    std::optional<WideString> StartupConfig::*setting = nullptr;
    std::int32_t StartupConfig::*flag = nullptr;
};

// The JVM options in the order the JVM receives them. A startup.conf key
// that becomes a JVM option is one row here (and its field and key name in
// the configuration reader).
constexpr OptionRow kOptionRows[] = {
    {OptionRule::classPath},
    {OptionRule::prefixed, text::kMaxHeapPrefix, &StartupConfig::maxMemory},
    {OptionRule::prefixedOrEmpty, text::kConfigFilePrefix, &StartupConfig::configFile},
    {OptionRule::constant, text::kLibraryPathOption},
    {OptionRule::split, nullptr, &StartupConfig::jvmExtraOptions},
    {OptionRule::flagged, text::kLoggingOption, nullptr, &StartupConfig::internalLogging},
};

void appendOptions(const OptionRow& row, const StartupConfig& config, const std::vector<WideString>& libraryJars,
                   std::vector<std::string>& options) {
    switch (row.rule) {
        case OptionRule::classPath:
            options.push_back(buildClassPathOption(config, libraryJars));
            return;
        case OptionRule::prefixed:
            options.push_back(row.text + toNarrow((config.*row.setting).value_or(WideString())));
            return;
        case OptionRule::prefixedOrEmpty:
            options.push_back(isSet(config.*row.setting) ? row.text + toNarrow(*(config.*row.setting)) : std::string());
            return;
        case OptionRule::constant:
            options.emplace_back(row.text);
            return;
        case OptionRule::split:
            if (!(config.*row.setting)) return;
            for (const WideString& token : splitArguments(*(config.*row.setting))) options.push_back(toNarrow(token));
            return;
        case OptionRule::flagged:
            if (config.*row.flag == 1) options.emplace_back(row.text);
            return;
    }
}

}  // namespace

std::vector<std::string> buildJvmOptions(const StartupConfig& config, const std::vector<WideString>& libraryJars) {
    std::vector<std::string> options;
    for (const OptionRow& row : kOptionRows) appendOptions(row, config, libraryJars, options);
    return options;
}

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

void normaliseJavaPath(std::optional<WideString>& javaPath) {
    if (!isSet(javaPath)) return;
    if (endsWith(*javaPath, u"\\")) javaPath->pop_back();
    if (endsWith(*javaPath, u"\\bin")) javaPath->resize(javaPath->size() - 4);
}

}  // namespace varkel
