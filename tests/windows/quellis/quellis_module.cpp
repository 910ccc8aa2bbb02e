#include "quellis_module.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace quellistest {

namespace {

template <typename Function>
Function bind(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

QuellisModule load() {
    QuellisModule module;
    module.path = helperPath(L"Quellis64.dll");
    module.handle = LoadLibraryW(module.path.c_str());
    if (module.handle == nullptr) return module;
    module.DllRegisterServer = bind<QuellisModule::RegisterServer>(module.handle, "DllRegisterServer");
    module.DllUnregisterServer = bind<QuellisModule::RegisterServer>(module.handle, "DllUnregisterServer");
    module.RegisterVarkelApp = bind<QuellisModule::RegisterApp>(module.handle, "RegisterVarkelApp");
    module.UnregisterVarkelApp = bind<QuellisModule::RegisterApp>(module.handle, "UnregisterVarkelApp");
    module.DllGetClassObject = bind<QuellisModule::GetClassObject>(module.handle, "DllGetClassObject");
    module.DllCanUnloadNow = bind<QuellisModule::CanUnloadNow>(module.handle, "DllCanUnloadNow");
    return module;
}

}  // namespace

std::wstring helperPath(const wchar_t* fileName) { return wintest::testProgramDirectory() + L"\\" + fileName; }

const QuellisModule& quellis() {
    static const QuellisModule kModule = load();
    if (kModule.handle == nullptr) {
        ADD_FAILURE() << "cannot load " << wintest::utf8(kModule.path);
    } else if (!kModule.DllRegisterServer || !kModule.DllUnregisterServer || !kModule.RegisterVarkelApp ||
               !kModule.UnregisterVarkelApp || !kModule.DllGetClassObject || !kModule.DllCanUnloadNow) {
        ADD_FAILURE() << "an export of Quellis64.dll is missing";
    }
    return kModule;
}

ComRef<IClassFactory> QuellisModule::factory(REFCLSID clsid) const {
    ComRef<IClassFactory> result;
    EXPECT_EQ(DllGetClassObject(clsid, IID_IClassFactory, result.out()), S_OK);
    return result;
}

ComRef<IContextMenu> QuellisModule::createHandler() const {
    ComRef<IContextMenu> handler;
    ComRef<IClassFactory> classObject = factory();
    if (classObject) {
        EXPECT_EQ(classObject->CreateInstance(nullptr, IID_IContextMenu, handler.out()), S_OK);
    }
    return handler;
}

}  // namespace quellistest
