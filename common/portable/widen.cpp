// Widening of 8-bit text (text.h), in a file of its own so that a deliverable
// that needs only this links nothing else of text.cpp.
#include "text.h"

namespace varkel {

WideString widenBytes(std::string_view bytes) {
    WideString out;
    out.reserve(bytes.size());
    for (char b : bytes) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(b)));
    return out;
}

WideString widenAscii(std::string_view ascii) { return widenBytes(ascii); }

}  // namespace varkel
