#include "tests/support/file_tree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#endif

namespace testsupport {

#ifdef _WIN32
namespace {
// Test trees may pass 260 characters and hold names the plain form would alter (a trailing dot):
// full paths go to the wide calls in the long form.
std::wstring LongForm(const std::string& path)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), (int)path.size(), nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), (int)path.size(), wide.data(), n);
    bool full = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
    return full ? L"\\\\?\\" + wide : wide;
}
} // namespace

void RemoveTree(const std::string& path)
{
    std::wstring wide = LongForm(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(wide.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wide + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            int n = WideCharToMultiByte(CP_UTF8, 0, name.c_str(), (int)name.size(), nullptr, 0, nullptr, nullptr);
            std::string utf8(n, '\0');
            WideCharToMultiByte(CP_UTF8, 0, name.c_str(), (int)name.size(), utf8.data(), n, nullptr, nullptr);
            RemoveTree(path + "\\" + utf8);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(wide.c_str());
}
#else
void RemoveTree(const std::string& path)
{
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0)
        return;
    if (!S_ISDIR(st.st_mode)) {
        ::unlink(path.c_str());
        return;
    }
    if (DIR* dir = ::opendir(path.c_str())) {
        while (dirent* item = ::readdir(dir))
            if (std::strcmp(item->d_name, ".") != 0 && std::strcmp(item->d_name, "..") != 0)
                RemoveTree(path + "/" + item->d_name);
        ::closedir(dir);
    }
    ::rmdir(path.c_str());
}
#endif

} // namespace testsupport
