#include "menu_bitmap.h"

#include "module_state.h"
#include "portable/menu_icon_choice.h"

namespace {

constexpr COLORREF kColourBytes = 0x00FFFFFF;  // red, green and blue; no flag byte

}  // namespace

HBITMAP LoadMenuBitmap() {
    quellis::MenuIconChoice choice =
        quellis::chooseMenuIcon(GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
    auto icon = static_cast<HICON>(LoadImageW(moduleHandle, reinterpret_cast<const wchar_t*>(choice.groupName),
                                              IMAGE_ICON, choice.size, choice.size, LR_DEFAULTCOLOR));
    if (icon == nullptr) return nullptr;
    return CreateMenuBitmap(icon, choice.size);
}

HBITMAP CreateMenuBitmap(HICON icon, int size) {
    HWND desktop = GetDesktopWindow();
    HDC screen = desktop != nullptr ? GetDC(desktop) : nullptr;
    HDC memory = screen != nullptr ? CreateCompatibleDC(screen) : nullptr;
    HBITMAP bitmap = memory != nullptr ? CreateCompatibleBitmap(screen, size, size) : nullptr;
    HGDIOBJ previous = bitmap != nullptr ? SelectObject(memory, bitmap) : nullptr;

    if (previous == nullptr || previous == HGDI_ERROR) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        if (memory != nullptr) DeleteDC(memory);
        if (screen != nullptr) ReleaseDC(desktop, screen);
        DestroyIcon(icon);
        return nullptr;
    }

    SetBkColor(memory, GetSysColor(COLOR_MENU) & kColourBytes);
    RECT area = {0, 0, size, size};
    ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);

    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(desktop, screen);
    DestroyIcon(icon);
    return bitmap;
}
