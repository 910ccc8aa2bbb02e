// The formatter's two small companions (format.h), in a file of their own so
// that a deliverable that needs only them links nothing else.
#include "format.h"

namespace varkel {

WideView headWithin(WideView text, std::size_t limit) {
    if (text.size() <= limit) return text;
    const bool partsPair = limit > 0 && text[limit - 1] >= 0xD800 && text[limit - 1] <= 0xDBFF;
    return text.substr(0, partsPair ? limit - 1 : limit);
}

WideString unsignedDecimalText(std::uint64_t value) {
    WideString digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

WideString decimalText(std::int32_t value) {
    // Work in 64 bits so that the most negative value has a positive twin.
    std::int64_t v = value;
    bool negative = v < 0;
    if (negative) v = -v;
    WideString digits = unsignedDecimalText(static_cast<std::uint64_t>(v));
    if (negative) digits.insert(digits.begin(), u'-');
    return digits;
}

}  // namespace varkel
