#include "hand_over_request.h"

#include <array>

namespace varkel {

namespace {

constexpr std::string_view kRequestMagic = "VKHO";
constexpr std::string_view kAnswerMagic = "VKHA";
constexpr std::size_t kNumberBytes = 4;
constexpr std::uint64_t kFnvOffset = 0xCBF29CE484222325ull;
constexpr std::uint64_t kFnvPrime = 0x100000001B3ull;
constexpr const char16_t* kPipePrefix = u"\\\\.\\pipe\\Varkel-";

void appendNumber(std::string& out, std::uint32_t value) {
    for (std::size_t i = 0; i < kNumberBytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

void appendText(std::string& out, WideView text) {
    appendNumber(out, static_cast<std::uint32_t>(text.size()));
    // Written into place: the largest requests hold millions of units.
    std::size_t at = out.size();
    out.resize(at + 2 * text.size());
    for (char16_t unit : text) {
        out[at++] = static_cast<char>(unit & 0xFFu);
        out[at++] = static_cast<char>(unit >> 8);
    }
}

// Reads the payload front to back; any read past its end fails it for good.
class PayloadReader {
public:
    explicit PayloadReader(std::string_view bytes) : bytes_(bytes) {}

    std::optional<std::uint32_t> number() {
        if (bytes_.size() - at_ < kNumberBytes) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < kNumberBytes; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
        at_ += kNumberBytes;
        return value;
    }

    std::optional<WideString> text() {
        std::optional<std::uint32_t> length = number();
        if (!length || *length > kHandOverMaxTextUnits || (bytes_.size() - at_) / 2 < *length) return std::nullopt;
        WideString out(*length, u'\0');
        for (char16_t& unit : out) {
            unit = static_cast<char16_t>(static_cast<unsigned char>(bytes_[at_]) |
                                         (static_cast<unsigned char>(bytes_[at_ + 1]) << 8));
            if (unit == u'\0') return std::nullopt;  // no Windows path or argument holds one
            at_ += 2;
        }
        return out;
    }

    bool atEnd() const { return at_ == bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

std::uint64_t hashBytes(std::uint64_t hash, std::string_view bytes) {
    for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * kFnvPrime;
    return hash;
}

}  // namespace

std::optional<std::string> encodeHandOverRequest(const HandOverRequest& request) {
    if (request.arguments.size() > kHandOverMaxArguments || request.workingDirectory.size() > kHandOverMaxTextUnits)
        return std::nullopt;
    std::size_t payload = 2 * kNumberBytes + 2 * request.workingDirectory.size();
    for (const WideString& argument : request.arguments) {
        if (argument.size() > kHandOverMaxTextUnits) return std::nullopt;
        payload += kNumberBytes + 2 * argument.size();
    }
    if (payload > kHandOverMaxPayloadBytes) return std::nullopt;
    std::string out;
    out.reserve(kHandOverHeaderBytes + payload);
    out += kRequestMagic;
    appendNumber(out, kHandOverVersion);
    appendNumber(out, static_cast<std::uint32_t>(payload));
    appendText(out, request.workingDirectory);
    appendNumber(out, static_cast<std::uint32_t>(request.arguments.size()));
    for (const WideString& argument : request.arguments) appendText(out, argument);
    return out;
}

std::optional<std::uint32_t> handOverPayloadSize(std::string_view header) {
    if (header.size() < kHandOverHeaderBytes || header.substr(0, kRequestMagic.size()) != kRequestMagic)
        return std::nullopt;
    PayloadReader reader(header.substr(kRequestMagic.size(), 2 * kNumberBytes));
    std::optional<std::uint32_t> version = reader.number();
    std::optional<std::uint32_t> size = reader.number();
    if (version != kHandOverVersion || !size || *size > kHandOverMaxPayloadBytes) return std::nullopt;
    return size;
}

std::optional<HandOverRequest> decodeHandOverRequest(std::string_view bytes) {
    std::optional<std::uint32_t> size = handOverPayloadSize(bytes);
    if (!size || bytes.size() - kHandOverHeaderBytes != *size) return std::nullopt;
    PayloadReader reader(bytes.substr(kHandOverHeaderBytes));
    HandOverRequest request;
    std::optional<WideString> directory = reader.text();
    std::optional<std::uint32_t> count = reader.number();
    if (!directory || !count || *count > kHandOverMaxArguments) return std::nullopt;
    request.workingDirectory = std::move(*directory);
    // Each argument takes at least its length: a count the payload cannot
    // hold is refused before anything is reserved for it.
    if (*count > *size / kNumberBytes) return std::nullopt;
    request.arguments.reserve(*count);
    for (std::uint32_t i = 0; i < *count; ++i) {
        std::optional<WideString> argument = reader.text();
        if (!argument) return std::nullopt;
        request.arguments.push_back(std::move(*argument));
    }
    if (!reader.atEnd()) return std::nullopt;
    return request;
}

std::string encodeHandOverAnswer(HandOverStatus status) {
    std::string out(kAnswerMagic);
    appendNumber(out, static_cast<std::uint32_t>(status));
    return out;
}

std::optional<HandOverStatus> decodeHandOverAnswer(std::string_view bytes) {
    if (bytes.size() != kHandOverAnswerBytes || bytes.substr(0, kAnswerMagic.size()) != kAnswerMagic)
        return std::nullopt;
    std::optional<std::uint32_t> status = PayloadReader(bytes.substr(kAnswerMagic.size())).number();
    if (!status || *status > static_cast<std::uint32_t>(HandOverStatus::failed)) return std::nullopt;
    return static_cast<HandOverStatus>(*status);
}

WideString handOverPipeName(WideView installationFolder, std::string_view userSid, std::uint32_t sessionId) {
    while (!installationFolder.empty() && installationFolder.back() == u'\\') installationFolder.remove_suffix(1);
    std::string key;
    for (char16_t unit : installationFolder) {
        if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
        key.push_back(static_cast<char>(unit & 0xFFu));
        key.push_back(static_cast<char>(unit >> 8));
    }
    // The folder's end is marked, so that no folder and SID pair can be
    // shifted into another.
    appendNumber(key, static_cast<std::uint32_t>(installationFolder.size()));
    key += userSid;
    appendNumber(key, sessionId);
    std::uint64_t hash = hashBytes(kFnvOffset, key);
    constexpr std::array<char16_t, 16> kHexDigits{u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7',
                                                  u'8', u'9', u'a', u'b', u'c', u'd', u'e', u'f'};
    WideString name = kPipePrefix;
    for (int shift = 60; shift >= 0; shift -= 4) name.push_back(kHexDigits[(hash >> shift) & 0xFu]);
    return name;
}

}  // namespace varkel
