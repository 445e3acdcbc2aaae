// Pixel sizes for screens of any density. Every size the program states in pixels is a size at
// 96 DPI; a window shows it multiplied by its own DPI / 96. Images come drawn at 1x, 1.5x and 2x
// and are never stretched: the largest that does not exceed the wanted size is shown as it is.
#pragma once

#include <vector>

namespace dpi {

constexpr int kBase = 96;

// `value` (pixels at `from` DPI) at `to` DPI, rounded to the nearest pixel, halves away from
// zero. A DPI that is not positive counts as 96.
int Rescale(int value, int from, int to);
// A size given at 96 DPI, for a window at `dpi`.
inline int Scale(int pixelsAt96, int dpi) { return Rescale(pixelsAt96, kBase, dpi); }

// The size of the drawn image to use for an image of `sizeAt96` pixels at `dpi`: images exist
// at `sizeAt96` x 1, x 1.5 and x 2; the largest of them not larger than the scaled size, and
// the 1x image below 96 DPI.
int ImageSizeFor(int sizeAt96, int dpi);

// Widths (list columns) carried from screen to screen without creeping: each is rescaled from
// the width it had when someone else (the user, a reset) last set it, not from the previous
// rescale, so 97 at 96 DPI is 97 again after 144 and 192.
class KeptWidths {
public:
    // `shown`: the widths now, at `oldDpi`. Returns the widths to show at `newDpi`.
    std::vector<int> Rescale(const std::vector<int>& shown, int oldDpi, int newDpi);

private:
    struct Width {
        int origin = 0;     // as last set by someone else
        int originDpi = 0;  // at that DPI
        int applied = 0;    // as we last set it
    };
    std::vector<Width> widths_;
};

} // namespace dpi
