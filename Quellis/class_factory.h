// The class object that COM asks for the context-menu handler or for the
// Windows 11 menu command; clsid says which of the two it makes.
#pragma once

#include <windows.h>
#include <unknwn.h>

class CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(REFCLSID classId);

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID interfaceId, void** result) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    // IClassFactory
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID interfaceId, void** result) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;

private:
    ~CClassFactory();

    // Apartment-threaded: one thread uses the object, so a plain count serves.
    ULONG refCount;
    CLSID clsid;
};
