#include "engine/path_helpers.h"

#include <windows.h>

bool PathExists(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        return true;
    }
    if (path.size() > 3)
        return false;
    // A drive root: it exists when its volume answers.
    std::string root = path.size() < 3 ? path + "\\" : path;
    ULARGE_INTEGER available, total, free;
    return GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free) != 0;
}

bool CreateDirectoryTree(const std::string& path)
{
    if (PathExists(path))
        return true;
    if (path.size() < 3)
        return false;
    std::string parent;
    if (ParentPath(path, parent))
        CreateDirectoryTree(parent);
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::string SystemTempFolder()
{
    std::string buffer(::GetTempPathA(0, nullptr), '\0');
    DWORD n = buffer.empty() ? 0 : ::GetTempPathA((DWORD)buffer.size(), buffer.data());
    return n > 0 && n < buffer.size() ? buffer.substr(0, n) : std::string();
}
