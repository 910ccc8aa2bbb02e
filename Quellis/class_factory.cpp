#include "class_factory.h"

#include <new>

#include "context_menu_handler.h"
#include "module_state.h"

CClassFactory::CClassFactory(REFCLSID classId) : refCount(1), clsid(classId) { objectCreated(); }

CClassFactory::~CClassFactory() { objectDestroyed(); }

IFACEMETHODIMP CClassFactory::QueryInterface(REFIID interfaceId, void** result) {
    if (result == nullptr) return E_INVALIDARG;
    *result = nullptr;
    if (!IsEqualIID(interfaceId, IID_IUnknown) && !IsEqualIID(interfaceId, IID_IClassFactory)) return E_NOINTERFACE;
    *result = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

IFACEMETHODIMP_(ULONG) CClassFactory::AddRef() { return ++refCount; }

IFACEMETHODIMP_(ULONG) CClassFactory::Release() {
    ULONG remaining = --refCount;
    if (remaining == 0) delete this;
    return remaining;
}

IFACEMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID interfaceId, void** result) {
    if (result == nullptr) return E_INVALIDARG;
    *result = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (!IsEqualCLSID(clsid, CLSID_Quellis)) return E_FAIL;

    CQuellis* handler = new (std::nothrow) CQuellis();
    if (handler == nullptr) return E_FAIL;
    // A handler without the requested interface goes again at once.
    HRESULT hr = handler->QueryInterface(interfaceId, result);
    handler->Release();
    return hr;
}

// Server locks are not kept: only live objects hold the module.
IFACEMETHODIMP CClassFactory::LockServer(BOOL /*lock*/) { return E_NOTIMPL; }
