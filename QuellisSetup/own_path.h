// The module the setup tool loads from its own folder.
#pragma once

#include <string>

namespace varkel::setup {

// "Quellis64.dll" in the folder of executablePath (everything up to and
// including its last backslash).
std::wstring moduleBeside(const std::wstring& executablePath);

}  // namespace varkel::setup
