#include "menu_icon_choice.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ChooseMenuIcon, TakesTheLargestPictureThatFitsBothDimensions) {
    const struct {
        int cx, cy;
        int size;
        const char16_t* group;
    } cases[] = {
        {21, 21, 21, u"VARKEL_ICON_21"}, {40, 40, 21, u"VARKEL_ICON_21"}, {21, 20, 17, u"VARKEL_ICON_17"},
        {20, 30, 17, u"VARKEL_ICON_17"}, {17, 17, 17, u"VARKEL_ICON_17"}, {16, 17, 16, u"VARKEL_ICON_16"},
        {16, 16, 16, u"VARKEL_ICON_16"}, {15, 99, 15, u"VARKEL_ICON_15"}, {99, 15, 15, u"VARKEL_ICON_15"},
        {14, 40, 13, u"VARKEL_ICON_13"}, {13, 13, 13, u"VARKEL_ICON_13"}, {0, 0, 13, u"VARKEL_ICON_13"},
        {-5, 30, 13, u"VARKEL_ICON_13"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cx << " x " << c.cy);
        varkel::quellis::MenuIconChoice choice = varkel::quellis::chooseMenuIcon(c.cx, c.cy);
        EXPECT_EQ(choice.size, c.size);
        EXPECT_EQ(std::u16string(choice.groupName), std::u16string(c.group));
    }
}

}  // namespace
