// Owners of Win32 resources: each closes what it holds when it goes, so that
// no path leaves a registry key, module, handle or GDI object open.
#pragma once

#include <windows.h>

namespace varkel {

// Holds one resource whose empty value is null; close(resource) releases it.
template <typename Resource, auto close>
class Owner {
public:
    Owner() = default;
    explicit Owner(Resource resource) : resource_(resource) {}
    ~Owner() { reset(); }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    Resource get() const { return resource_; }
    explicit operator bool() const { return resource_ != nullptr; }
    // For a function that hands the resource out through a pointer.
    Resource* receive() {
        reset();
        return &resource_;
    }
    // Hands the resource over to the caller, who closes it.
    Resource release() {
        Resource held = resource_;
        resource_ = nullptr;
        return held;
    }
    void reset(Resource resource = nullptr) {
        if (resource_ != nullptr) close(resource_);
        resource_ = resource;
    }

private:
    Resource resource_ = nullptr;
};

// The closing functions, called through these wrappers so that the owners
// name a plain function whatever the system's import declarations are; an
// owner that is never used brings no import.
inline void closeRegistryKey(HKEY key) { RegCloseKey(key); }
inline void freeModule(HMODULE module) { FreeLibrary(module); }
inline void closeHandle(HANDLE handle) { CloseHandle(handle); }
inline void deleteMemoryDc(HDC dc) { DeleteDC(dc); }
inline void destroyIcon(HICON icon) { DestroyIcon(icon); }
template <typename Object>
void deleteGdiObject(Object object) {
    DeleteObject(object);
}

using RegistryKeyOwner = Owner<HKEY, closeRegistryKey>;
using ModuleOwner = Owner<HMODULE, freeModule>;
using HandleOwner = Owner<HANDLE, closeHandle>;  // handles whose empty value is null: processes, threads
using MemoryDcOwner = Owner<HDC, deleteMemoryDc>;
using IconOwner = Owner<HICON, destroyIcon>;
template <typename Object>
using GdiObjectOwner = Owner<Object, deleteGdiObject<Object>>;

}  // namespace varkel
