#include <gtest/gtest.h>

#include "platform/ui/DialogBase.h"
#include "platform/ui/TemplateFonts.h"

TEST(DialogUnits, ConvertWithTheFontsBaseUnits) {
    const DialogBaseUnits units(6, 13);
    EXPECT_EQ(units.ToPixelsX(4), 6);
    EXPECT_EQ(units.ToPixelsY(8), 13);
    EXPECT_EQ(units.ToPixelsX(131), 197);
    EXPECT_EQ(units.ToPixelsY(313), 509);
    EXPECT_EQ(units.ToPixels(151, 20, 29, 12), QRect(227, 33, 44, 20));
}

TEST(DialogUnits, BaseUnitsComeFromTheTemplateFont) {
    const DialogBaseUnits small(TemplateFont("MS Sans Serif", 8));
    const DialogBaseUnits large(TemplateFont("MS Sans Serif", 16));
    EXPECT_GT(small.x, 3);
    EXPECT_GT(small.y, 8);
    EXPECT_GT(large.x, small.x);
    EXPECT_GT(large.y, small.y);
}

TEST(TemplateFaces, MapToInstalledFacesAndKeepOthers) {
    EXPECT_NE(InstalledFace(QStringLiteral("MS Sans Serif")), QStringLiteral("MS Sans Serif"));
    EXPECT_NE(InstalledFace(QStringLiteral("굴림")), QStringLiteral("굴림"));
    EXPECT_EQ(InstalledFace(QStringLiteral("Some Face")), QStringLiteral("Some Face"));
    EXPECT_TRUE(TemplateFont("System", 10).bold());
}
