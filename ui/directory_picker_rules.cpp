#include "ui/directory_picker.h"

#include <algorithm>

#include "framework/name_compare.h"

void SortFolderNames(std::vector<std::string>& names)
{
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        if (a == ".." || b == "..")
            return a == ".." && b != "..";
        return NameBeforeIgnoringCase(a, b);
    });
}
