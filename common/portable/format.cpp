#include "format.h"

namespace varkel {

namespace {

WideString pointerHex(std::uint64_t value, int hexDigits) {
    static const char16_t kHexDigits[] = u"0123456789ABCDEF";
    WideString out(static_cast<std::size_t>(hexDigits), u'0');
    for (int i = hexDigits - 1; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = kHexDigits[value & 0xF];
    return out;
}

}  // namespace

WideString formatMessage(WideView format, std::span<const FormatArg> args, MissingArgument missing) {
    WideString out;
    out.reserve(format.size() + 64);
    auto next = args.begin();
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
        if (known && next == args.end() && missing == MissingArgument::writeNothing) {
            ++i;
            continue;
        }
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
                if (arg.kind_ == FormatArg::Kind::number) out.append(decimalText(arg.number_));
                break;
            case u'p':
                if (arg.kind_ == FormatArg::Kind::pointer) out.append(pointerHex(arg.pointer_, arg.number_));
                break;
        }
    }
    return out;
}

}  // namespace varkel
