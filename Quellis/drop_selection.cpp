#include "drop_selection.h"

#include <climits>

namespace {

constexpr UINT kCountFiles = 0xFFFFFFFF;

FORMATETC hdropFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// One path, asked for its length first: a buffer of MAX_PATH would cut a
// longer path into the name of some other file.
std::wstring dropPath(HDROP drop, UINT index) {
    UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    UINT copied = DragQueryFileW(drop, index, path.data(), length + 1);
    path.resize(copied <= length ? copied : length);
    return path;
}

}  // namespace

DropSelection::DropSelection() : medium_() {}

DropSelection::~DropSelection() { release(); }

HRESULT DropSelection::fetch(IDataObject* dataObject) {
    release();
    FORMATETC format = hdropFormat();
    HRESULT hr = dataObject->GetData(&format, &medium_);
    // A failed GetData leaves nothing to release; a medium we cannot read as
    // a drop handle is handed back at once.
    if (FAILED(hr)) {
        medium_ = STGMEDIUM();
    } else if (medium_.tymed != TYMED_HGLOBAL) {
        release();
    }
    return hr;
}

void DropSelection::release() {
    if (medium_.tymed != TYMED_NULL) ReleaseStgMedium(&medium_);
    medium_ = STGMEDIUM();
}

HDROP DropSelection::dropHandle() const {
    return medium_.tymed == TYMED_HGLOBAL ? static_cast<HDROP>(medium_.hGlobal) : nullptr;
}

int DropSelection::countFiles() const {
    HDROP drop = dropHandle();
    if (drop == nullptr) return 0;
    UINT count = DragQueryFileW(drop, kCountFiles, nullptr, 0);
    return count > INT_MAX ? 0 : static_cast<int>(count);
}

std::vector<std::wstring> DropSelection::paths(int count) const {
    std::vector<std::wstring> result;
    HDROP drop = dropHandle();
    if (drop == nullptr) return result;
    for (int index = 0; index < count; ++index) result.push_back(dropPath(drop, static_cast<UINT>(index)));
    return result;
}
