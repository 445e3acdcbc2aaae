// The view as the document sees it: the few calls the document makes on the window that shows
// it. The document never includes the view's own header; the view implements this.
#pragma once

#include <string>

class DocumentView {
public:
    virtual ~DocumentView() = default;

    // The disk folder the view shows (no trailing backslash; a drive root is "C:"). The archiver
    // works in it.
    virtual std::string DiskFolder() const = 0;
    // The document's catalogue is about to be replaced: the view lets go of every row that points
    // into it.
    virtual void ReleaseRows() = 0;
    // The chapter whose rows the view shows (0 before any).
    virtual int ShownChapter() const = 0;
    // The document has just swapped in a freshly listed catalogue: show its newest chapter at
    // `folder` (the root when that chapter lacks it), in archive mode, on the archive's drive.
    virtual void ShowListedArchive(const std::string& folder) = 0;
    // Browse the disk at `folder` (disk mode).
    virtual void EnterDiskMode(const std::string& folder) = 0;
    // Selects the first row named `name` (whole name, any case) and makes it the clicked row;
    // false when no row has that name.
    virtual bool SelectRowNamed(const std::string& name) = 0;
    // Runs "Extract to ..." on the archive of the clicked row: the Extract dialog for a whole
    // archive, then the extraction.
    virtual void ExtractSelectedArchive() = 0;
    // The same for an archive no row shows.
    virtual void ExtractArchiveFile(const std::string& archivePath) = 0;
};
