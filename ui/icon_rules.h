// How a path finds its small icon: the cache key, and where the icon comes from.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>

// Fixed images of the application image list.
namespace icons {
constexpr int Folder = 0, OpenFolder = 1, ParentOfArchive = 2, DefaultFile = 3, Program = 4;
constexpr int FirstResource = 171, ResourceCount = 5;
}

struct IconRequest {
    enum Kind {
        NoExtension, // image DefaultFile
        DiskFile,    // ask the shell for the file's own icon
        ArchiveExe,  // image Program
        ArchiveFile, // the type's registered icon
    };
    Kind kind = NoExtension;
    std::string extension; // lower case, with its dot
    std::string key;       // cache key
};

// Programs, icons, cursors and shortcuts carry an icon of their own: they are cached by file name.
IconRequest ClassifyIconPath(const std::string& path);

// A registered icon location "module,index": the module and the index text. Without a comma the
// whole value is both.
void SplitIconLocation(const std::string& location, std::string& module, std::string& indexText);

// Key -> image index; grows only.
class IconCacheMap {
public:
    std::optional<int> Find(const std::string& key) const;
    void Store(const std::string& key, int index) { map_[key] = index; }
    size_t size() const { return map_.size(); }
    void Clear() { map_.clear(); }

private:
    std::unordered_map<std::string, int> map_;
};
