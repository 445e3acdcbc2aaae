#include "engine/torvex_doc.h"

#include "app/torvex_app.h"
#include "dialogs/setting_names.h"
#include "engine/path_helpers.h"
#include "ui/torvex_view.h"

bool IsOpenableArchivePath(const std::string& path)
{
    size_t dot = path.rfind('.');
    return dot != std::string::npos && path.compare(dot + 1, std::string::npos, "j") == 0;
}

std::string NotAnArchiveText(const std::string& path)
{
    return LeafName(path) + " is not a Torvex archive.\nOnly files whose name ends in \".j\" can be opened.";
}

CTorvexDoc::CTorvexDoc() : app(&TheApp()) {}

CTorvexDoc::~CTorvexDoc() = default;

bool CTorvexDoc::OnNewDocument()
{
    if (!Document::OnNewDocument())
        return false;
    // Nothing else is reset: the view comes up browsing the disk.
    UpdateAllViews(nullptr, 0);
    return true;
}

void CTorvexDoc::AttachFirstView(const std::string& archiveFolder)
{
    firstView = static_cast<CTorvexView*>(FirstView());
    if (firstView)
        firstView->diskFolder = archiveFolder;
}

bool CTorvexDoc::OnOpenDocument(const std::string& path)
{
    // An operation owns the catalogue until it is done; the file is not opened, so it does not
    // join the recent-file list either.
    if (!openAllowed) {
        IgnoreThisOpen();
        return true;
    }

    SettingsStore& store = app->Settings();
    std::string folder;
    ParentPath(path, folder);
    DirectoriesSettings& dirs = app->DirectoriesDialog;

    if (ReadSetting(store, setting::ExtractDirect) != 0) {
        // Started by the shell extension to extract this archive: show its folder with the
        // archive selected. The flag serves one start only.
        WriteSetting(store, setting::ExtractDirect, 0);
        catalogue.ArchivePath = path;
        dirs.startupLast = folder;
        AttachFirstView(folder);

        std::string savedEdit = dirs.startupEdit;
        int savedDir = dirs.startupDir;
        dirs.startupDir = 1;
        dirs.startupEdit = folder;
        archiveMode = false;
        UpdateAllViews(nullptr, 0);
        dirs.startupDir = savedDir;
        dirs.startupEdit = savedEdit;

        if (firstView) {
            int row = firstView->FindRow(LeafName(path));
            if (row >= 0) {
                firstView->SelectRow(row);
                firstView->hitItem = row;
            }
        }
        // Next, with the Extract dialog: mark it for its direct showing (Help disabled once) and
        // run the disk view's "Extract to ..." (ID_EXTRACT_ARCHIVE_TO) on the selected archive.
        return true;
    }

    if (!IsOpenableArchivePath(path))
        return false;

    // The archive is listed into a catalogue of its own: the view's rows point into the one it
    // shows, and a listing that fails must leave that one, and the view, as they were.
    std::string previousStartup = dirs.startupLast;
    auto* view = static_cast<CTorvexView*>(FirstView());
    std::string previousDiskFolder = view ? view->diskFolder : std::string();
    ArchiveCatalogue listed;
    listed.ArchivePath = path;
    dirs.startupLast = folder;
    AttachFirstView(folder);  // the archiver runs in the archive's folder

    if (!ListChapters(listed) || !ListChapter(listed, listed.LastChapter)) {
        dirs.startupLast = previousStartup;
        if (view)
            view->diskFolder = previousDiskFolder;
        return false;
    }

    catalogue = std::move(listed);
    if (firstView)
        firstView->shownChapter = catalogue.LastChapter;
    archiveMode = true;
    UpdateAllViews(nullptr, 0);
    return true;
}

bool CTorvexDoc::SaveModified()
{
    SetModifiedFlag(false);
    return Document::SaveModified();
}

std::string CTorvexDoc::JarFolder() const { return app->DirectoriesDialog.jarEdit; }

std::string CTorvexDoc::ProgramFolder() const { return app->DirectoriesDialog.torvexEdit; }

std::string CTorvexDoc::WorkingFolder() const
{
    if (firstView)
        return firstView->diskFolder;
    std::string folder;
    ParentPath(catalogue.ArchivePath, folder);
    return folder;
}

void CTorvexDoc::BeginWaitCursor() { app->BeginWaitCursor(); }

void CTorvexDoc::EndWaitCursor() { app->EndWaitCursor(); }
