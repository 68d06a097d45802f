#include <gtest/gtest.h>

#include "platform/ui/Contrast.h"

TEST(Contrast, RatioRunsFromOneToTwentyOneWhicheverColourIsLighter) {
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::white, Qt::black), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(QColor(0x80, 0x40, 0x20), QColor(0x80, 0x40, 0x20)), 1.0);
    // Green weighs most, blue least.
    EXPECT_GT(RelativeLuminance(QColor(0, 255, 0)), RelativeLuminance(QColor(255, 0, 0)));
    EXPECT_GT(RelativeLuminance(QColor(255, 0, 0)), RelativeLuminance(QColor(0, 0, 255)));
    // The light grey on light grey the disabled fields used to show.
    EXPECT_LT(ContrastRatio(QColor(0xC6, 0xC6, 0xC6), QColor(0xEF, 0xEF, 0xEF)), 1.6);
}

TEST(Contrast, DarkeningStopsAsSoonAsEveryBackgroundIsMet) {
    const QColor grey(0xC6, 0xC6, 0xC6);
    const QColor base(0xEF, 0xEF, 0xEF), window(0xE0, 0xE0, 0xE0);
    const QColor readable = DarkenForContrast(grey, {base, window}, kReadableContrast);
    EXPECT_GE(ContrastRatio(readable, base), kReadableContrast);
    EXPECT_GE(ContrastRatio(readable, window), kReadableContrast);
    EXPECT_EQ(readable.red(), readable.blue()) << "still a grey";
    const QColor oneLighter(readable.red() + 1, readable.green() + 1, readable.blue() + 1);
    EXPECT_LT(ContrastRatio(oneLighter, window), kReadableContrast);
    EXPECT_EQ(DarkenForContrast(Qt::black, {base}, kReadableContrast), QColor(Qt::black));
}
