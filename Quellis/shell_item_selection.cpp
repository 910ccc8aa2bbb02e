#include "shell_item_selection.h"

#include <memory>

namespace {

template <typename T>
using TaskMemory = std::unique_ptr<T, void (*)(void*)>;

// The path that GetDisplayName hands out in task memory, copied and freed.
bool itemPath(IShellItem* item, std::wstring& path) {
    wchar_t* name = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &name)) || name == nullptr) return false;
    const TaskMemory<wchar_t> owned(name, CoTaskMemFree);
    path = owned.get();
    return true;
}

struct ItemRelease {
    void operator()(IShellItem* item) const { item->Release(); }
};

}  // namespace

bool holdsOnlyFileSystemItems(IShellItemArray* items) {
    DWORD count = 0;
    if (items == nullptr || FAILED(items->GetCount(&count)) || count == 0) return false;
    SFGAOF attributes = 0;
    // S_FALSE: the attributes are not those asked for on every item.
    return items->GetAttributes(SIATTRIBFLAGS_AND, SFGAO_FILESYSTEM, &attributes) == S_OK &&
           (attributes & SFGAO_FILESYSTEM) != 0;
}

std::vector<std::wstring> fileSystemPaths(IShellItemArray* items) {
    std::vector<std::wstring> paths;
    DWORD count = 0;
    if (items == nullptr || FAILED(items->GetCount(&count))) return paths;
    paths.reserve(count);
    for (DWORD index = 0; index < count; ++index) {
        IShellItem* item = nullptr;
        if (FAILED(items->GetItemAt(index, &item)) || item == nullptr) continue;
        const std::unique_ptr<IShellItem, ItemRelease> held(item);
        std::wstring path;
        if (itemPath(item, path)) paths.push_back(std::move(path));
    }
    return paths;
}
