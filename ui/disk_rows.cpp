#include "ui/disk_rows.h"

bool IsDotName(const std::string& name)
{
    return name == "." || name == "..";
}

ArchiveEntry MakeDiskRow(const std::string& folder, const DiskItem& item)
{
    ArchiveEntry row;
    row.Path = folder + "\\" + item.name;
    row.Columns[ArchiveEntry::Name] = item.name;
    row.Columns[ArchiveEntry::Size] = std::to_string(item.size);
    row.Columns[ArchiveEntry::Modified] = FormatStamp(item.modified);
    row.Columns[ArchiveEntry::Created] = FormatStamp(item.created);
    row.Columns[ArchiveEntry::Attributes] = item.directory ? "....D" : ".....";
    return row;
}

std::string WatchedPath(const std::string& diskFolder)
{
    return diskFolder.size() == 2 ? diskFolder + "\\" : diskFolder;
}

std::string DriveNotReadyText(const std::string& driveText)
{
    return "Drive " + driveText + " not ready";
}

std::string DiskFolderUnreadText(const std::string& folder, const std::string& reason)
{
    return "The folder " + WatchedPath(folder) + " cannot be read: " + reason +
           ".\n\nThe list shows only what could be read.";
}
