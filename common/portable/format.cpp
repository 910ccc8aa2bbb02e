#include "format.h"

#include "build_constants.h"

namespace varkel {

namespace {

WideString decimal(std::int32_t value) {
    // Work in 64 bits so that the most negative value has a positive twin.
    std::int64_t v = value;
    bool negative = v < 0;
    if (negative) v = -v;
    WideString digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    if (negative) digits.insert(digits.begin(), u'-');
    return digits;
}

WideString pointerHex(std::uint64_t value) {
    static const char16_t hex[] = u"0123456789ABCDEF";
    WideString out(kPointerHexDigits, u'0');
    for (int i = kPointerHexDigits - 1; i >= 0; --i, value >>= 4) out[i] = hex[value & 0xF];
    return out;
}

}  // namespace

WideString formatMessage(WideView format, std::initializer_list<FormatArg> args) {
    WideString out;
    out.reserve(format.size() + 64);
    const FormatArg* next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        char16_t c = format[i];
        if (c != u'%' || i + 1 >= format.size()) {
            out.push_back(c);
            continue;
        }
        char16_t conv = format[i + 1];
        if (conv == u'%') {
            out.push_back(u'%');
            ++i;
            continue;
        }
        bool known = conv == u's' || conv == u'd' || conv == u'p';
        if (!known || next == args.end()) {
            out.push_back(c);
            continue;
        }
        const FormatArg& arg = *next++;
        ++i;
        switch (conv) {
            case u's':
                if (arg.kind_ == FormatArg::Kind::text) out.append(arg.text_);
                break;
            case u'd':
                if (arg.kind_ == FormatArg::Kind::number) out.append(decimal(arg.number_));
                break;
            case u'p':
                if (arg.kind_ == FormatArg::Kind::pointer) out.append(pointerHex(arg.pointer_));
                break;
        }
    }
    return out;
}

}  // namespace varkel
