// The one message formatter of the three deliverables.
//
// The system's messages are wide formats with %s (a wide string), %d (a signed
// 32-bit integer) and %p (a pointer: upper-case hexadecimal, as many digits as
// the build's pointer has). The C libraries disagree on what %s means in a wide
// format (Microsoft's runtime: wide; glibc and MinGW's ANSI stdio: narrow), so
// every deliverable formats with this one small function on every platform.
// The result is the whole text: a caller with a bounded buffer cuts it with
// headWithin (text.h), never inside a surrogate pair.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "text.h"

namespace varkel {

// Digits of %p: all of the build's pointer. VARKEL_BITS, where a build sets
// it, names the pointer of the launcher being built (the native tests build
// its code for both bitnesses).
#ifdef VARKEL_BITS
inline constexpr int kPointerHexDigits = VARKEL_BITS / 4;
#else
inline constexpr int kPointerHexDigits = static_cast<int>(sizeof(void*) * 2);
#endif

// The first `limit` code units of text, one fewer when the cut would part a
// surrogate pair: the one rule by which every bounded message is cut.
WideView headWithin(WideView text, std::size_t limit);

// The decimal digits of a number, a minus sign first when it is negative.
WideString decimalText(std::int32_t value);
WideString unsignedDecimalText(std::uint64_t value);

// What a conversion without an argument becomes. The launcher keeps it
// visible, so that a missing argument shows; the setup tool's formats hold
// only %s, and it has always left a missing one empty.
enum class MissingArgument { keepConversion, writeNothing };

class FormatArg {
public:
    FormatArg(WideView text) : kind_(Kind::text), text_(text) {}
    FormatArg(const WideString& text) : kind_(Kind::text), text_(text) {}
    FormatArg(const char16_t* text) : kind_(Kind::text), text_(text) {}
    FormatArg(std::int32_t number) : kind_(Kind::number), number_(number) {}
    static FormatArg pointer(std::uint64_t value, int hexDigits = kPointerHexDigits) {
        FormatArg a(0);
        a.kind_ = Kind::pointer;
        a.pointer_ = value;
        a.number_ = hexDigits;
        return a;
    }

private:
    friend WideString formatMessage(WideView format, std::span<const FormatArg> args, MissingArgument missing);
    enum class Kind { text, number, pointer } kind_;
    WideView text_;
    std::int32_t number_ = 0;  // for a pointer: its number of hexadecimal digits
    std::uint64_t pointer_ = 0;
};

// Fills the conversions of format in order; "%%" is one percent sign. An
// argument of another kind than its conversion writes nothing.
WideString formatMessage(WideView format, std::span<const FormatArg> args,
                         MissingArgument missing = MissingArgument::keepConversion);
inline WideString formatMessage(WideView format, std::initializer_list<FormatArg> args,
                                MissingArgument missing = MissingArgument::keepConversion) {
    return formatMessage(format, std::span<const FormatArg>(args.begin(), args.size()), missing);
}

}  // namespace varkel
