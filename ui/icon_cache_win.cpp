#include "ui/icon_cache.h"

#include <shellapi.h>

#include <cstdlib>

#include "framework/registry_key.h"
#include "framework/wide_text.h"
#include "ui/icon_rules.h"

namespace {

struct GroupSearch {
    int wanted = 0;
    int seen = 0;
    LPSTR name = nullptr;
    std::string nameText; // a named (string) resource outlives the enumeration here
};

BOOL CALLBACK NthGroup(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    auto* search = reinterpret_cast<GroupSearch*>(param);
    if (search->seen++ < search->wanted)
        return TRUE;
    if (IS_INTRESOURCE(name))
        search->name = name;
    else {
        search->nameText = name;
        search->name = nullptr;
    }
    return FALSE;
}

} // namespace

int IconCache::Append(HICON icon)
{
    int index = imageList_ ? ImageList_ReplaceIcon(imageList_, -1, icon) : -1;
    DestroyIcon(icon);
    return index;
}

// The icon the file type's registration names, or nullptr.
HICON IconCache::RegisteredTypeIcon(const std::string& extension) const
{
    std::string typeName = RegistryDefaultValue(HKEY_CLASSES_ROOT, extension).value_or(std::string());
    if (typeName.empty())
        return nullptr;
    std::string location = RegistryDefaultValue(HKEY_CLASSES_ROOT, typeName + "\\DefaultIcon").value_or(std::string());
    if (location.empty())
        return nullptr;
    std::string moduleName, indexText;
    SplitIconLocation(location, moduleName, indexText);
    HMODULE module = LoadLibraryExA(moduleName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return nullptr;
    // At the size of the list's images, so that nothing is stretched on a denser screen.
    int cx = 16, cy = 16;
    if (imageList_)
        ImageList_GetIconSize(imageList_, &cx, &cy);
    HICON icon = LoadGroupIcon(module, indexText, cx);
    FreeLibrary(module);
    return icon;
}

void IconCache::UseImageList(HIMAGELIST list)
{
    // Cached indexes belong to the list they were appended to.
    if (list != imageList_)
        cache_.Clear();
    imageList_ = list;
}

HICON LoadGroupIcon(HMODULE module, const std::string& indexText, int size)
{
    long n = std::strtol(indexText.c_str(), nullptr, 10);
    LPCSTR groupName = nullptr;
    GroupSearch search;
    search.wanted = static_cast<int>(n);
    if (n >= 0) {
        EnumResourceNamesA(module, (LPCSTR)RT_GROUP_ICON, NthGroup, reinterpret_cast<LONG_PTR>(&search));
        if (search.seen <= n)
            return nullptr;
        groupName = search.name ? search.name : search.nameText.c_str();
    } else {
        groupName = MAKEINTRESOURCEA(static_cast<WORD>(-n & 0xFFFF));
    }
    HRSRC groupInfo = FindResourceA(module, groupName, (LPCSTR)RT_GROUP_ICON);
    HGLOBAL group = groupInfo ? LoadResource(module, groupInfo) : nullptr;
    BYTE* groupBits = group ? static_cast<BYTE*>(LockResource(group)) : nullptr;
    if (!groupBits)
        return nullptr;
    int id = LookupIconIdFromDirectoryEx(groupBits, TRUE, size, size, LR_DEFAULTCOLOR);
    if (id == 0)
        return nullptr;
    HRSRC iconInfo = FindResourceA(module, MAKEINTRESOURCEA(id), (LPCSTR)RT_ICON);
    HGLOBAL iconData = iconInfo ? LoadResource(module, iconInfo) : nullptr;
    BYTE* iconBits = iconData ? static_cast<BYTE*>(LockResource(iconData)) : nullptr;
    if (!iconBits)
        return nullptr;
    return CreateIconFromResourceEx(iconBits, SizeofResource(module, iconInfo), TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
}

int IconCache::IndexFor(const std::string& path)
{
    IconRequest request = ClassifyIconPath(path);
    if (request.kind == IconRequest::NoExtension)
        return icons::DefaultFile;
    if (request.kind == IconRequest::ArchiveExe)
        return icons::Program;
    if (auto cached = cache_.Find(request.key))
        return *cached;

    HICON icon = nullptr;
    if (request.kind == IconRequest::DiskFile) {
        SHFILEINFOW info{};
        if (SHGetFileInfoW(FileSystemPath(path).c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON))
            icon = info.hIcon;
    } else {
        icon = RegisteredTypeIcon(request.extension);
    }
    // Nothing found (or the shell's placeholder handle 1): the file image, and nothing cached so
    // that a later lookup tries again.
    if (!icon || icon == reinterpret_cast<HICON>(1))
        return icons::DefaultFile;
    int index = Append(icon);
    if (index < 0)
        return icons::DefaultFile;
    cache_.Store(request.key, index);
    return index;
}

int IconBatch::IndexFor(const std::string& path)
{
    IconRequest request = ClassifyIconPath(path);
    if (request.kind == IconRequest::NoExtension || request.kind == IconRequest::ArchiveExe)
        return cache_.IndexFor(path);
    if (misses_.count(request.key))
        return icons::DefaultFile;
    int index = cache_.IndexFor(path);
    if (index == icons::DefaultFile)
        misses_.insert(request.key);
    return index;
}
