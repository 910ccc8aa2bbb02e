// "Quellis64.dll", loaded by full path for one run, and its four exports.
#pragma once

#include <windows.h>

#include <string>

namespace varkel::setup {

// The exports take a C++ one-byte boolean and return one; only the low byte
// of the result counts. allUsers is passed widened to an int holding 0 or 1,
// which reads the same whether the callee takes a bool or a BOOL.
using AppExport = unsigned char (*)(const wchar_t* launcherPath, int allUsers);  // RegisterVarkelApp, UnregisterVarkelApp
using ServerExport = unsigned char (*)(int allUsers);  // DllRegisterServer, DllUnregisterServer

// Owns the loaded module: freed on release() or when the owner goes.
class QuellisModule {
public:
    QuellisModule() = default;
    ~QuellisModule();
    QuellisModule(const QuellisModule&) = delete;
    QuellisModule& operator=(const QuellisModule&) = delete;

    bool load(const std::wstring& fullPath);
    // Null when the module lacks the export.
    AppExport appExport(const char* name) const;
    ServerExport serverExport(const char* name) const;
    void release();

private:
    HMODULE module_ = nullptr;
};

}  // namespace varkel::setup
