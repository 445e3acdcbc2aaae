#include "ui/disk_browser.h"

#include <windows.h>

#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "ui/disk_rows.h"
#include "ui/selection_size.h"

namespace {

LocalStamp ToLocalStamp(unsigned long long stamp)
{
    FILETIME utc{static_cast<DWORD>(stamp), static_cast<DWORD>(stamp >> 32)};
    FILETIME local{};
    SYSTEMTIME t{};
    LocalStamp s;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t))
        return s;
    s.year = t.wYear;
    s.month = t.wMonth;
    s.day = t.wDay;
    s.hour = t.wHour;
    s.minute = t.wMinute;
    s.second = t.wSecond;
    return s;
}

} // namespace

std::string ScanDiskFolder(EntryList& list, const std::string& folder)
{
    unsigned long error = ReadFolder(folder, [&](const FolderEntry& found) {
        DiskItem item;
        item.name = found.name;
        item.directory = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        item.size = found.size;
        item.modified = ToLocalStamp(found.modified);
        item.created = ToLocalStamp(found.created);
        list.Add(MakeDiskRow(folder, item));
    });
    return error ? DiskFolderUnreadText(folder, SystemErrorText(error)) : std::string();
}

std::string CTorvexDoc::ScanFolder(EntryList& list, const std::string& folder)
{
    return ScanDiskFolder(list, folder);
}

void AddUpDiskFolder(const std::string& folder, SizeTotals& totals)
{
    ReadFolder(folder, [&](const FolderEntry& found) {
        if (found.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Junctions can lead back up the tree: they are not followed.
            if (!(found.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                AddUpDiskFolder(folder + "\\" + found.name, totals);
            return;
        }
        totals.files += 1;
        totals.bytes += static_cast<long long>(found.size);
    });
}
