#include "engine/list_file_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <map>
#include <mutex>

#include "framework/wide_text.h"

namespace {

// Writing is tried, not guessed from attributes: a read-only share or an ACL refuses the same way.
bool CanWriteIn(const std::string& folder)
{
    std::string probe = folder + "\\~TorvexProbe" + std::to_string(GetCurrentProcessId());
    HANDLE file = CreateFileW(FileSystemPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

std::string PerUserFolder()
{
    PWSTR local = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &local)))
        return std::string();
    std::string folder = Utf8Name(local) + "\\Torvex";
    CoTaskMemFree(local);
    CreateDirectoryW(FileSystemPath(folder).c_str(), nullptr);
    return folder;
}

} // namespace

std::string ListFileFolder(const std::string& programFolder)
{
    static std::mutex lock;
    static std::map<std::string, std::string> decided;
    std::lock_guard<std::mutex> hold(lock);
    auto known = decided.find(programFolder);
    if (known != decided.end())
        return known->second;
    std::string folder = programFolder;
    if (!CanWriteIn(programFolder)) {
        std::string perUser = PerUserFolder();
        // With no per-user folder either, writing the list fails and says where.
        if (!perUser.empty())
            folder = perUser;
    }
    decided[programFolder] = folder;
    return folder;
}
