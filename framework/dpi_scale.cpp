#include "framework/dpi_scale.h"

#include <cstddef>
#include <cstdint>

namespace dpi {

namespace {
int Valid(int value) { return value > 0 ? value : kBase; }
} // namespace

int Rescale(int value, int from, int to)
{
    from = Valid(from);
    to = Valid(to);
    // 64-bit product: a width times a DPI stays far inside it.
    int64_t product = (int64_t)value * to;
    int64_t half = from / 2;
    return (int)(product >= 0 ? (product + half) / from : -((-product + half) / from));
}

int ImageSizeFor(int sizeAt96, int dpi)
{
    int wanted = Scale(sizeAt96, dpi);
    const int drawn[] = {sizeAt96 * 2, sizeAt96 * 3 / 2};
    for (int size : drawn)
        if (size <= wanted)
            return size;
    return sizeAt96;
}

std::vector<int> KeptWidths::Rescale(const std::vector<int>& shown, int oldDpi, int newDpi)
{
    widths_.resize(shown.size());
    std::vector<int> result(shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        Width& w = widths_[i];
        // A width that is not the one we set was set by someone else: it is the new origin.
        if (w.originDpi == 0 || shown[i] != w.applied) {
            w.origin = shown[i];
            w.originDpi = oldDpi;
        }
        w.applied = result[i] = dpi::Rescale(w.origin, w.originDpi, newDpi);
    }
    return result;
}

} // namespace dpi
