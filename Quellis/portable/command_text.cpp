#include "command_text.h"

namespace varkel::quellis {

namespace {

template <typename Char>
Char foldAscii(Char c) {
    return (c >= Char('A') && c <= Char('Z')) ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <typename Char>
bool equalsIgnoringAsciiCase(const Char* given, std::basic_string_view<Char> verb) {
    if (given == nullptr) return false;
    std::size_t i = 0;
    for (; i < verb.size(); ++i) {
        // The caller's terminator ends the comparison before any read past it.
        if (given[i] == Char{} || foldAscii(given[i]) != foldAscii(verb[i])) return false;
    }
    return given[i] == Char{};
}

}  // namespace

bool verbEquals(const char* given, std::string_view verb) { return equalsIgnoringAsciiCase(given, verb); }

bool verbEquals(const char16_t* given, std::u16string_view verb) { return equalsIgnoringAsciiCase(given, verb); }

}  // namespace varkel::quellis
