#include "test_data_objects.h"

#include <shlobj.h>
#include <shellapi.h>

#include <cstring>

namespace quellistest {

namespace {

// A CF_HDROP block: the DROPFILES header, then the wide paths, each
// terminated, and one more terminator.
HGLOBAL makeDrop(const std::vector<std::wstring>& paths) {
    size_t characters = 1;
    for (const auto& path : paths) characters += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
    for (const auto& path : paths) {
        std::memcpy(names, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        names += path.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

// A test COM object that offers IUnknown and Interface, counts its
// references and deletes itself at the last Release.
template <typename Interface, const IID& kInterfaceId>
class CountedObject : public Interface {
public:
    virtual ~CountedObject() = default;
    IFACEMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kInterfaceId)) ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    IFACEMETHODIMP_(ULONG) Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG refs_ = 1;
};

// Owns one medium's memory; ReleaseStgMedium releases it through
// pUnkForRelease, which the ledger counts.
class MediumOwner final : public CountedObject<IUnknown, IID_IUnknown> {
public:
    MediumOwner(HGLOBAL memory, std::shared_ptr<MediumLedger> ledger) : memory_(memory), ledger_(std::move(ledger)) {
        if (ledger_) ++ledger_->given;
    }
    ~MediumOwner() override {
        if (ledger_) ++ledger_->released;
        GlobalFree(memory_);
    }

private:
    HGLOBAL memory_;
    std::shared_ptr<MediumLedger> ledger_;
};

class DropDataObject final : public CountedObject<IDataObject, IID_IDataObject> {
public:
    DropDataObject(DropBehaviour behaviour, std::vector<std::wstring> paths, std::shared_ptr<MediumLedger> ledger,
                   HRESULT failure)
        : behaviour_(behaviour), paths_(std::move(paths)), ledger_(std::move(ledger)), failure_(failure) {}

    IFACEMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_INVALIDARG;
        if (behaviour_ == DropBehaviour::getDataFails) return failure_;
        if (behaviour_ == DropBehaviour::noFileFormat || format->cfFormat != CF_HDROP ||
            !(format->tymed & TYMED_HGLOBAL)) {
            return DV_E_FORMATETC;
        }
        HGLOBAL memory = behaviour_ == DropBehaviour::files        ? makeDrop(paths_)
                         : behaviour_ == DropBehaviour::emptyBlock ? GlobalAlloc(GMEM_MOVEABLE, 0)
                                                                   : nullptr;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = new MediumOwner(memory, ledger_);
        return S_OK;
    }
    IFACEMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    IFACEMETHODIMP QueryGetData(FORMATETC* format) override {
        return format && format->cfFormat == CF_HDROP && behaviour_ != DropBehaviour::noFileFormat ? S_OK
                                                                                                   : DV_E_FORMATETC;
    }
    IFACEMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    IFACEMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    DropBehaviour behaviour_;
    std::vector<std::wstring> paths_;
    std::shared_ptr<MediumLedger> ledger_;
    HRESULT failure_;
};

}  // namespace

ComRef<IDataObject> makeDropDataObject(DropBehaviour behaviour, const std::vector<std::wstring>& paths,
                                       std::shared_ptr<MediumLedger> ledger, HRESULT failure) {
    return ComRef<IDataObject>(new DropDataObject(behaviour, paths, std::move(ledger), failure));
}

ComRef<IDataObject> shellDataObject(const std::vector<std::wstring>& paths) {
    std::vector<PIDLIST_ABSOLUTE> items;
    for (const auto& path : paths) {
        PIDLIST_ABSOLUTE item = nullptr;
        if (FAILED(SHParseDisplayName(path.c_str(), nullptr, &item, 0, nullptr))) break;
        items.push_back(item);
    }
    ComRef<IDataObject> dataObject;
    if (items.size() == paths.size() && !items.empty()) {
        ComRef<IShellFolder> folder;
        if (SUCCEEDED(SHBindToParent(items[0], IID_IShellFolder, folder.out(), nullptr))) {
            std::vector<PCUITEMID_CHILD> children;
            for (auto item : items) children.push_back(ILFindLastID(item));
            folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject,
                                  nullptr, dataObject.out());
        }
    }
    for (auto item : items) CoTaskMemFree(item);
    return dataObject;
}

}  // namespace quellistest
