#include "explorer_command.h"

#include <algorithm>
#include <new>
#include <string>

#include "format.h"
#include "launch_selection.h"
#include "module_path.h"
#include "module_state.h"
#include "portable/quellis_messages.h"
#include "res/resource_ids.h"
#include "shell_item_selection.h"
#include "utf16_view.h"

namespace text = varkel::quellis::text;

namespace {

constexpr int kCommandIconId = VARKEL_COMMAND_ICON;

// A copy in task memory, which the caller frees with CoTaskMemFree.
HRESULT handOutText(const std::wstring& value, LPWSTR* result) {
    if (result == nullptr) return E_POINTER;
    *result = static_cast<LPWSTR>(CoTaskMemAlloc((value.size() + 1) * sizeof(wchar_t)));
    if (*result == nullptr) return E_OUTOFMEMORY;
    std::copy(value.begin(), value.end(), *result);
    (*result)[value.size()] = L'\0';
    return S_OK;
}

}  // namespace

CQuellisCommand::CQuellisCommand() : refCount_(1), site_(nullptr) { objectCreated(); }

CQuellisCommand::~CQuellisCommand() {
    if (site_ != nullptr) site_->Release();
    // Last: at 0 the module may be unloaded.
    objectDestroyed();
}

IFACEMETHODIMP CQuellisCommand::QueryInterface(REFIID interfaceId, void** result) {
    if (result == nullptr) return E_INVALIDARG;
    *result = nullptr;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IExplorerCommand)) {
        *result = static_cast<IExplorerCommand*>(this);
    } else if (IsEqualIID(interfaceId, IID_IObjectWithSite)) {
        *result = static_cast<IObjectWithSite*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

IFACEMETHODIMP_(ULONG) CQuellisCommand::AddRef() { return ++refCount_; }

IFACEMETHODIMP_(ULONG) CQuellisCommand::Release() {
    ULONG remaining = --refCount_;
    if (remaining == 0) delete this;
    return remaining;
}

IFACEMETHODIMP CQuellisCommand::GetTitle(IShellItemArray* /*items*/, LPWSTR* title) {
    try {
        return handOutText(varkel::asWide(text::kCommandTitle), title);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// "<module path>,-<id>": Explorer loads the icon from this module by its id.
IFACEMETHODIMP CQuellisCommand::GetIcon(IShellItemArray* /*items*/, LPWSTR* icon) {
    try {
        std::wstring path = varkel::modulePath(moduleHandle);
        if (path.empty()) {
            if (icon != nullptr) *icon = nullptr;
            return E_FAIL;
        }
        path += varkel::asWide(text::kIconReferenceSeparator);
        path += varkel::toWide(varkel::decimalText(kCommandIconId));
        return handOutText(path, icon);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

IFACEMETHODIMP CQuellisCommand::GetToolTip(IShellItemArray* /*items*/, LPWSTR* toolTip) {
    if (toolTip != nullptr) *toolTip = nullptr;
    return E_NOTIMPL;
}

IFACEMETHODIMP CQuellisCommand::GetCanonicalName(GUID* name) {
    if (name == nullptr) return E_POINTER;
    *name = CLSID_QuellisCommand;
    return S_OK;
}

// Shown for any selection of files and folders, hidden when there is no
// launcher to start or an item has no path. Explorer asks while it builds the
// menu: the answer comes from the registry and the items' attributes, never
// from the disk.
IFACEMETHODIMP CQuellisCommand::GetState(IShellItemArray* items, BOOL /*okToBeSlow*/, EXPCMDSTATE* state) {
    if (state == nullptr) return E_POINTER;
    *state = launcherCommandRegistered() && holdsOnlyFileSystemItems(items) ? ECS_ENABLED : ECS_HIDDEN;
    return S_OK;
}

// The classic handler's launch, with the items' paths in their order.
IFACEMETHODIMP CQuellisCommand::Invoke(IShellItemArray* items, IBindCtx* /*bindContext*/) {
    try {
        std::vector<std::wstring> paths = fileSystemPaths(items);
        if (paths.empty()) return E_INVALIDARG;
        LaunchWithSelection(paths);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

IFACEMETHODIMP CQuellisCommand::GetFlags(EXPCMDFLAGS* flags) {
    if (flags == nullptr) return E_POINTER;
    *flags = ECF_DEFAULT;
    return S_OK;
}

IFACEMETHODIMP CQuellisCommand::EnumSubCommands(IEnumExplorerCommand** commands) {
    if (commands != nullptr) *commands = nullptr;
    return E_NOTIMPL;
}

IFACEMETHODIMP CQuellisCommand::SetSite(IUnknown* site) {
    if (site != nullptr) site->AddRef();
    if (site_ != nullptr) site_->Release();
    site_ = site;
    return S_OK;
}

IFACEMETHODIMP CQuellisCommand::GetSite(REFIID interfaceId, void** site) {
    if (site == nullptr) return E_POINTER;
    *site = nullptr;
    return site_ != nullptr ? site_->QueryInterface(interfaceId, site) : E_FAIL;
}
