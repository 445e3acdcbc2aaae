#include "tests/support/read_only_folder.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>

namespace testsupport {

namespace {

// The Linux path Wine keeps `path` at.
std::string UnixPath(const std::string& path)
{
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    auto toUnix = (ToUnix)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix)
        return std::string();
    int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), n);
    char* unixName = toUnix(wide.c_str());
    if (!unixName)
        return std::string();
    std::string result = unixName;
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

} // namespace

bool ReadOnlyRun()
{
    return std::getenv("TORVEX_MOUNT_REQUEST") != nullptr;
}

bool SetFolderReadOnly(const std::string& folder, bool readOnly)
{
    const char* request = std::getenv("TORVEX_MOUNT_REQUEST");
    std::string unixFolder = UnixPath(folder);
    if (!request || unixFolder.empty())
        return false;
    // The request file is a Linux path: Wine shows it on drive Z:.
    std::string file = std::string("Z:") + request;
    for (char& c : file)
        if (c == '/')
            c = '\\';
    {
        std::ofstream out(file + ".part", std::ios::binary | std::ios::trunc);
        out << (readOnly ? "ro " : "rw ") << unixFolder << "\n";
    }
    // Renamed when whole: the script never reads half a request.
    if (!MoveFileExA((file + ".part").c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING))
        return false;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
        if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

} // namespace testsupport
