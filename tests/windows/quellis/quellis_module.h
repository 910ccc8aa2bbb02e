// The shell extension under test, loaded from the test program's folder as
// the setup tool and COM load it, and reached only through its exports.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace quellistest {

// {3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}
inline constexpr CLSID kQuellisClsid = {0x3F2B9C14, 0x7A6D, 0x4E05, {0xB1, 0xC8, 0x59, 0xD2, 0xE0, 0xA7, 0xF6, 0x13}};
inline constexpr const wchar_t* kQuellisClsidText = L"{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}";
// {49AC469C-9044-4EA4-906C-90D98621B653}: the Windows 11 menu command.
inline constexpr CLSID kQuellisCommandClsid = {0x49AC469C, 0x9044, 0x4EA4, {0x90, 0x6C, 0x90, 0xD9, 0x86, 0x21, 0xB6, 0x53}};
inline constexpr const wchar_t* kQuellisCommandClsidText = L"{49AC469C-9044-4EA4-906C-90D98621B653}";

// A COM reference released when it goes.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* p) : p_(p) {}
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }
    ~ComRef() { reset(); }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out parameters: releases what is held first.
    void** out() {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    T** outTyped() {
        reset();
        return &p_;
    }

private:
    T* p_ = nullptr;
};

struct QuellisModule {
    using RegisterServer = bool(WINAPI*)(bool allUsers);
    using RegisterApp = bool(WINAPI*)(const wchar_t* path, bool allUsers);
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

    HMODULE handle = nullptr;
    std::wstring path;
    RegisterServer DllRegisterServer = nullptr;
    RegisterServer DllUnregisterServer = nullptr;
    RegisterApp RegisterVarkelApp = nullptr;
    RegisterApp UnregisterVarkelApp = nullptr;
    GetClassObject DllGetClassObject = nullptr;
    CanUnloadNow DllCanUnloadNow = nullptr;

    ComRef<IClassFactory> factory(REFCLSID clsid = kQuellisClsid) const;
    // A new handler, as Explorer gets it: through the class object.
    ComRef<IContextMenu> createHandler() const;
};

// Loaded once per test program and kept; fails the test when the module or
// one of its exports is missing.
const QuellisModule& quellis();

// The module's folder: the test program's own, where the build puts the
// module and the helper programs.
std::wstring helperPath(const wchar_t* fileName);

}  // namespace quellistest
