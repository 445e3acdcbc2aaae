#include "tests/support/read_only_folder.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>

#include "tests/support/file_tree.h"

namespace testsupport {

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
