// What a drag out of the list or a copy to the clipboard offers, decided without a window: the
// names a target gets, the per-drag folder they are extracted into, when an offer of archive
// files no longer holds, and how a paste into a disk folder copies.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_catalogue.h"

// The names a target gets for the selected rows (the parent row never counts). Rows of an
// archive keep their place below the shown folder, as Partial Path extracts them from there,
// inside `folder`, the per-drag folder; rows of a disk folder are the files themselves.
std::vector<std::string> TransferNames(const std::vector<const ArchiveEntry*>& rows, bool archiveMode,
                                       const std::string& archiveFolder, const std::string& folder);

// The per-drag folders of a process live in "~TDrag<pid>" in the temporary folder: the process
// that made them is known, so a Torvex that died leaves nothing for good.
std::string TransferFolderName(unsigned long processId);
std::optional<unsigned long> TransferFolderProcessId(const std::string& name);

// The archive file as it stands on disk.
struct ArchiveStamp {
    std::string path;
    bool exists = false;
    uint64_t size = 0;
    uint64_t writeTime = 0;
};
// Files of an archive are offered while the archive is the file it was, unchanged.
bool OfferHolds(const ArchiveStamp& offered, const ArchiveStamp& now);

// Pasted files that all come from the folder they are pasted into get new names ("Copy of"),
// as the shell does; from elsewhere a file of the same name is asked about.
bool PasteRenamesOnCollision(const std::vector<std::string>& names, const std::string& folder);
