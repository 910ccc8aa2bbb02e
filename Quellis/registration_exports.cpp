// The four exports that the setup tool calls by name: the COM and context-menu
// registration, and the launcher path that the handler starts.
//
// DllRegisterServer and DllUnregisterServer keep the names that COM tools look
// for but take the setup tool's allUsers flag and return a one-byte boolean;
// the .def file fixes their ordinals. Nothing is rolled back: a partial
// registration stays and is reported as false.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <type_traits>
#include <vector>

#include "module_path.h"
#include "module_state.h"
#include "owners.h"
#include "quellis_exports.h"
#include "registry_access.h"
#include "registry_layout.h"

namespace {

constexpr int kGuidStringCapacity = 64;

using RegDeleteKeyExWFunction = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);

// The module's own path in its long form. Grows its buffer instead of
// registering a path cut at MAX_PATH, which would name another file; an
// empty result means the path could not be read.
std::wstring longModulePath() {
    std::wstring path = varkel::modulePath(moduleHandle);
    if (path.empty()) return {};
    DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return path;  // no long form to be had: keep the path as it is
    std::vector<wchar_t> longPath(needed);
    DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), needed);
    if (length == 0 || length >= needed) return path;
    return longPath.data();
}

bool deleteKey(RegDeleteKeyExWFunction deleteKeyEx, HKEY root, const std::wstring& key) {
    LONG result = deleteKeyEx != nullptr ? deleteKeyEx(root, key.c_str(), KEY_WOW64_64KEY, 0)
                                         : RegDeleteKeyW(root, key.c_str());
    return result == ERROR_SUCCESS;
}

}  // namespace

std::wstring classIdString() {
    wchar_t text[kGuidStringCapacity] = {};
    StringFromGUID2(CLSID_Quellis, text, kGuidStringCapacity);
    return text;
}

extern "C" bool WINAPI DllRegisterServer(bool allUsers) {
    HKEY root = registrationRoot(allUsers);
    std::wstring classId = classIdString();
    std::wstring modulePath = longModulePath();

    // Every write is attempted, also after an earlier one failed.
    bool described = WriteRegistryString(root, clsidKey().c_str(), nullptr, kClassDescription);
    bool served = !modulePath.empty() && WriteRegistryString(root, inprocServerKey().c_str(), nullptr, modulePath.c_str());
    bool threaded = WriteRegistryString(root, inprocServerKey().c_str(), kThreadingModelValue, kThreadingModel);
    bool handled = WriteRegistryString(root, kContextMenuHandlerKey, nullptr, classId.c_str());
    return described && served && threaded && handled;
}

extern "C" bool WINAPI DllUnregisterServer(bool allUsers) {
    // RegDeleteKeyExW reaches the 64-bit view; where the system lacks it,
    // RegDeleteKeyW does the same job in this 64-bit module.
    const varkel::ModuleOwner advapi(LoadLibraryW(L"AdvAPI32.dll"));
    auto deleteKeyEx = advapi ? reinterpret_cast<RegDeleteKeyExWFunction>(
                                    reinterpret_cast<void*>(GetProcAddress(advapi.get(), "RegDeleteKeyExW")))
                              : nullptr;
    HKEY root = registrationRoot(allUsers);

    // The child before its parent: a key with sub-keys cannot be deleted.
    bool serverGone = deleteKey(deleteKeyEx, root, inprocServerKey());
    bool classGone = deleteKey(deleteKeyEx, root, clsidKey());
    bool handlerGone = deleteKey(deleteKeyEx, root, kContextMenuHandlerKey);
    return serverGone && classGone && handlerGone;
}

extern "C" bool WINAPI RegisterVarkelApp(const wchar_t* launcherPath, bool allUsers) {
    if (launcherPath == nullptr) return false;
    return WriteRegistryString(registrationRoot(allUsers), kLauncherKey, kLauncherCommandValue, launcherPath);
}

extern "C" bool WINAPI UnregisterVarkelApp(const wchar_t* /*unused*/, bool allUsers) {
    return DeleteRegistryValue(registrationRoot(allUsers), kLauncherKey, kLauncherCommandValue);
}

// The setup tool binds these by name through the types of quellis_exports.h.
static_assert(std::is_same_v<decltype(&DllRegisterServer), varkel::ServerExport>);
static_assert(std::is_same_v<decltype(&DllUnregisterServer), varkel::ServerExport>);
static_assert(std::is_same_v<decltype(&RegisterVarkelApp), varkel::AppExport>);
static_assert(std::is_same_v<decltype(&UnregisterVarkelApp), varkel::AppExport>);
