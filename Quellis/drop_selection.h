// The files a handler was asked to act on: the CF_HDROP storage medium that
// its data object gave, owned by the handler alone.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shellapi.h>

#include <string>
#include <vector>

class DropSelection {
public:
    DropSelection();
    ~DropSelection();
    DropSelection(const DropSelection&) = delete;
    DropSelection& operator=(const DropSelection&) = delete;

    // Asks the data object for its file list. The medium held so far is
    // released first. A failed GetData's result comes back unchanged.
    HRESULT fetch(IDataObject* dataObject);
    void release();

    // The drop handle, or null when none is held.
    HDROP dropHandle() const;
    // Number of files in the drop (DragQueryFileW's count), 0 without one.
    int countFiles() const;
    // The first count paths, each whole however long it is.
    std::vector<std::wstring> paths(int count) const;

private:
    STGMEDIUM medium_;
};
