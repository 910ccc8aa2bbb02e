// The context-menu handler: adds "Open with &Varkel" to the menu of the
// selected files and starts the launcher on them when it is picked.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "drop_selection.h"

class CQuellis final : public IShellExtInit, public IContextMenu {
public:
    CQuellis();

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID interfaceId, void** result) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    // IShellExtInit
    IFACEMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* selection, HKEY progIdKey) override;

    // IContextMenu
    IFACEMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstCommandId, UINT lastCommandId,
                                    UINT flags) override;
    IFACEMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    IFACEMETHODIMP GetCommandString(UINT_PTR commandOffset, UINT type, UINT* reserved, CHAR* buffer,
                                    UINT bufferSize) override;

private:
    ~CQuellis();

    static constexpr int kVerbCapacity = 10;

    bool acceptsCommand(const CMINVOKECOMMANDINFO& info) const;

    // Apartment-threaded: one thread uses the object, so a plain count serves.
    ULONG refCount;
    // Files counted by the latest QueryContextMenu; 0 until then.
    int fileCount;
    char verbA[kVerbCapacity];
    wchar_t verbW[kVerbCapacity];
    bool verbASet;
    bool verbWSet;
    HBITMAP menuBitmap;
    IDataObject* dataObject;
    // The drop that fileCount counts. Each handler keeps its own: handlers of
    // several windows live side by side.
    DropSelection selection_;
};
