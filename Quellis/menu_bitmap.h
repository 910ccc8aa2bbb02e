// The picture beside the menu item.
#pragma once

#include <windows.h>

// The module's icon that fits the menu's check-mark area, pre-composed on the
// menu colour. Null when the icon cannot be loaded or drawn: the item then
// shows without a picture.
HBITMAP LoadMenuBitmap();

// Draws icon on the menu colour into a new size x size bitmap, so the picture
// needs no transparency. Takes the icon and destroys it in every case.
HBITMAP CreateMenuBitmap(HICON icon, int size);
