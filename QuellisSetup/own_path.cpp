#include "own_path.h"

#include "quellis_exports.h"

namespace varkel::setup {

std::wstring moduleBeside(const std::wstring& executablePath) {
    const std::size_t lastBackslash = executablePath.rfind(L'\\');
    const std::size_t directoryLength = lastBackslash == std::wstring::npos ? 0 : lastBackslash + 1;
    return executablePath.substr(0, directoryLength) + kQuellisModuleName;
}

}  // namespace varkel::setup
