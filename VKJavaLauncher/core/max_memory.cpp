#include "max_memory.h"

#include <cstdint>
#include <limits>

#include "build_constants.h"
#include "format.h"
#include "messages.h"

namespace varkel {

namespace {
constexpr std::int32_t kGigabyte = 1000;  // a "G" counts 1000 megabytes
constexpr std::int32_t k32BitLimitMegabytes = 2000;
constexpr std::int64_t kCountCap = std::numeric_limits<std::int32_t>::max();
}  // namespace

std::optional<std::int32_t> maxMemoryMegabytes(WideView text) {
    if (text.size() < 2) return std::nullopt;
    std::int64_t factor;
    switch (text.back()) {
        case u'm': case u'M': factor = 1; break;
        case u'g': case u'G': factor = kGigabyte; break;
        default: return std::nullopt;
    }
    // Saturating arithmetic: a count beyond the 32-bit range never wraps into a
    // small one, it stays "2000 or more".
    std::int64_t count = 0;
    for (char16_t c : text.substr(0, text.size() - 1)) {
        if (c < u'0' || c > u'9') return std::nullopt;
        count = std::min(count * 10 + (c - u'0'), kCountCap);
    }
    return static_cast<std::int32_t>(std::min(count * factor, kCountCap));
}

std::optional<WideString> parseMaxMemory(StartupConfig& config, const WideString& configFilePath) {
    const WideString value = config.maxMemory.value_or(WideString());
    std::optional<std::int32_t> megabytes = maxMemoryMegabytes(value);
    if (!megabytes) return formatMessage(text::kMaxMemoryInvalid, {value, configFilePath});
    config.maxMemoryMegabytes = *megabytes;
    if (kIs32BitBuild && *megabytes >= k32BitLimitMegabytes)
        return formatMessage(text::kMaxMemory32BitLimit, {value, configFilePath});
    return std::nullopt;
}

}  // namespace varkel
