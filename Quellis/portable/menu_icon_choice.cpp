#include "menu_icon_choice.h"

namespace varkel::quellis {

namespace {

// Largest first: the first picture that fits both dimensions is taken.
constexpr MenuIconChoice kMenuIcons[] = {
    {21, u"VARKEL_ICON_21"},
    {17, u"VARKEL_ICON_17"},
    {16, u"VARKEL_ICON_16"},
    {15, u"VARKEL_ICON_15"},
};
constexpr MenuIconChoice kSmallestMenuIcon = {13, u"VARKEL_ICON_13"};

}  // namespace

MenuIconChoice chooseMenuIcon(int checkWidth, int checkHeight) {
    for (const auto& icon : kMenuIcons) {
        if (checkWidth >= icon.size && checkHeight >= icon.size) return icon;
    }
    return kSmallestMenuIcon;
}

}  // namespace varkel::quellis
