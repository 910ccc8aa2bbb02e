// Text handling of the context-menu command's verbs and command strings:
// case-insensitive verb comparison and copies into callers' buffers.
#pragma once

#include <cstddef>
#include <string_view>

namespace varkel::quellis {

// Whether a caller's NUL-terminated verb equals ours without regard to case.
// Only A-Z and a-z fold into each other (the "C" locale's rule): our verb is
// plain ASCII, and no other character may stand in for one of its letters.
// A null verb matches nothing.
bool verbEquals(const char* given, std::string_view verb);
bool verbEquals(const char16_t* given, std::u16string_view verb);

// Copies text into a caller's buffer of capacity characters, terminator
// included, and never writes past it: a text that does not fit is cut to
// capacity - 1 characters. A null buffer or a capacity of 0 receives
// nothing. Returns the number of characters copied, the terminator excluded.
template <typename Char>
std::size_t copyBounded(Char* buffer, std::size_t capacity, std::basic_string_view<Char> text) {
    if (buffer == nullptr || capacity == 0) return 0;
    std::size_t count = text.size() < capacity - 1 ? text.size() : capacity - 1;
    for (std::size_t i = 0; i < count; ++i) buffer[i] = text[i];
    buffer[count] = Char{};
    return count;
}

}  // namespace varkel::quellis
