#include "framework/name_compare.h"

namespace {

// The next code point of UTF-8 text. A byte that does not start a well-formed sequence stands for
// itself, moved out of the way of real characters (U+DC80..U+DCFF, as no valid text decodes there),
// so that such names still order and tell apart.
char32_t NextCodePoint(std::string_view text, size_t& i)
{
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int extra = (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : 0;
    char32_t c = lead & (0x3F >> extra);
    bool good = extra > 0 && i + extra < text.size();
    for (int k = 1; good && k <= extra; ++k) {
        good = (byte(i + k) & 0xC0) == 0x80;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    static const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (!good || c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return 0xDC00 + lead;
    }
    i += extra + 1;
    return c;
}

bool Between(char32_t c, char32_t first, char32_t last)
{
    return c >= first && c <= last;
}

// Simple upper-case mapping (one code point to one), as the file system folds names: Latin,
// Greek, Cyrillic, Armenian and the full-width forms. Scripts without case (Japanese, emoji) are
// their own upper case.
char32_t Upper(char32_t c)
{
    if (Between(c, 'a', 'z'))
        return c - 0x20;
    if (c < 0xB5)
        return c;
    if (Between(c, 0xE0, 0xFE) && c != 0xF7)
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    if (Between(c, 0x100, 0x137) || Between(c, 0x14A, 0x177) || Between(c, 0x1E00, 0x1E95) ||
        Between(c, 0x1EA0, 0x1EFF) || Between(c, 0x460, 0x481) || Between(c, 0x48A, 0x4BF) ||
        Between(c, 0x4D0, 0x52F))
        return (c & 1) ? c - 1 : c;  // upper case even, lower case odd
    if (Between(c, 0x139, 0x148) || Between(c, 0x179, 0x17E) || Between(c, 0x4C1, 0x4CE))
        return (c & 1) ? c : c - 1;  // upper case odd, lower case even
    if (Between(c, 0x3B1, 0x3CB))
        return c == 0x3C2 ? 0x3A3 : c - 0x20;  // final sigma folds with sigma
    if (c == 0x3AC)
        return 0x386;
    if (Between(c, 0x3AD, 0x3AF))
        return c - 0x25;
    if (c == 0x3CC)
        return 0x38C;
    if (Between(c, 0x3CD, 0x3CE))
        return c - 0x3F;
    if (Between(c, 0x430, 0x44F))
        return c - 0x20;
    if (Between(c, 0x450, 0x45F))
        return c - 0x50;
    if (c == 0x4CF)
        return 0x4C0;
    if (Between(c, 0x561, 0x586))
        return c - 0x30;
    if (Between(c, 0xFF41, 0xFF5A))
        return c - 0x20;
    return c;
}

} // namespace

int CompareNamesIgnoringCase(std::string_view a, std::string_view b)
{
    size_t i = 0, k = 0;
    while (i < a.size() && k < b.size()) {
        char32_t ca = Upper(NextCodePoint(a, i));
        char32_t cb = Upper(NextCodePoint(b, k));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    return k < b.size() ? -1 : 0;
}
