#include "framework/recent_file_list.h"

#include "framework/name_compare.h"
#include "framework/profile_store.h"

#include <algorithm>

void RecentFileList::Add(const std::string& path)
{
    if (path.empty() || size_ <= 0)
        return;
    auto same = std::find_if(entries_.begin(), entries_.end(), [&](const std::string& e) { return SameNameIgnoringCase(e, path); });
    if (same != entries_.end())
        entries_.erase(same);
    entries_.insert(entries_.begin(), path);
    if ((int)entries_.size() > size_)
        entries_.resize(size_);
}

void RecentFileList::Remove(int index)
{
    if (index >= 0 && index < (int)entries_.size())
        entries_.erase(entries_.begin() + index);
}

void RecentFileList::Load(ProfileStore& store)
{
    entries_.clear();
    for (int i = 1; i <= size_; ++i) {
        std::string path = store.GetProfileString(section_, "File" + std::to_string(i), "");
        if (path.empty())
            continue;
        bool known = std::any_of(entries_.begin(), entries_.end(), [&](const std::string& e) { return SameNameIgnoringCase(e, path); });
        if (!known)
            entries_.push_back(path);
    }
}

void RecentFileList::Save(ProfileStore& store) const
{
    // Every slot is written, so that entries removed during the run disappear from the store too.
    for (int i = 0; i < size_; ++i)
        store.WriteProfileString(section_, "File" + std::to_string(i + 1), i < (int)entries_.size() ? entries_[i] : "");
}

std::string RecentFileList::MenuText(int index) const
{
    std::string text = "&" + std::to_string(index + 1) + " ";
    // A single "&" in a path would underline the next letter instead of showing.
    for (char c : entries_[index]) {
        if (c == '&')
            text += '&';
        text += c;
    }
    return text;
}
