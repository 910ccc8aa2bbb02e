#include "text.h"

#include <algorithm>

namespace varkel {

std::optional<std::string> toNarrowIfLatin1(WideView text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c > 0xFF) return std::nullopt;
        out.push_back(static_cast<char>(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string toNarrow(WideView text) {
    return toNarrowIfLatin1(text).value_or(std::string());
}

WideString concatWide(WideView a, WideView b) {
    WideString out;
    out.reserve(a.size() + b.size());
    out.append(a);
    out.append(b);
    return out;
}

bool endsWith(WideView text, WideView suffix) {
    return suffix.size() <= text.size() && text.substr(text.size() - suffix.size()) == suffix;
}

static char16_t foldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool equalsIgnoreCase(WideView a, WideView b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

bool endsWithIgnoreCase(WideView text, WideView suffix) {
    return suffix.size() <= text.size() && equalsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

bool startsWith(WideView text, WideView prefix) {
    return prefix.size() <= text.size() && text.substr(0, prefix.size()) == prefix;
}

WideString skipLeadingSpaces(WideView text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    return WideString(text.substr(i));
}

bool isCSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

WideString trimSpaces(WideView text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isCSpace(text[begin])) ++begin;
    while (end > begin && isCSpace(text[end - 1])) --end;
    return WideString(text.substr(begin, end - begin));
}

WideString removeFileSpec(WideView path) {
    std::size_t slash = path.rfind(u'\\');
    if (slash == WideView::npos) {
        // "C:name" keeps its drive, a bare name leaves nothing.
        if (path.size() >= 2 && path[1] == u':') return WideString(path.substr(0, 2));
        return WideString();
    }
    // Keep the backslash of a root: "C:\" or "\".
    bool isRoot = (slash == 0) || (slash == 2 && path[1] == u':');
    return WideString(path.substr(0, isRoot ? slash + 1 : slash));
}

}  // namespace varkel
