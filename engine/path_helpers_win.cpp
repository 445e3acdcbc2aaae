#include "engine/path_helpers.h"

#include "framework/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

std::string SystemErrorText(unsigned long code)
{
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : "Error " + std::to_string(code);
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

unsigned long ReadFolder(const std::string& folder, const std::function<void(const FolderEntry&)>& each)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(FileSystemPath(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        // An empty drive root has not even "." to return.
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error;
    }
    auto stamp = [](const FILETIME& t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    do {
        FolderEntry entry;
        entry.name = Utf8Name(found.cFileName);
        if (entry.name == "." || entry.name == "..")
            continue;
        entry.attributes = found.dwFileAttributes;
        entry.size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        entry.modified = stamp(found.ftLastWriteTime);
        entry.created = stamp(found.ftCreationTime);
        each(entry);
    } while (FindNextFileW(search, &found));
    DWORD error = GetLastError();
    FindClose(search);
    return error == ERROR_NO_MORE_FILES ? 0 : error;
}

bool PathExists(const std::string& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(FileSystemPath(path).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        return true;
    }
    if (path.size() > 3)
        return false;
    // A drive root: it exists when its volume answers.
    std::string root = path.size() < 3 ? path + "\\" : path;
    ULARGE_INTEGER available, total, free;
    return GetDiskFreeSpaceExW(WideText(root).c_str(), &available, &total, &free) != 0;
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
    return CreateDirectoryW(FileSystemPath(path).c_str(), nullptr) != 0;
}

std::string LongPathName(const std::string& path)
{
    std::wstring wide = FileSystemPath(path);
    DWORD size = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    DWORD n = GetLongPathNameW(wide.c_str(), full.data(), size);
    if (n == 0 || n >= size)
        return path;
    full.resize(n);
    std::string result = Utf8Name(full.c_str());
    // In the form it was given: the long form only when it came that way.
    if (path.rfind("\\\\?\\", 0) == 0)
        return result;
    if (result.rfind("\\\\?\\UNC\\", 0) == 0)
        return "\\\\" + result.substr(8);
    if (result.rfind("\\\\?\\", 0) == 0)
        return result.substr(4);
    return result;
}

std::string SystemTempFolder()
{
    std::wstring buffer(::GetTempPathW(0, nullptr), L'\0');
    DWORD n = buffer.empty() ? 0 : ::GetTempPathW((DWORD)buffer.size(), buffer.data());
    return n > 0 && n < buffer.size() ? Utf8Name(buffer.c_str(), static_cast<int>(n)) : std::string();
}

std::string StartFolder(const std::string& folder)
{
    // A current folder fits 260 characters with its closing backslash and the end; one more is
    // kept in hand, as the shell extension keeps it.
    const size_t longestCurrentFolder = 257;
    if (folder.size() == 2 && folder[1] == ':')
        return folder + "\\";
    return WideText(folder).size() > longestCurrentFolder ? std::string() : folder;
}
