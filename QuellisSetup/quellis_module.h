// "Quellis64.dll", loaded by full path for one run, and its four exports
// (their types in quellis_exports.h, shared with the module).
#pragma once

#include <windows.h>

#include <string>

#include "owners.h"
#include "quellis_exports.h"

namespace varkel::setup {

// Owns the loaded module: freed on release() or when the owner goes.
class QuellisModule {
public:
    bool load(const std::wstring& fullPath);
    // Null when the module lacks the export.
    AppExport appExport(const char* name) const;
    ServerExport serverExport(const char* name) const;
    void release() { module_.reset(); }

private:
    ModuleOwner module_;
};

}  // namespace varkel::setup
