#include "menu_bitmap.h"

#include "module_state.h"
#include "owners.h"
#include "portable/menu_icon_choice.h"

namespace {

constexpr COLORREF kColourBytes = 0x00FFFFFF;  // red, green and blue; no flag byte

}  // namespace

HBITMAP LoadMenuBitmap() {
    varkel::quellis::MenuIconChoice choice =
        varkel::quellis::chooseMenuIcon(GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
    auto icon = static_cast<HICON>(LoadImageW(moduleHandle, reinterpret_cast<const wchar_t*>(choice.groupName),
                                              IMAGE_ICON, choice.size, choice.size, LR_DEFAULTCOLOR));
    if (icon == nullptr) return nullptr;
    return CreateMenuBitmap(icon, choice.size);
}

HBITMAP CreateMenuBitmap(HICON icon, int size) {
    const varkel::IconOwner ownedIcon(icon);
    HWND desktop = GetDesktopWindow();
    HDC screen = desktop != nullptr ? GetDC(desktop) : nullptr;
    if (screen == nullptr) return nullptr;
    varkel::GdiObjectOwner<HBITMAP> bitmap;
    {
        const varkel::MemoryDcOwner memory(CreateCompatibleDC(screen));
        if (memory) bitmap.reset(CreateCompatibleBitmap(screen, size, size));
        HGDIOBJ previous = bitmap ? SelectObject(memory.get(), bitmap.get()) : nullptr;
        if (previous == nullptr || previous == HGDI_ERROR) {
            bitmap.reset();
        } else {
            SetBkColor(memory.get(), GetSysColor(COLOR_MENU) & kColourBytes);
            RECT area = {0, 0, size, size};
            ExtTextOutW(memory.get(), 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
            DrawIconEx(memory.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
            SelectObject(memory.get(), previous);
        }
    }
    ReleaseDC(desktop, screen);
    return bitmap.release();
}
