#include "ui/icon_rules.h"

#include <algorithm>
#include <cctype>

#include "engine/path_helpers.h"

IconRequest ClassifyIconPath(const std::string& path)
{
    IconRequest r;
    // The extension is the leaf's: a dot in a folder name does not make one.
    std::string leaf = LeafName(path);
    size_t dot = leaf.rfind('.');
    if (dot == std::string::npos)
        return r;
    r.extension = leaf.substr(dot);
    std::transform(r.extension.begin(), r.extension.end(), r.extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const char* const ownIcon[] = {".exe", ".ico", ".cur", ".ani", ".pif", ".lnk"};
    bool byName = std::any_of(std::begin(ownIcon), std::end(ownIcon),
                              [&](const char* e) { return r.extension == e; });
    r.key = byName ? leaf : r.extension;
    bool inArchive = !path.empty() && path[0] == '\\';
    if (!inArchive)
        r.kind = IconRequest::DiskFile;
    else if (r.extension == ".exe")
        r.kind = IconRequest::ArchiveExe;
    else {
        // The icon comes from the type's registration, so one image serves every file of the
        // type; looking up and storing under the same key keeps the image list from growing on
        // every refill.
        r.kind = IconRequest::ArchiveFile;
        r.key = r.extension;
    }
    return r;
}

void SplitIconLocation(const std::string& location, std::string& module, std::string& indexText)
{
    size_t comma = location.rfind(',');
    if (comma == std::string::npos) {
        module = location;
        indexText = location;
        return;
    }
    module = location.substr(0, comma);
    indexText = location.substr(comma + 1);
}

std::optional<int> IconCacheMap::Find(const std::string& key) const
{
    auto it = map_.find(key);
    if (it == map_.end())
        return std::nullopt;
    return it->second;
}
