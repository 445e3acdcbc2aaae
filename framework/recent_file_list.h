// The most-recently-used file list: newest first, at most `size` entries, stored as File1..FileN
// in its own settings section.
#pragma once

#include <string>
#include <vector>

class ProfileStore;

// The section the list is stored in.
inline constexpr const char* kRecentFileSection = "Recent File List";

class RecentFileList {
public:
    RecentFileList(std::string section, int size) : section_(std::move(section)), size_(size) {}

    // Puts the path first; an entry naming the same file (case-insensitive) moves up instead of
    // appearing twice. An empty path is ignored.
    void Add(const std::string& path);
    void Remove(int index);
    int GetCount() const { return (int)entries_.size(); }
    const std::string& operator[](int index) const { return entries_[index]; }

    void Load(ProfileStore& store);
    void Save(ProfileStore& store) const;

    // The menu text of entry `index`: "&1 C:\data\a.j".
    std::string MenuText(int index) const;

private:
    std::string section_;
    int size_;
    std::vector<std::string> entries_;
};
