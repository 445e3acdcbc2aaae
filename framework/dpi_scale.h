// Pixel sizes for screens of any density. Every size the program states in pixels is a size at
// 96 DPI; a window shows it multiplied by its own DPI / 96. Images come drawn at 1x, 1.5x and 2x
// and are never stretched: the largest that does not exceed the wanted size is shown as it is.
#pragma once

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

} // namespace dpi
