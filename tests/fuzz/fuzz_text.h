// Turning a fuzzer's bytes into the UTF-16 text the code under test reads,
// and reporting a broken property.
//
// The bytes are read as UTF-8 where they form a sequence (surrogate code
// points included, so lone surrogates can be reached) and as the character of
// the same value where they do not. Every UTF-16 text can be produced this way,
// and the seed corpora stay readable text files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "utf8.h"

namespace fuzz {

inline std::u16string wideText(std::string_view bytes) {
    std::u16string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        // Lead bytes C2-DF, E0-EF and F0-F4 open sequences of two, three and four.
        std::size_t extra = 0;
        if (lead >= 0xC2 && lead <= 0xDF) extra = 1;
        else if (lead >= 0xE0 && lead <= 0xEF) extra = 2;
        else if (lead >= 0xF0 && lead <= 0xF4) extra = 3;
        char32_t c = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
        bool sequence = extra > 0;
        for (std::size_t k = 1; sequence && k <= extra; ++k) {
            if (i + k >= bytes.size()) { sequence = false; break; }
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) { sequence = false; break; }
            c = (c << 6) | (next & 0x3F);
        }
        if (!sequence || c > 0x10FFFF) {
            out.push_back(static_cast<char16_t>(lead));
            ++i;
            continue;
        }
        i += extra + 1;
        varkel::appendUtf16(out, c);
    }
    return out;
}

// A property of the code under test does not hold: libFuzzer keeps the input
// as a crash artifact.
[[noreturn]] inline void fail(const char* property) {
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline void require(bool holds, const char* property) {
    if (!holds) fail(property);
}

}  // namespace fuzz
