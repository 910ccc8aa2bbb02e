// UTF-8 and UTF-16: the conversions the deliverables share.
#pragma once

#include <string>
#include <string_view>

namespace varkel {

// Appends one code point (at most U+10FFFF) as one UTF-16 unit or a surrogate pair.
inline void appendUtf16(std::u16string& text, char32_t c) {
    if (c < 0x10000) {
        text.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

// UTF-8 of a UTF-16 text; a lone surrogate (a Windows file name may hold
// one) becomes its own three bytes, so nothing is lost on the way. The
// extension writes its selection lists with it; the launcher hands the Java
// program UTF-16, never this.
std::string toUtf8(std::u16string_view text);
// For diagnostics and tests: malformed bytes become U+FFFD.
std::u16string fromUtf8(std::string_view text);

}  // namespace varkel
