// Which of the module's menu pictures fits the menu's check-mark area.
#pragma once

namespace varkel::quellis {

struct MenuIconChoice {
    int size;                 // width and height in pixels
    const char16_t* groupName;  // the icon group resource
};

// The largest picture that fits both dimensions of the check-mark area
// (GetSystemMetrics SM_CXMENUCHECK, SM_CYMENUCHECK); the 13-pixel one when
// none of the larger ones fits.
MenuIconChoice chooseMenuIcon(int checkWidth, int checkHeight);

}  // namespace varkel::quellis
