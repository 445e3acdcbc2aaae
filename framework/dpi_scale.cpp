#include "framework/dpi_scale.h"

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

} // namespace dpi
