// View/Open and save back: one file of the list opened in the viewer or in the program its type
// is associated with, archive entries through a copy extracted into a "TTmp" folder of its own,
// and edited copies put back into their archives by Save or when the main window closes. Runs on
// the interface thread; the archiver runs are synchronous.
#pragma once

#include <windows.h>

#include <string>

#include "engine/archive_catalogue.h"
#include "operations/view_records.h"

class JarRunner;
#include "dialogs/settings_store.h"

class ViewSaveOperations {
public:
    // What the operations read when they run.
    struct Context {
        HWND owner = nullptr;
        std::string archivePath;   // the open archive; empty in the disk browser
        bool archiveShown = false;
        int shownChapter = 0;
        std::string diskFolder;
    };

    ViewSaveOperations(SettingsStore& settings, JarRunner& session);
    ~ViewSaveOperations();
    ViewSaveOperations(const ViewSaveOperations&) = delete;
    ViewSaveOperations& operator=(const ViewSaveOperations&) = delete;

    // View/Open on the selected rows (the command's own checks included).
    void OnViewFile(const Context& context, const std::vector<const ArchiveEntry*>& selected);
    // What a double click on a file does.
    void OnDoubleClickFile(const Context& context, const ArchiveEntry& entry);
    // The Save command; returns the archives that were written to.
    std::vector<std::string> OnSaveViewed();
    // Offers to save modified copies; closing removes the copies that are left unchanged, declined
    // or saved, and then forgets every record. Returns the archives that were written to.
    std::vector<std::string> SaveViewedFiles(bool closing);
    // Some copy was edited since it was extracted or last saved.
    bool AnyCopyModified() const;
    const ViewedFiles& Records() const { return records_; }

    // At start-up: copies journaled by a Torvex that is no longer running (killed, crashed) are
    // offered for saving as at a normal close, then removed with their journal.
    void RecoverAbandonedCopies(HWND owner);

    // The class registry read by FindOpenVerb.
    static std::string FindOpenVerb(const std::string& fileName);

private:
    enum class Launch { Association, Viewer };
    void OpenArchiveEntry(const Context& context, const ArchiveEntry& entry, Launch launch);
    void OpenDiskFile(const Context& context, const ArchiveEntry& entry, Launch launch);
    bool OpenWithViewer(const Context& context, const ArchiveEntry& entry, std::string copyPath, std::string tempDir);
    void OpenWithAssociation(const Context& context, const ArchiveEntry& entry);
    void OpenDiskFileWithViewer(const Context& context, const ArchiveEntry& entry);
    void OpenDiskFileWithAssociation(const Context& context, const ArchiveEntry& entry);
    // Extracts the entry into a fresh folder; false (after its message) when it could not.
    bool ExtractCopy(const Context& context, const ArchiveEntry& entry, std::string& copyPath,
                     std::string& tempDir, std::uint64_t& stamp);
    std::string MakeViewTempDir();
    void AddRecord(const Context& context, const ArchiveEntry& entry, const std::string& copyPath,
                   const std::string& tempDir, std::uint64_t stamp);
    bool AskWhichToSave(ViewedFiles& records, bool closing, bool quietWhenNone);
    std::vector<std::string> SaveMarked(ViewedFiles& records, bool closing);
    std::string WriteSaveList(const ViewedFiles& records, const std::vector<std::size_t>& group);
    void WriteJournal();
    std::string JournalPath() const;

    SettingsStore& settings_;
    JarRunner& session_;
    ViewedFiles records_;
    HWND owner_ = nullptr;
};

// A process that still runs (or one we may not look at, which counts as running).
bool ProcessRunning(unsigned long id);
// Last-write time of a file; 0 when it is missing.
std::uint64_t LastWriteStamp(const std::string& path);
// Deletes the copy, then its empty folders up to and including the temporary folder.
void RemoveViewCopy(const std::string& copyPath, const std::string& tempDir);
