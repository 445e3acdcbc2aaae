// Small icons of files, appended once each to the application image list and cached by
// extension (or by name for programs, icons and shortcuts, whose icon is their own).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_set>

#include "ui/icon_rules.h"

// The icons of one image list: the application's small icons, whose first five images are
// resources 171..175 (folder, open folder, folder up, file, program). The application owns it
// and hands it to the lists that show file icons.
class IconCache {
public:
    // The list icons are appended to. Without a list every lookup answers the file image.
    void UseImageList(HIMAGELIST list);
    HIMAGELIST ImageList() const { return imageList_; }
    // The list was emptied and rebuilt (at another icon size): every cached index is forgotten.
    void ForgetIndexes() { cache_.Clear(); }

    // The image index for a disk path or an archive path (beginning with a backslash). Never
    // fails: an icon that cannot be found gives image 3.
    int IndexFor(const std::string& path);

private:
    int Append(HICON icon);
    HICON RegisteredTypeIcon(const std::string& extension) const;

    HIMAGELIST imageList_ = nullptr;
    IconCacheMap cache_;
};

// The `size` x `size` icon of a group-icon resource of a module loaded as a data file: index >= 0
// counts the module's group icons from the first; index < 0 names the group's id. nullptr on
// failure.
HICON LoadGroupIcon(HMODULE module, const std::string& indexText, int size = 16);

// Icons for the rows of one refill: a type whose icon could not be found is not looked up again
// for every further row of the same fill (a later refill asks again).
class IconBatch {
public:
    explicit IconBatch(IconCache& cache) : cache_(cache) {}
    int IndexFor(const std::string& path);

private:
    IconCache& cache_;
    std::unordered_set<std::string> misses_;
};
