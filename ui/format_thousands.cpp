#include "ui/format_thousands.h"

std::string FormatThousands(long long number)
{
    std::string digits = std::to_string(number);
    // The sign stays in front of the groups ("-1,234", never "-,123").
    size_t first = (digits[0] == '-') ? 1 : 0;
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (size_t i = first; i < digits.size(); ++i) {
        out += digits[i];
        size_t left = digits.size() - 1 - i;
        if (left > 0 && left % 3 == 0)
            out += ',';
    }
    if (first)
        out.insert(out.begin(), '-');
    return out;
}
