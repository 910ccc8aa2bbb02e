#include "class_factory.h"

#include <new>

#include "context_menu_handler.h"
#include "explorer_command.h"
#include "module_state.h"

namespace {

// The caller gets the object's only reference, or none when it lacks the
// interface (the object then goes at once); an object that could not be made
// is E_FAIL.
template <typename Object>
HRESULT handOut(Object* object, REFIID interfaceId, void** result) {
    if (object == nullptr) return E_FAIL;
    HRESULT hr = object->QueryInterface(interfaceId, result);
    object->Release();
    return hr;
}

}  // namespace

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
    // The context-menu handler of the classic menu, or the command of the
    // Windows 11 menu; a new object without the requested interface goes
    // again at once.
    if (IsEqualCLSID(clsid, CLSID_Quellis)) return handOut(new (std::nothrow) CQuellis(), interfaceId, result);
    if (IsEqualCLSID(clsid, CLSID_QuellisCommand)) {
        return handOut(new (std::nothrow) CQuellisCommand(), interfaceId, result);
    }
    return E_FAIL;
}

// Server locks are not kept: only live objects hold the module.
IFACEMETHODIMP CClassFactory::LockServer(BOOL /*lock*/) { return E_NOTIMPL; }
