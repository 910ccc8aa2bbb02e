// The module entry and the COM entry points: the class object and the unload
// check.
#include <windows.h>
#include <objbase.h>
#include <new>

#include "class_factory.h"
#include "module_state.h"

const CLSID CLSID_Quellis = {0x3F2B9C14, 0x7A6D, 0x4E05, {0xB1, 0xC8, 0x59, 0xD2, 0xE0, 0xA7, 0xF6, 0x13}};
const CLSID CLSID_QuellisCommand = {0x49AC469C, 0x9044, 0x4EA4, {0x90, 0x6C, 0x90, 0xD9, 0x86, 0x21, 0xB6, 0x53}};

HINSTANCE moduleHandle = nullptr;
volatile LONG objectCount = 0;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        moduleHandle = instance;
        objectCount = 0;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, void** result) {
    if (result == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    *result = nullptr;
    if (!IsEqualCLSID(classId, CLSID_Quellis) && !IsEqualCLSID(classId, CLSID_QuellisCommand)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }

    CClassFactory* factory = new (std::nothrow) CClassFactory(classId);
    if (factory == nullptr) return E_OUTOFMEMORY;
    // The caller ends up with the only reference, or none when the interface
    // is not offered (the factory then goes at once).
    HRESULT hr = factory->QueryInterface(interfaceId, result);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() { return InterlockedCompareExchange(&objectCount, 0, 0) == 0 ? S_OK : S_FALSE; }
