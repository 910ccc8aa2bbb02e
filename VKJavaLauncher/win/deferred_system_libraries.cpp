#include "deferred_system_libraries.h"

#include <iterator>

#include "lazy_library.h"

namespace varkel::win {

namespace {
// Plain variables rather than function-local statics: the guard of a
// thread-safe static would bring in the exception runtime and the thread
// library, which the launcher leaves out (library_replacements.cpp). Two
// threads racing here would only bind a function twice, which is harmless.
// version.dll is no known DLL: searched by name, a copy beside the launcher
// or in a JVM's folder (the DLL directory) would come first. It is taken
// from the system folder only.
LazyLibrary libraries[] = {LazyLibrary(L"user32.dll"), LazyLibrary(L"advapi32.dll"),
                           LazyLibrary(L"version.dll", LOAD_LIBRARY_SEARCH_SYSTEM32)};

// Each function is bound once and kept, under the address of the name its
// callers pass (a literal; two copies of one name would only take two
// slots). Names beyond the slots are looked up on every call.
constexpr std::size_t kKeptFunctions = 16;
LazyFunction<void*> boundFunctions[std::size(libraries)][kKeptFunctions];
}  // namespace

void* deferredFunction(DeferredLibrary library, const char* name) {
    const auto index = static_cast<std::size_t>(library);
    LazyLibrary& owner = libraries[index];
    for (LazyFunction<void*>& function : boundFunctions[index]) {
        if (!function.name()) function = LazyFunction<void*>(name);
        if (function.name() == name) return owner.bind(function);
    }
    return owner.find(name);
}

}  // namespace varkel::win
