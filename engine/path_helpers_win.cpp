#include "engine/path_helpers.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

std::wstring FileSystemPath(const std::string& path)
{
    std::wstring wide;
    if (!path.empty()) {
        int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
        wide.assign(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
    }
    // The plain form stops short of 260 characters (CreateDirectory leaves room for an 8.3 name)
    // and drops a trailing dot or blank from every name, so a name a Linux folder or a share
    // keeps that way could not be reached. The long form is taken as it stands: only a full path
    // without "." or ".." parts and with backslashes alone gets it.
    const size_t plainLimit = 248;
    bool oddName = false;
    for (size_t start = 0; start <= wide.size();) {
        size_t end = std::min(wide.find(L'\\', start), wide.size());
        std::wstring_view part = std::wstring_view(wide).substr(start, end - start);
        if (part == L"." || part == L"..")
            return wide;
        oddName |= !part.empty() && (part.back() == L'.' || part.back() == L' ');
        start = end + 1;
    }
    if ((wide.size() < plainLimit && !oddName) || wide.rfind(L"\\\\?\\", 0) == 0 ||
        wide.find(L'/') != std::wstring::npos)
        return wide;
    bool drive = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
    bool unc = wide.rfind(L"\\\\", 0) == 0;
    if (drive)
        return L"\\\\?\\" + wide;
    if (unc)
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide;
}

std::string Utf8Name(const wchar_t* name)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string text(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, -1, text.data(), n, nullptr, nullptr);
    text.pop_back();
    return text;
}

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
    std::string buffer(::GetTempPathA(0, nullptr), '\0');
    DWORD n = buffer.empty() ? 0 : ::GetTempPathA((DWORD)buffer.size(), buffer.data());
    return n > 0 && n < buffer.size() ? buffer.substr(0, n) : std::string();
}
