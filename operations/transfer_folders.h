// The folders files of an archive are extracted into when a drag or a paste takes them: one per
// data object, in this process's "~TDrag<pid>" folder of the temporary folder.
#pragma once

#include <string>

#include "operations/transfer_rules.h"

// A new empty folder for one drag or copy; empty (the user told) when it cannot be made.
std::string MakeTransferFolder();
// At start: the folders of Torvex processes that are gone (or of a dead process whose id this
// one now has).
void RemoveAbandonedTransferFolders();
// At the end: this process's folder of per-drag folders, when nothing is left in it.
void RemoveOwnTransferFolder();
// The archive file as it stands now.
ArchiveStamp StampOf(const std::string& archivePath);
