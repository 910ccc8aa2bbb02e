// The portable code keeps text as char16_t; Windows takes wchar_t, which is
// the same 16-bit UTF-16 unit there. These views cross between the two
// without copying.
#pragma once

#include <string>
#include <string_view>

namespace varkel::setup {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected (Windows)");

inline std::u16string_view asPortable(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

inline std::wstring toWide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

// Export names are ASCII; their narrow form goes to GetProcAddress, the wide
// one into the messages.
inline std::u16string widenAscii(std::string_view name) { return {name.begin(), name.end()}; }

}  // namespace varkel::setup
