#include "framework/name_compare.h"

#include <windows.h>

#include <string>

namespace {

// Invalid UTF-8 still converts (each bad byte as U+FFFD); `exact` says whether it was valid.
std::wstring Utf16(std::string_view text, bool& exact)
{
    exact = true;
    if (text.empty())
        return std::wstring();
    int length = static_cast<int>(text.size());
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    DWORD flags = MB_ERR_INVALID_CHARS;
    if (size <= 0) {
        exact = false;
        flags = 0;
        size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    }
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, flags, text.data(), length, out.data(), size);
    return out;
}

} // namespace

int CompareNamesIgnoringCase(std::string_view a, std::string_view b)
{
    bool exactA = true, exactB = true;
    std::wstring wa = Utf16(a, exactA);
    std::wstring wb = Utf16(b, exactB);
    int r = CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()), TRUE);
    if (r == CSTR_LESS_THAN)
        return -1;
    if (r == CSTR_GREATER_THAN)
        return 1;
    // Two texts that are not UTF-8 may both have become U+FFFD: their bytes tell them apart.
    if (r == CSTR_EQUAL && exactA && exactB)
        return 0;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}
