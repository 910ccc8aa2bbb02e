// The heap-limit parser on arbitrary text, against an independent reading.
//
// The reference: digits (at least one) then one of "mMgG"; the count in
// megabytes (a "G" is 1000) held at the 32-bit maximum. Leading zeros are
// dropped before the digits are counted, so a long run of zeros is no
// overflow, and a count of more than ten significant digits is over the cap
// whatever its value.
#include <cstdint>
#include <limits>
#include <optional>

#include "fuzz_text.h"
#include "max_memory.h"

namespace {

constexpr std::int64_t kCap = std::numeric_limits<std::int32_t>::max();

std::optional<std::int32_t> reference(std::u16string_view text) {
    if (text.size() < 2) return std::nullopt;
    const char16_t unit = text.back();
    std::int64_t factor = 0;
    if (unit == u'm' || unit == u'M') factor = 1;
    else if (unit == u'g' || unit == u'G') factor = 1000;
    else return std::nullopt;
    std::u16string_view digits = text.substr(0, text.size() - 1);
    for (char16_t c : digits)
        if (c < u'0' || c > u'9') return std::nullopt;
    while (!digits.empty() && digits.front() == u'0') digits.remove_prefix(1);
    if (digits.size() > 10) return static_cast<std::int32_t>(kCap);
    std::int64_t count = 0;
    for (char16_t c : digits) count = count * 10 + (c - u'0');
    const std::int64_t megabytes = count * factor;  // at most 9,999,999,999,000: no overflow
    return static_cast<std::int32_t>(megabytes > kCap ? kCap : megabytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const varkel::WideString text = fuzz::wideText(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::require(varkel::maxMemoryMegabytes(text) == reference(text), "the count agrees with the reference reading");

    varkel::StartupConfig config;
    config.maxMemory = text;
    const std::optional<varkel::WideString> refusal = varkel::parseMaxMemory(config, u"C:\\Varkel\\startup.conf");
    // This build is the 64-bit one: only an invalid text is refused.
    fuzz::require(refusal.has_value() == !reference(text).has_value(), "only an invalid text is refused");
    if (!refusal) fuzz::require(config.maxMemoryMegabytes == *reference(text), "the accepted count is stored");
    return 0;
}
