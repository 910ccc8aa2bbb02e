#include "quellis_module.h"

namespace varkel::setup {

namespace {

// GetProcAddress gives a generic function pointer; the cast goes through
// void* because the exports' real types are known only by contract.
template <typename Function>
Function bind(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

QuellisModule::~QuellisModule() { release(); }

bool QuellisModule::load(const std::wstring& fullPath) {
    release();
    // Only ever by full path: a bare name would send LoadLibraryW searching
    // the DLL search path for a module of that name.
    if (fullPath.find(L'\\') == std::wstring::npos) return false;
    module_ = LoadLibraryW(fullPath.c_str());
    return module_ != nullptr;
}

AppExport QuellisModule::appExport(const char* name) const { return bind<AppExport>(module_, name); }

ServerExport QuellisModule::serverExport(const char* name) const { return bind<ServerExport>(module_, name); }

void QuellisModule::release() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
}

}  // namespace varkel::setup
