#include "framework/dpi_scale.h"

#include <gtest/gtest.h>

TEST(DpiScale, SizesGrowWithTheScreenAndRoundToTheNearestPixel)
{
    EXPECT_EQ(dpi::Scale(150, 96), 150);
    EXPECT_EQ(dpi::Scale(150, 144), 225);
    EXPECT_EQ(dpi::Scale(31, 144), 47);   // 46.5 rounds up
    EXPECT_EQ(dpi::Scale(31, 120), 39);   // 38.75
    EXPECT_EQ(dpi::Scale(130, 192), 260);
    EXPECT_EQ(dpi::Scale(3, 144), 5);     // 4.5
    EXPECT_EQ(dpi::Scale(-3, 144), -5);   // halves go away from zero on both sides
    EXPECT_EQ(dpi::Scale(0, 144), 0);
    // A window whose DPI could not be read shows the sizes as given.
    EXPECT_EQ(dpi::Scale(80, 0), 80);
    EXPECT_EQ(dpi::Scale(80, -1), 80);
}

TEST(DpiScale, RescalingThereAndBackKeepsTheWidth)
{
    // A column the user sized on one screen keeps its width through moves between screens
    // (rounding must not make it creep a pixel per move).
    for (int width : {1, 37, 61, 150, 333}) {
        int wide = dpi::Rescale(width, 96, 144);
        EXPECT_EQ(dpi::Rescale(wide, 144, 96), width) << width;
        EXPECT_EQ(dpi::Rescale(dpi::Rescale(width, 96, 192), 192, 96), width) << width;
    }
    EXPECT_EQ(dpi::Rescale(225, 144, 192), 300);
    EXPECT_EQ(dpi::Rescale(225, 0, 192), 450);  // from an unknown DPI: taken as 96
}

TEST(DpiScale, ImagesAreNeverDrawnLargerThanTheScaledSize)
{
    // Toolbar images: 24, 36 and 48 pixels.
    EXPECT_EQ(dpi::ImageSizeFor(24, 96), 24);
    EXPECT_EQ(dpi::ImageSizeFor(24, 72), 24);   // nothing smaller exists
    EXPECT_EQ(dpi::ImageSizeFor(24, 120), 24);  // 30 wanted
    EXPECT_EQ(dpi::ImageSizeFor(24, 144), 36);
    EXPECT_EQ(dpi::ImageSizeFor(24, 168), 36);  // 42 wanted
    EXPECT_EQ(dpi::ImageSizeFor(24, 192), 48);
    EXPECT_EQ(dpi::ImageSizeFor(24, 288), 48);
    EXPECT_EQ(dpi::ImageSizeFor(24, 0), 24);
    // The tip's bulb: 40, 60 and 80.
    EXPECT_EQ(dpi::ImageSizeFor(40, 96), 40);
    EXPECT_EQ(dpi::ImageSizeFor(40, 144), 60);
    EXPECT_EQ(dpi::ImageSizeFor(40, 180), 60);
    EXPECT_EQ(dpi::ImageSizeFor(40, 192), 80);
}
