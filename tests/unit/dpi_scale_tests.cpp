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

TEST(DpiScale, KeptWidthsDoNotCreepThroughSeveralScreens)
{
    dpi::KeptWidths kept;
    // 97 -> 145.5 -> 194 would come back as 98 if each move rescaled the previous result.
    std::vector<int> w = kept.Rescale({150, 97}, 96, 144);
    EXPECT_EQ(w, (std::vector<int>{225, 146}));
    w = kept.Rescale(w, 144, 192);
    EXPECT_EQ(w, (std::vector<int>{300, 194}));
    w = kept.Rescale(w, 192, 120);
    EXPECT_EQ(w, (std::vector<int>{188, 121}));
    w = kept.Rescale(w, 120, 96);
    EXPECT_EQ(w, (std::vector<int>{150, 97}));

    // A width the user changed on the way becomes the one carried on; the others keep theirs.
    w = kept.Rescale(w, 96, 144);
    w[1] = 61;
    w = kept.Rescale(w, 144, 96);
    EXPECT_EQ(w, (std::vector<int>{150, 41}));
    w = kept.Rescale(w, 96, 144);
    EXPECT_EQ(w, (std::vector<int>{225, 61}));

    // More columns than before (another mode's set): the new ones start from what they show.
    w = kept.Rescale({225, 61, 195, 90}, 144, 96);
    EXPECT_EQ(w, (std::vector<int>{150, 41, 130, 60}));
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
