// The command of Windows 11's own context menu: "Open with Varkel" for any
// selection of files, started through the same launch as the classic
// handler's "Open with &Varkel". Explorer finds it through the package
// manifest (a surrogate-hosted COM class), not through the registry.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <shobjidl.h>

class CQuellisCommand final : public IExplorerCommand, public IObjectWithSite {
public:
    CQuellisCommand();

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID interfaceId, void** result) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    // IExplorerCommand
    IFACEMETHODIMP GetTitle(IShellItemArray* items, LPWSTR* title) override;
    IFACEMETHODIMP GetIcon(IShellItemArray* items, LPWSTR* icon) override;
    IFACEMETHODIMP GetToolTip(IShellItemArray* items, LPWSTR* toolTip) override;
    IFACEMETHODIMP GetCanonicalName(GUID* name) override;
    IFACEMETHODIMP GetState(IShellItemArray* items, BOOL okToBeSlow, EXPCMDSTATE* state) override;
    IFACEMETHODIMP Invoke(IShellItemArray* items, IBindCtx* bindContext) override;
    IFACEMETHODIMP GetFlags(EXPCMDFLAGS* flags) override;
    IFACEMETHODIMP EnumSubCommands(IEnumExplorerCommand** commands) override;

    // IObjectWithSite: Explorer gives the command its site before it asks.
    IFACEMETHODIMP SetSite(IUnknown* site) override;
    IFACEMETHODIMP GetSite(REFIID interfaceId, void** site) override;

private:
    ~CQuellisCommand();

    // Each command lives on the thread of one menu: a plain count serves.
    ULONG refCount_;
    IUnknown* site_;
};
