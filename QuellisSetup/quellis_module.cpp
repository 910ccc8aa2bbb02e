#include "quellis_module.h"

namespace varkel::setup {

namespace {

// GetProcAddress gives a generic function pointer; the cast goes through
// void* to the type that quellis_exports.h declares for the export.
template <typename Function>
Function bind(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool QuellisModule::load(const std::wstring& fullPath) {
    release();
    // Only ever by full path: a bare name would send LoadLibraryW searching
    // the DLL search path for a module of that name.
    if (fullPath.find(L'\\') == std::wstring::npos) return false;
    module_.reset(LoadLibraryW(fullPath.c_str()));
    return static_cast<bool>(module_);
}

AppExport QuellisModule::appExport(const char* name) const { return bind<AppExport>(module_.get(), name); }

ServerExport QuellisModule::serverExport(const char* name) const { return bind<ServerExport>(module_.get(), name); }

}  // namespace varkel::setup
