#include "ui/disk_browser.h"

#include <windows.h>

#include "engine/torvex_doc.h"
#include "ui/disk_rows.h"
#include "ui/selection_size.h"

namespace {

LocalStamp ToLocalStamp(const FILETIME& utc)
{
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

void ScanDiskFolder(EntryList& list, const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        DiskItem item;
        item.name = found.cFileName;
        if (IsDotName(item.name))
            continue;
        item.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        item.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        item.modified = ToLocalStamp(found.ftLastWriteTime);
        item.created = ToLocalStamp(found.ftCreationTime);
        list.Add(MakeDiskRow(folder, item));
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void CTorvexDoc::ScanFolder(EntryList& list, const std::string& folder)
{
    ScanDiskFolder(list, folder);
}

void AddUpDiskFolder(const std::string& folder, SizeTotals& totals)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (IsDotName(name))
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Junctions can lead back up the tree: they are not followed.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                AddUpDiskFolder(folder + "\\" + name, totals);
            continue;
        }
        totals.files += 1;
        totals.bytes += static_cast<long long>((static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) |
                                               found.nFileSizeLow);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
