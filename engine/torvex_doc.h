// The one document: the open archive's catalogue, the disk browser's rows, which of the two the
// window shows, and every archiver run (it is the session the runner works for). It never saves:
// archives change only through archiver commands, and the modified flag only marks a catalogue
// that may be out of date.
#pragma once

#include <memory>
#include <optional>

#include "engine/archive_catalogue.h"
#include "engine/document_settings.h"
#include "engine/document_view.h"
#include "engine/jar_runner_win.h"
#include "framework/document.h"

class CTorvexDoc : public Document, public WinJarRunner {
public:
    explicit CTorvexDoc(std::unique_ptr<DocumentSettings> settings);
    ~CTorvexDoc() override;

    // False while an operation runs on the worker thread: opening is refused then.
    bool openAllowed = true;
    // Rows of the disk browser (filled by ScanFolder).
    EntryList diskEntries;
    // True while the view shows the archive, false while it browses the disk.
    bool archiveMode = false;

    // The open archive as last listed. It changes only through ReplaceCatalogue and MergeChapter.
    const ArchiveCatalogue& Catalogue() const { return catalogue_; }

    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& path) override;
    // Never asks: there is nothing to save.
    bool SaveModified() override;

    // The document's first view, as the document talks to it; nullptr before it exists.
    DocumentView* View() const;

    // Listing an archive, in two halves so that an operation's worker thread can list while the
    // interface thread shows:
    // ListArchive lists `path` (its chapter list, then its newest chapter) into a fresh
    // catalogue. The archiver works in the archive's own folder. It touches neither the shown
    // catalogue nor the view; nullopt when the archiver failed (the user has been told).
    std::optional<ArchiveCatalogue> ListArchive(const std::string& path);
    // On the interface thread: the fresh catalogue replaces the shown one, archive mode is on,
    // the modified flag is cleared, and the view shows the newest chapter at `folder` (the root
    // when that chapter lacks it).
    void ShowListedArchive(ArchiveCatalogue listed, const std::string& folder = "\\");
    // A fresh listing becomes the catalogue; the view lets go of its rows first.
    void ReplaceCatalogue(ArchiveCatalogue listed);
    // A chapter switch: lists chapter n of the open archive aside and moves it into the
    // catalogue, so that a listing that fails half-way leaves that chapter unlisted rather than
    // half filled. Never the chapter the view shows. False when the listing failed (the user has
    // been told).
    bool MergeChapter(int n);

    // Disk browser: appends one row per entry of the folder; defined with the disk browser.
    // Empty, or the message saying the folder could not be read whole.
    std::string ScanFolder(EntryList& list, const std::string& folder);
    void ClearDiskEntries() { diskEntries.Clear(); }

    // Session: folders from the settings and the view, the application's wait cursor.
    std::string JarFolder() const override;
    std::string ProgramFolder() const override;
    std::string WorkingFolder() const override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    std::unique_ptr<DocumentSettings> settings_;
    ArchiveCatalogue catalogue_;
};

// Why a file chosen to be opened is refused: it is not named as an archive.
std::string NotAnArchiveText(const std::string& path);
