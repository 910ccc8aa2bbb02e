// The startup configuration reader on arbitrary file contents.
//
// Properties: every stored text is trimmed and free of NUL and line feeds; the
// flags are 0 or 1; writing the record back as "KEY=value" lines and reading
// that gives the same record (nothing a line sets is lost or altered by the
// reader's handling of ends of lines, comments and "="); a heap-limit text it
// stored is either a count or refused, never a crash.
#include <cstdint>
#include <string>

#include "fuzz_text.h"
#include "launch_context.h"
#include "max_memory.h"
#include "startup_config.h"

namespace {

using varkel::StartupConfig;
using varkel::WideString;

struct TextField {
    const char* key;
    std::optional<WideString> StartupConfig::*field;
};
constexpr TextField kTextFields[] = {
    {"JAVA_PATH", &StartupConfig::javaPath},
    {"MAX_MEMORY", &StartupConfig::maxMemory},
    {"CONFIG_FILE", &StartupConfig::configFile},
    {"ADDITIONAL_CLASSPATH", &StartupConfig::additionalClasspath},
    {"JVM_EXTRA_OPTIONS", &StartupConfig::jvmExtraOptions},
};
struct FlagField {
    const char* key;
    std::int32_t StartupConfig::*field;
};
constexpr FlagField kFlagFields[] = {
    {"SPLASH_SCREEN", &StartupConfig::splashScreen},
    {"CONSOLE", &StartupConfig::console},
    {"INTERNAL_LOGGING", &StartupConfig::internalLogging},
};

// The file's bytes are Latin-1: each character below U+0100 is one byte.
std::string latin1(const WideString& text) {
    std::string bytes;
    for (char16_t c : text) {
        fuzz::require(c <= 0xFF, "the reader stores only characters of the file's 8-bit encoding");
        bytes.push_back(static_cast<char>(c));
    }
    return bytes;
}

std::string writeBack(const StartupConfig& config) {
    std::string file = "# written back by the fuzzer\r\n";
    for (const TextField& f : kTextFields)
        if (const auto& value = config.*f.field) file += std::string(f.key) + "=" + latin1(*value) + "\n";
    for (const FlagField& f : kFlagFields)
        file += std::string(f.key) + "=" + std::to_string(config.*f.field) + "\r\n";
    return file;
}

bool sameRecord(const StartupConfig& a, const StartupConfig& b) {
    for (const TextField& f : kTextFields)
        if (a.*f.field != b.*f.field) return false;
    for (const FlagField& f : kFlagFields)
        if (a.*f.field != b.*f.field) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    StartupConfig config;
    varkel::applyStartupConfigText(bytes, config);

    for (const TextField& f : kTextFields) {
        const auto& value = config.*f.field;
        if (!value || value->empty()) continue;
        fuzz::require(value->find(u'\0') == WideString::npos, "no NUL in a stored value");
        fuzz::require(value->find(u'\n') == WideString::npos, "no line feed in a stored value");
        fuzz::require(!varkel::isCSpace(value->front()) && !varkel::isCSpace(value->back()), "stored values are trimmed");
    }
    for (const FlagField& f : kFlagFields) {
        const std::int32_t flag = config.*f.field;
        fuzz::require(flag == 0 || flag == 1, "flags are 0 or 1");
    }

    StartupConfig reread;
    varkel::applyStartupConfigText(writeBack(config), reread);
    fuzz::require(sameRecord(config, reread), "the record survives being written back and read again");

    if (config.maxMemory) (void)varkel::maxMemoryMegabytes(*config.maxMemory);
    return 0;
}
