#include "startup_config.h"

#include "format.h"
#include "messages.h"
#include "platform.h"
#include "user_messages.h"

namespace varkel {

namespace {

// In the C runtime's text mode, byte 0x1A (Ctrl-Z) marks the end of a file.
constexpr char kTextModeEndOfFile = '\x1A';

std::int32_t flagValue(const WideString& value) { return value == u"1" ? 1 : 0; }

void storeSetting(const WideString& key, const WideString& value, StartupConfig& config) {
    if (key == u"JAVA_PATH") config.javaPath = value;
    else if (key == u"MAX_MEMORY") config.maxMemory = value;
    else if (key == u"CONFIG_FILE") config.configFile = value;
    else if (key == u"SPLASH_SCREEN") config.splashScreen = flagValue(value);
    else if (key == u"CONSOLE") config.console = flagValue(value);
    else if (key == u"ADDITIONAL_CLASSPATH") config.additionalClasspath = value;
    else if (key == u"INTERNAL_LOGGING") config.internalLogging = flagValue(value);
    else if (key == u"JVM_EXTRA_OPTIONS") config.jvmExtraOptions = value;
    else if (key == u"JAVA_MIN_VERSION") config.javaMinVersion = value;
    else if (key == u"SINGLE_INSTANCE") config.singleInstance = flagValue(value);
    // Any other key is ignored without a message.
}

void setDefaults(StartupConfig& config) {
    std::int32_t megabytes = config.maxMemoryMegabytes;  // not the reader's
    config = StartupConfig{};
    config.maxMemoryMegabytes = megabytes;
}

}  // namespace

void applyStartupConfigLine(WideView line, StartupConfig& config) {
    // A NUL ends the line as the C string functions see it.
    line = line.substr(0, line.find(u'\0'));
    WideString probe = skipLeadingSpaces(line);
    if (!probe.empty() && probe.front() == u'#') return;
    // The key is the text before the first "=" once any "=" at the very start
    // are skipped; the value is everything after that "=", line end included.
    std::size_t keyStart = line.find_first_not_of(u'=');
    if (keyStart == WideView::npos) return;  // only "=" characters
    std::size_t equals = line.find(u'=', keyStart);
    if (equals == WideView::npos || equals + 1 >= line.size()) return;  // no "=", or nothing after it
    WideString key = trimSpaces(line.substr(keyStart, equals - keyStart));
    WideString value = trimSpaces(line.substr(equals + 1));
    storeSetting(key, value, config);
}

void applyStartupConfigText(std::string_view bytes, StartupConfig& config) {
    bytes = bytes.substr(0, bytes.find(kTextModeEndOfFile));
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        std::string_view line = bytes.substr(start, next - start);
        // Text mode turns CR LF into LF.
        if (line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n') {
            applyStartupConfigLine(widenBytes(std::string(line.substr(0, line.size() - 2)) + "\n"), config);
        } else {
            applyStartupConfigLine(widenBytes(line), config);
        }
        start = next;
    }
}

bool readStartupConfig(const WideString& path, StartupConfig& config) {
    setDefaults(config);
    std::string bytes;
    switch (platform::readWholeFile(path, bytes)) {
        case platform::FileReadStatus::openFailed:
            showErrorBox(formatMessage(text::kUnableToOpenConfig, {path}));
            return false;
        case platform::FileReadStatus::readFailed:
            // What was read before the error still counts.
            applyStartupConfigText(bytes, config);
            showErrorBox(formatMessage(text::kErrorReadingConfig, {path}));
            return false;
        case platform::FileReadStatus::ok:
            break;
    }
    applyStartupConfigText(bytes, config);
    return true;
}

}  // namespace varkel
