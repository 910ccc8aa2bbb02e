// The full path of a loaded module.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace varkel {

// The longest path Windows can hand out (the \\?\ form), terminator included.
inline constexpr DWORD kLongestPathBufferChars = 32768;

// The path of module (null: the running executable), whatever its length: a
// path cut to fit a buffer would name another file. Empty when the path
// cannot be read. String is std::wstring or the portable std::u16string (the
// same UTF-16 units), so that no copy between the two is needed.
template <typename String = std::wstring>
String modulePath(HMODULE module) {
    static_assert(sizeof(typename String::value_type) == sizeof(wchar_t), "UTF-16 text");
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = GetModuleFileNameW(module, buffer.data(), size);
        // A result equal to the size means the path was cut to fit.
        if (length < size) return String(reinterpret_cast<const typename String::value_type*>(buffer.data()), length);
        if (size >= kLongestPathBufferChars) return String();
    }
}

}  // namespace varkel
