// Selections to hand to the handler's Initialize: Wine's own shell data
// object for real files, and a data object of the tests' own that serves a
// file list built here or fails in a chosen way.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <memory>
#include <string>
#include <vector>

#include "quellis_module.h"

namespace quellistest {

// The shell's data object for files of one folder, as Explorer hands it to
// a context-menu handler. Empty when the shell cannot name a file.
ComRef<IDataObject> shellDataObject(const std::vector<std::wstring>& paths);

// How many storage media the test data object gave out and how many came
// back through ReleaseStgMedium.
struct MediumLedger {
    long given = 0;
    long released = 0;
};

enum class DropBehaviour {
    files,          // CF_HDROP with the paths given
    emptyBlock,     // S_OK with a global block of no bytes: no file list at all
    nullHandle,     // S_OK with a null global handle
    noFileFormat,   // no CF_HDROP: DV_E_FORMATETC
    getDataFails,   // GetData returns failure
};

// A new data object with reference count 1; its media record into ledger
// (which must outlive every medium it gives).
ComRef<IDataObject> makeDropDataObject(DropBehaviour behaviour, const std::vector<std::wstring>& paths,
                                       std::shared_ptr<MediumLedger> ledger = nullptr,
                                       HRESULT failure = E_UNEXPECTED);

}  // namespace quellistest
