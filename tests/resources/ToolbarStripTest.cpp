#include <cstring>
#include <gtest/gtest.h>

#include "platform/ui/ToolbarImages.h"
#include "resources/ProgramResources.h"

TEST(ToolbarStrip, EveryPictureIsSixteenByFifteenInTheSixteenColours) {
    const std::string letters = ".krgybmtsdRGYBMCW";
    for (int image = 0; image < TOOLBAR_IMAGE_COUNT; ++image) {
        for (int row = 0; row < TOOLBAR_IMAGE_HEIGHT; ++row) {
            const char* text = kToolbarImages[image][row];
            ASSERT_NE(text, nullptr);
            EXPECT_EQ(std::strlen(text), std::size_t(TOOLBAR_IMAGE_WIDTH))
                << "picture " << image << " row " << row;
            for (const char* p = text; *p; ++p)
                EXPECT_NE(letters.find(*p), std::string::npos) << "picture " << image << " row " << row;
        }
    }
}

TEST(ToolbarStrip, PicturesBecomeImagesWithATransparentFace) {
    const QImage bulb = ToolbarImage(10);
    ASSERT_EQ(bulb.size(), QSize(16, 15));
    EXPECT_EQ(qAlpha(bulb.pixel(0, 0)), 0);
    EXPECT_EQ(bulb.pixel(6, 1), qRgb(255, 255, 0));
    EXPECT_EQ(bulb.pixel(6, 0), qRgb(0, 0, 0));
    EXPECT_TRUE(ToolbarImage(TOOLBAR_IMAGE_COUNT).isNull());
    EXPECT_TRUE(ToolbarImage(-1).isNull());
    EXPECT_FALSE(ApplicationIcon().isNull());
}
