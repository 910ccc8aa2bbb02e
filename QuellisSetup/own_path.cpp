#include "own_path.h"

#include "setup_messages.h"
#include "utf16_view.h"

namespace varkel::setup {

std::wstring moduleBeside(const std::wstring& executablePath) {
    const std::size_t lastBackslash = executablePath.rfind(L'\\');
    const std::size_t directoryLength = lastBackslash == std::wstring::npos ? 0 : lastBackslash + 1;
    return executablePath.substr(0, directoryLength) + toWide(text::kModuleFileName);
}

}  // namespace varkel::setup
