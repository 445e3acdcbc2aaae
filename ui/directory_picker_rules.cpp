#include "ui/directory_picker.h"

#include <algorithm>
#include <cctype>

void SortFolderNames(std::vector<std::string>& names)
{
    auto lower = [](unsigned char c) { return std::tolower(c); };
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        if (a == ".." || b == "..")
            return a == ".." && b != "..";
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [&](char x, char y) { return lower(x) < lower(y); });
    });
}
