#include "version_order.h"

#include <algorithm>

namespace varkel {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isSeparator(char16_t c) { return c == u'.' || c == u'_' || c == u'-' || c == u'+'; }
char16_t foldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

// A name taken apart once, so that sorting compares without parsing again.
struct VersionKey {
    bool isVersion = false;
    WideView prefix;                // the part before the first digit
    std::vector<WideView> numbers;  // each without its leading zeros
    WideView name;
};

VersionKey parse(WideView name) {
    VersionKey key;
    key.name = name;
    std::size_t at = 0;
    while (at < name.size() && !isDigit(name[at])) ++at;
    key.prefix = name.substr(0, at);
    if (at == name.size()) return key;
    for (;;) {
        while (at < name.size() && name[at] == u'0' && at + 1 < name.size() && isDigit(name[at + 1])) ++at;
        const std::size_t start = at;
        while (at < name.size() && isDigit(name[at])) ++at;
        if (at == start) {
            key.numbers.clear();
            return key;  // a separator not followed by a number
        }
        key.numbers.push_back(name.substr(start, at - start));
        if (at == name.size()) break;
        if (!isSeparator(name[at])) {
            key.numbers.clear();
            return key;
        }
        ++at;
    }
    key.isVersion = true;
    return key;
}

// Numbers of any length, without leading zeros: the longer is the larger.
int compareNumbers(WideView a, WideView b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

bool nameBefore(WideView a, WideView b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return foldAscii(a[i]) < foldAscii(b[i]);
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;  // names that differ only in letter case: a fixed order all the same
}

bool before(const VersionKey& a, const VersionKey& b) {
    if (a.isVersion != b.isVersion) return a.isVersion;
    if (a.isVersion)
        if (int order = compareVersionNumbers(a.numbers, b.numbers)) return order > 0;
    return nameBefore(a.name, b.name);
}

}  // namespace

int compareVersionNumbers(std::span<const WideView> a, std::span<const WideView> b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i)
        if (int order = compareNumbers(a[i], b[i])) return order;
    // "17.0.1" above "17": a further part makes the version higher.
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

std::vector<std::size_t> highestVersionFirst(const std::vector<WideString>& names) {
    std::vector<VersionKey> keys;
    keys.reserve(names.size());
    for (const WideString& name : names) keys.push_back(parse(name));
    std::vector<std::size_t> order(names.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return before(keys[a], keys[b]); });
    return order;
}

void sortHighestVersionFirst(std::vector<WideString>& names) {
    std::vector<WideString> sorted;
    sorted.reserve(names.size());
    for (std::size_t i : highestVersionFirst(names)) sorted.push_back(std::move(names[i]));
    names = std::move(sorted);
}

}  // namespace varkel
