// Rows of the disk browser, built from what a folder search reports.
#pragma once

#include <cstdint>
#include <string>

#include "engine/archive_catalogue.h"

struct DiskItem {
    std::string name;
    bool directory = false;
    std::uint64_t size = 0;
    LocalStamp modified;
    LocalStamp created;
};

// "." and ".." are not rows.
bool IsDotName(const std::string& name);
// The row of one folder item; sizes of 2 GiB and more are written whole.
ArchiveEntry MakeDiskRow(const std::string& folder, const DiskItem& item);
// The folder the watcher opens: a drive root "C:" gets its backslash.
std::string WatchedPath(const std::string& diskFolder);
// "Drive A:\ not ready".
std::string DriveNotReadyText(const std::string& driveText);
// The folder could not be read (whole): the list would otherwise look complete, or empty.
std::string DiskFolderUnreadText(const std::string& folder, const std::string& reason);
