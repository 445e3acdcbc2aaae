// Small icons of files, appended once each to the application image list and cached by
// extension (or by name for programs, icons and shortcuts, whose icon is their own).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_set>

// The image list IconIndexFor appends to: the application's small icons, whose first five
// images are resources 171..175 (folder, open folder, folder up, file, program). Without a
// list every lookup answers the file image.
void UseIconImageList(HIMAGELIST list);
HIMAGELIST IconImageList();
// The list was emptied and rebuilt (at another icon size): every cached index is forgotten.
void ForgetIconIndexes();

// The image index for a disk path or an archive path (beginning with a backslash). Never fails:
// an icon that cannot be found gives image 3.
int IconIndexFor(const std::string& path);

// The `size` x `size` icon of a group-icon resource of a module loaded as a data file: index >= 0
// counts the module's group icons from the first; index < 0 names the group's id. nullptr on
// failure.
HICON LoadGroupIcon(HMODULE module, const std::string& indexText, int size = 16);

// Icons for the rows of one refill: a type whose icon could not be found is not looked up again
// for every further row of the same fill (a later refill asks again).
class IconBatch {
public:
    int IndexFor(const std::string& path);

private:
    std::unordered_set<std::string> misses_;
};
