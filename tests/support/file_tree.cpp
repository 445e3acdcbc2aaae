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
std::wstring Wide(const std::string& text)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), int(text.size()), wide.data(), n);
    return wide;
}

std::string UnixPath(const std::string& path)
{
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    auto toUnix = (ToUnix)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix)
        return std::string();
    char* unixName = toUnix(Wide(path).c_str());
    if (!unixName)
        return std::string();
    std::string result = unixName;
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

namespace {
// Starts a Linux program from under Wine, which runs a Linux executable as it is (its handle
// does not tell when it ends: callers wait for what it does).
void RunOnLinux(const std::string& program, const std::string& arguments)
{
    std::string line = program + " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(("Z:" + program).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool NameThere(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitUntil(bool there, const std::string& path)
{
    for (DWORD start = GetTickCount(); NameThere(path) != there; Sleep(10))
        if (GetTickCount() - start > 10000)
            return false;
    return true;
}
} // namespace

bool MakeFolderLink(const std::string& link, const std::string& target)
{
    size_t slash = link.find_last_of('\\');
    std::string folder = UnixPath(link.substr(0, slash));
    if (folder.empty())
        return CreateSymbolicLinkA(link.c_str(), target.c_str(),
                                   SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
    std::string unixTarget = target;
    for (char& c : unixTarget)
        if (c == '\\')
            c = '/';
    RunOnLinux("/bin/ln", "-s " + Quoted(unixTarget) + " " + Quoted(folder + "/" + link.substr(slash + 1)));
    return WaitUntil(true, link);
}

bool MakeHardLink(const std::string& link, const std::string& target)
{
    return CreateHardLinkA(link.c_str(), target.c_str(), nullptr) != 0;
}

namespace {
// Wide calls on the \\?\ form: they reach paths past MAX_PATH, which a test program's A
// calls do not, and names ending in a dot or blank.
void RemoveTreeAt(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // Wine shows a Linux link as one, and removes none of them itself.
        if (!RemoveDirectoryW(path.c_str()) && !DeleteFileW(path.c_str())) {
            char narrow[MAX_PATH * 4];
            WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
            std::string unixPath = UnixPath(narrow);
            if (!unixPath.empty()) {
                RunOnLinux("/bin/rm", "-f " + Quoted(unixPath));
                for (DWORD start = GetTickCount(); GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
                                                   GetTickCount() - start < 10000;)
                    Sleep(10);
            }
        }
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                RemoveTreeAt(path + L"\\" + name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}
} // namespace

void RemoveTree(const std::string& path)
{
    std::wstring wide = Wide(path);
    if (wide.rfind(L"\\\\", 0) != 0) {
        DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
        std::wstring full(needed, L'\0');
        full.resize(GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr));
        wide = L"\\\\?\\" + full;
    }
    RemoveTreeAt(wide);
}
#else
bool MakeFolderLink(const std::string& link, const std::string& target)
{
    return ::symlink(target.c_str(), link.c_str()) == 0;
}

bool MakeHardLink(const std::string& link, const std::string& target)
{
    return ::link(target.c_str(), link.c_str()) == 0;
}

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
