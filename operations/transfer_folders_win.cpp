#include "operations/transfer_folders.h"

#include <windows.h>

#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "operations/extract_operation.h"
#include "operations/operation_bodies.h"
#include "operations/view_save_win.h"
#include "resources/message_texts.h"

std::string MakeTransferFolder()
{
    std::string temp = SystemTempFolder();
    std::string own = temp + TransferFolderName(GetCurrentProcessId());
    ::CreateDirectoryW(FileSystemPath(own).c_str(), nullptr);
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string folder = own + "\\" + std::to_string(++serial);
        if (::CreateDirectoryW(FileSystemPath(folder).c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    PromptUser(msg::CantCreate(own));
    return std::string();
}

void RemoveAbandonedTransferFolders()
{
    std::string temp = SystemTempFolder();
    if (temp.empty())
        return;
    std::vector<FoundName> names;
    ListFolderNames(temp.substr(0, temp.size() - 1), names);
    for (const FoundName& found : names) {
        std::optional<unsigned long> id = TransferFolderProcessId(found.name);
        if (found.directory && !found.link && id && (*id == GetCurrentProcessId() || !ProcessRunning(*id)))
            RemoveStagedTree(temp + found.name);
    }
}

void RemoveOwnTransferFolder()
{
    ::RemoveDirectoryW(FileSystemPath(SystemTempFolder() + TransferFolderName(GetCurrentProcessId())).c_str());
}

ArchiveStamp StampOf(const std::string& archivePath)
{
    ArchiveStamp stamp;
    stamp.path = archivePath;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(FileSystemPath(archivePath).c_str(), GetFileExInfoStandard, &data))
        return stamp;
    stamp.exists = true;
    stamp.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.writeTime = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}
