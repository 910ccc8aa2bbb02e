// The portable code keeps text as char16_t; Windows takes wchar_t, which is
// the same 16-bit UTF-16 unit there. These views cross between the two
// without copying; the to* forms copy.
#pragma once

#include <string>
#include <string_view>

namespace varkel {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected (Windows)");

inline const wchar_t* asWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline const char16_t* asPortable(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

inline std::wstring_view asWide(std::u16string_view text) { return {asWide(text.data()), text.size()}; }
inline std::u16string_view asPortable(std::wstring_view text) { return {asPortable(text.data()), text.size()}; }

inline std::wstring toWide(std::u16string_view text) { return std::wstring(asWide(text)); }
inline std::u16string toPortable(std::wstring_view text) { return std::u16string(asPortable(text)); }

}  // namespace varkel
