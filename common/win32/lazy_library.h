// A library loaded by name on first use and kept for the life of the process,
// and its functions bound once (LazyFunction).
#pragma once

#include <windows.h>

#include "lazy_function.h"

namespace varkel {

class LazyLibrary {
public:
    explicit constexpr LazyLibrary(const wchar_t* name) : name_(name) {}
    // With LoadLibraryExW's search flags, for a library that must come from
    // one place only (LOAD_LIBRARY_SEARCH_SYSTEM32).
    constexpr LazyLibrary(const wchar_t* name, DWORD searchFlags) : name_(name), searchFlags_(searchFlags) {}

    // Loaded on first use; a failed load is tried again on the next.
    HMODULE module() {
        if (!module_) module_ = searchFlags_ ? LoadLibraryExW(name_, nullptr, searchFlags_) : LoadLibraryW(name_);
        return module_;
    }

    // The address of one of its functions; null when the library or the
    // function is missing.
    void* find(const char* name) {
        HMODULE loaded = module();
        return loaded ? reinterpret_cast<void*>(GetProcAddress(loaded, name)) : nullptr;
    }

    template <typename Function>
    Function bind(LazyFunction<Function>& function) {
        return function.get([this](const char* name) { return find(name); });
    }

private:
    const wchar_t* name_;
    DWORD searchFlags_ = 0;
    HMODULE module_ = nullptr;
};

}  // namespace varkel
