// The one document: the open archive's catalogue, the disk browser's rows, which of the two the
// window shows, and every archiver run (it is the session the runner works for). It never saves:
// archives change only through archiver commands, and the modified flag only marks a catalogue
// that may be out of date.
#pragma once

#include "engine/archive_catalogue.h"
#include "engine/jar_runner_win.h"
#include "framework/document.h"

class CTorvexApp;
class CTorvexView;

class CTorvexDoc : public Document, public WinJarSession {
public:
    CTorvexDoc();
    ~CTorvexDoc() override;

    // False while an operation runs on the worker thread: opening is refused then.
    bool openAllowed = true;
    // The view, fetched when an archive is opened.
    CTorvexView* firstView = nullptr;
    // Rows of the disk browser (filled by ScanFolder).
    EntryList diskEntries;
    // True while the view shows the archive, false while it browses the disk.
    bool archiveMode = false;
    ArchiveCatalogue catalogue;
    CTorvexApp* app;

    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& path) override;
    // Never asks: there is nothing to save.
    bool SaveModified() override;

    // Disk browser: appends one row per entry of the folder; defined with the disk browser.
    void ScanFolder(EntryList& list, const std::string& folder);
    void ClearDiskEntries() { diskEntries.Clear(); }

    // Session: folders from the settings and the view, the application's wait cursor.
    std::string JarFolder() const override;
    std::string ProgramFolder() const override;
    std::string WorkingFolder() const override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    // Points firstView at the view and its disk folder at the archive's folder.
    void AttachFirstView(const std::string& archiveFolder);
};

// True when OnOpenDocument takes the path as an archive: the text after its last dot is "j".
bool IsOpenableArchivePath(const std::string& path);
// Why a file chosen to be opened is refused: it is not named as an archive.
std::string NotAnArchiveText(const std::string& path);
