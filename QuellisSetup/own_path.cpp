#include "own_path.h"

#include <windows.h>

#include "setup_messages.h"
#include "utf16_view.h"

namespace varkel::setup {

namespace {

constexpr DWORD kFirstPathBufferChars = 1024;
// The longest path Windows can hand out (the \\?\ form), terminator included.
constexpr DWORD kLongestPathBufferChars = 32768;

}  // namespace

std::wstring ownExecutablePath() {
    std::wstring buffer;
    for (DWORD size = kFirstPathBufferChars;; size *= 2) {
        buffer.resize(size);
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        // A result equal to the size means the path was cut to fit.
        if (length < size || size >= kLongestPathBufferChars) {
            buffer.resize(length < size ? length : 0);
            return buffer;
        }
    }
}

std::wstring moduleBeside(const std::wstring& executablePath) {
    const std::size_t lastBackslash = executablePath.rfind(L'\\');
    const std::size_t directoryLength = lastBackslash == std::wstring::npos ? 0 : lastBackslash + 1;
    return executablePath.substr(0, directoryLength) + toWide(text::kModuleFileName);
}

}  // namespace varkel::setup
