#include "deferred_system_libraries.h"

#include <iterator>

namespace varkel::win {

namespace {
constexpr const wchar_t* kLibraryNames[] = {L"user32.dll", L"advapi32.dll"};

// Loaded on first use. Plain variables rather than a function-local static:
// the guard of a thread-safe static would bring in the exception runtime and
// the thread library, which the launcher leaves out (library_replacements.cpp).
// Two threads racing here would only load a library twice, which is harmless.
HMODULE loadedLibraries[std::size(kLibraryNames)] = {};
}  // namespace

void* deferredFunction(DeferredLibrary library, const char* name) {
    const auto index = static_cast<std::size_t>(library);
    HMODULE& module = loadedLibraries[index];
    if (!module) module = LoadLibraryW(kLibraryNames[index]);
    return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace varkel::win
