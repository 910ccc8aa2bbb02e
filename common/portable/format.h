// The launcher's own message formatter.
//
// The system's messages are wide formats with %s (a wide string), %d (a signed
// 32-bit integer) and %p (a pointer: upper-case hexadecimal, as many digits as
// the build's pointer has). The C libraries disagree on what %s means in a wide
// format (Microsoft's runtime: wide; glibc and MinGW's ANSI stdio: narrow), so
// the launcher formats with this one small function on every platform. The
// result is always the whole text: nothing is cut and nothing can overflow.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "text.h"

namespace varkel {

class FormatArg {
public:
    FormatArg(WideView text) : kind_(Kind::text), text_(text) {}
    FormatArg(const WideString& text) : kind_(Kind::text), text_(text) {}
    FormatArg(const char16_t* text) : kind_(Kind::text), text_(text) {}
    FormatArg(std::int32_t number) : kind_(Kind::number), number_(number) {}
    static FormatArg pointer(std::uint64_t value) {
        FormatArg a(0);
        a.kind_ = Kind::pointer;
        a.pointer_ = value;
        return a;
    }

private:
    friend WideString formatMessage(WideView format, std::initializer_list<FormatArg> args);
    enum class Kind { text, number, pointer } kind_;
    WideView text_;
    std::int32_t number_ = 0;
    std::uint64_t pointer_ = 0;
};

// Fills the conversions of format in order. A conversion without an argument,
// or with an argument of another kind, is written as it stands.
WideString formatMessage(WideView format, std::initializer_list<FormatArg> args);

}  // namespace varkel
