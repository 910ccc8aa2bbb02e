// Where the setup tool lives, and the module it loads from there.
#pragma once

#include <string>

namespace varkel::setup {

// The full path of the running executable, whatever its length: a cut path
// could name a folder other than the tool's own.
std::wstring ownExecutablePath();

// "Quellis64.dll" in the folder of executablePath (everything up to and
// including its last backslash).
std::wstring moduleBeside(const std::wstring& executablePath);

}  // namespace varkel::setup
