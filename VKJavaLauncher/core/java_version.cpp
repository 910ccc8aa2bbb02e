#include "java_version.h"

#include "format.h"
#include "version_order.h"

namespace varkel {

namespace {

constexpr std::string_view kReleaseVersionKey = "JAVA_VERSION=";
// The last release numbered "1.x"; its libraries' product versions keep the
// update in a form of their own.
constexpr std::uint16_t kLastOldStyleRelease = 8;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isNumberSeparator(char16_t c) { return c == u'.' || c == u'_'; }
bool isSuffixStart(char16_t c) { return c == u'-' || c == u'+'; }
bool isSuffixCharacter(char16_t c) {
    return isDigit(c) || isAsciiLetter(c) || isNumberSeparator(c) || isSuffixStart(c);
}

bool isSuffix(WideView suffix) {
    if (suffix.size() < 2) return false;  // "-" or "+" and at least one character
    for (char16_t c : suffix.substr(1))
        if (!isSuffixCharacter(c)) return false;
    return true;
}

// The numbers as the comparison takes them: "1.x" read as x, and trailing
// zero parts dropped ("17.0.0" is "17").
void normalise(std::vector<WideString>& numbers) {
    if (numbers.size() >= 2 && numbers.front() == u"1") numbers.erase(numbers.begin());
    while (numbers.size() > 1 && numbers.back() == u"0") numbers.pop_back();
}

std::vector<WideView> views(const std::vector<WideString>& numbers) {
    std::vector<WideView> parts;
    parts.reserve(numbers.size());
    for (const WideString& number : numbers) parts.emplace_back(number);
    return parts;
}

WideView trimmedValue(WideView value) {
    while (!value.empty() && isCSpace(value.front())) value.remove_prefix(1);
    while (!value.empty() && isCSpace(value.back())) value.remove_suffix(1);
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') value = value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::optional<JavaVersion> parseJavaVersion(WideView text) {
    JavaVersion version;
    version.text = WideString(text);
    std::size_t at = 0;
    for (;;) {
        while (at + 1 < text.size() && text[at] == u'0' && isDigit(text[at + 1])) ++at;  // leading zeros
        const std::size_t start = at;
        while (at < text.size() && isDigit(text[at])) ++at;
        if (at == start) return std::nullopt;  // a separator not followed by a number, or no number at all
        version.numbers.emplace_back(text.substr(start, at - start));
        if (at == text.size()) break;
        if (isSuffixStart(text[at])) {
            if (!isSuffix(text.substr(at))) return std::nullopt;
            break;
        }
        if (!isNumberSeparator(text[at])) return std::nullopt;
        ++at;
    }
    normalise(version.numbers);
    return version;
}

int compareJavaVersions(const JavaVersion& a, const JavaVersion& b) {
    const std::vector<WideView> left = views(a.numbers);
    const std::vector<WideView> right = views(b.numbers);
    return compareVersionNumbers(left, right);
}

std::optional<JavaVersion> releaseFileJavaVersion(std::string_view bytes) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (line.substr(0, kReleaseVersionKey.size()) != kReleaseVersionKey) continue;
        const WideString value = widenBytes(line.substr(kReleaseVersionKey.size()));
        return parseJavaVersion(trimmedValue(value));
    }
    return std::nullopt;
}

std::optional<JavaVersion> productVersionJavaVersion(const std::array<std::uint16_t, 4>& parts) {
    if (parts[0] == 0) return std::nullopt;
    WideString text;
    if (parts[0] <= kLastOldStyleRelease) {
        text = u"1.";
        text += unsignedDecimalText(parts[0]);
    } else {
        // Four positions: release, interim, update, patch; trailing zeros are
        // not written, as Java writes its own version.
        std::size_t written = parts.size();
        while (written > 1 && parts[written - 1] == 0) --written;
        for (std::size_t i = 0; i < written; ++i) {
            if (i > 0) text += u'.';
            text += unsignedDecimalText(parts[i]);
        }
    }
    return parseJavaVersion(text);
}

}  // namespace varkel
