#include "context_menu_handler.h"

#include <new>
#include <string_view>

#include "launch_selection.h"
#include "menu_bitmap.h"
#include "module_state.h"
#include "portable/command_text.h"
#include "portable/quellis_messages.h"
#include "utf16_view.h"

namespace text = varkel::quellis::text;

namespace {

constexpr UINT kOurCommandOffset = 0;
constexpr UINT kCommandIdsUsed = 1;

// A verb argument is either a string pointer or, with all bits above the low
// word clear, a command offset (MAKEINTRESOURCE).
bool isCommandOffset(const void* verb) { return (reinterpret_cast<ULONG_PTR>(verb) >> 16) == 0; }
UINT commandOffset(const void* verb) { return LOWORD(reinterpret_cast<ULONG_PTR>(verb)); }

bool isWideInvocation(const CMINVOKECOMMANDINFO& info) {
    return info.cbSize == sizeof(CMINVOKECOMMANDINFOEX) && (info.fMask & CMIC_MASK_UNICODE) != 0;
}

}  // namespace

CQuellis::CQuellis()
    : refCount(1),
      fileCount(0),
      verbA(),
      verbW(),
      verbASet(false),
      verbWSet(false),
      menuBitmap(nullptr),
      dataObject(nullptr) {
    objectCreated();
    menuBitmap = LoadMenuBitmap();
}

CQuellis::~CQuellis() {
    if (dataObject != nullptr) dataObject->Release();
    if (menuBitmap != nullptr) DeleteObject(menuBitmap);
    // Last: once the count reaches 0, DllCanUnloadNow lets COM unload the
    // module, which must not happen while this code still runs.
    objectDestroyed();
}

IFACEMETHODIMP CQuellis::QueryInterface(REFIID interfaceId, void** result) {
    if (result == nullptr) return E_INVALIDARG;
    *result = nullptr;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IShellExtInit)) {
        *result = static_cast<IShellExtInit*>(this);
    } else if (IsEqualIID(interfaceId, IID_IContextMenu)) {
        *result = static_cast<IContextMenu*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

IFACEMETHODIMP_(ULONG) CQuellis::AddRef() { return ++refCount; }

IFACEMETHODIMP_(ULONG) CQuellis::Release() {
    ULONG remaining = --refCount;
    if (remaining == 0) delete this;
    return remaining;
}

IFACEMETHODIMP CQuellis::Initialize(PCIDLIST_ABSOLUTE /*folder*/, IDataObject* newSelection, HKEY /*progIdKey*/) {
    if (dataObject != nullptr) dataObject->Release();
    dataObject = newSelection;
    if (dataObject != nullptr) dataObject->AddRef();
    return S_OK;
}

// The item is added whenever the selection holds a file: the flags
// (CMF_DEFAULTONLY included) and the last id are not consulted.
IFACEMETHODIMP CQuellis::QueryContextMenu(HMENU menu, UINT index, UINT firstCommandId, UINT /*lastCommandId*/,
                                          UINT /*flags*/) {
    fileCount = 0;
    selection_.release();
    if (dataObject == nullptr) return S_OK;

    HRESULT hr = selection_.fetch(dataObject);
    if (FAILED(hr)) return hr;
    fileCount = selection_.countFiles();
    if (fileCount <= 0) {
        selection_.release();
        return S_OK;
    }

    InsertMenuW(menu, index, MF_BYPOSITION | MF_STRING, firstCommandId, varkel::asWide(text::kMenuItem));
    SetMenuItemBitmaps(menu, index, MF_BYPOSITION, menuBitmap, nullptr);
    varkel::quellis::copyBounded(verbA, kVerbCapacity, std::string_view(text::kVerbA));
    verbASet = true;
    varkel::quellis::copyBounded(verbW, kVerbCapacity, std::wstring_view(varkel::asWide(text::kVerb)));
    verbWSet = true;
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, kCommandIdsUsed);
}

bool CQuellis::acceptsCommand(const CMINVOKECOMMANDINFO& info) const {
    if (isWideInvocation(info)) {
        const auto& wideInfo = reinterpret_cast<const CMINVOKECOMMANDINFOEX&>(info);
        if (!isCommandOffset(wideInfo.lpVerbW)) {
            return verbWSet && varkel::quellis::verbEquals(varkel::asPortable(wideInfo.lpVerbW), varkel::asPortable(verbW));
        }
    } else if (!isCommandOffset(info.lpVerb)) {
        return verbASet && varkel::quellis::verbEquals(info.lpVerb, verbA);
    }
    // Both forms take the offset from lpVerb.
    return commandOffset(info.lpVerb) == kOurCommandOffset;
}

IFACEMETHODIMP CQuellis::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    if (info == nullptr) return E_INVALIDARG;
    if (!acceptsCommand(*info)) return E_FAIL;
    // Without a counted selection the command was never on a menu: there is
    // nothing to open.
    if (fileCount <= 0) return E_FAIL;
    try {
        LaunchWithSelection(selection_.paths(fileCount));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

IFACEMETHODIMP CQuellis::GetCommandString(UINT_PTR commandOffset, UINT type, UINT* /*reserved*/, CHAR* buffer,
                                          UINT bufferSize) {
    if (commandOffset != kOurCommandOffset) return E_INVALIDARG;
    auto* wideBuffer = reinterpret_cast<wchar_t*>(buffer);
    switch (type) {
        case GCS_VERBA:
            if (verbASet) varkel::quellis::copyBounded(buffer, bufferSize, std::string_view(verbA));
            break;
        case GCS_HELPTEXTA:
            varkel::quellis::copyBounded(buffer, bufferSize, std::string_view(text::kHelpTextA));
            break;
        case GCS_VERBW:
            if (verbWSet) varkel::quellis::copyBounded(wideBuffer, bufferSize, std::wstring_view(verbW));
            break;
        case GCS_HELPTEXTW:
            varkel::quellis::copyBounded(wideBuffer, bufferSize, std::wstring_view(varkel::asWide(text::kHelpText)));
            break;
        default:
            break;  // GCS_VALIDATEA, GCS_VALIDATEW and the rest: nothing to give
    }
    return S_OK;
}
