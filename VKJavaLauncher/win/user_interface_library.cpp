#include "user_interface_library.h"

namespace varkel::win {

namespace {
// Loaded on first use. A plain variable rather than a function-local static:
// the guard of a thread-safe static would bring in the exception runtime and
// the thread library, which the launcher leaves out (library_replacements.cpp).
// Two threads racing here would only load the library twice, which is harmless.
HMODULE user32Module = nullptr;
}  // namespace

void* user32Function(const char* name) {
    if (!user32Module) user32Module = LoadLibraryW(L"user32.dll");
    return user32Module ? reinterpret_cast<void*>(GetProcAddress(user32Module, name)) : nullptr;
}

}  // namespace varkel::win
