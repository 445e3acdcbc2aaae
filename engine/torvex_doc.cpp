#include "engine/torvex_doc.h"

#include "engine/jar_contract.h"
#include "engine/path_helpers.h"
#include "framework/application.h"
#include "framework/list_view.h"

std::string NotAnArchiveText(const std::string& path)
{
    return LeafName(path) + " is not a Torvex archive.\nOnly files whose name ends in \".j\" can be opened.";
}

namespace {

// The session of one listing: the archiver works in the archive's own folder whatever the view
// shows, and only the document's folders, wait cursor and messages are used, so a worker
// thread can list while the interface thread keeps the shown catalogue.
class ListingSession : public WinJarRunner {
public:
    ListingSession(CTorvexDoc& doc, const std::string& archivePath) : doc_(doc)
    {
        jarFolder = doc.JarFolder();
        programFolder = doc.ProgramFolder();
        ParentPath(archivePath, workingFolder);
        outputBlockSize = doc.outputBlockSize;
        outputMaxBlocks = doc.outputMaxBlocks;
    }
    void BeginWaitCursor() override { doc_.BeginWaitCursor(); }
    void EndWaitCursor() override { doc_.EndWaitCursor(); }
    void ShowMessage(const std::string& text, bool failure) override { doc_.ShowMessage(text, failure); }

private:
    CTorvexDoc& doc_;
};

} // namespace

CTorvexDoc::CTorvexDoc(std::unique_ptr<DocumentSettings> settings) : settings_(std::move(settings)) {}

CTorvexDoc::~CTorvexDoc() = default;

DocumentView* CTorvexDoc::View() const
{
    return dynamic_cast<DocumentView*>(FirstView());
}

bool CTorvexDoc::OnNewDocument()
{
    if (!Document::OnNewDocument())
        return false;
    // Nothing else is reset: the view comes up browsing the disk.
    UpdateAllViews(nullptr, 0);
    return true;
}

bool CTorvexDoc::OnOpenDocument(const std::string& path)
{
    // An operation owns the catalogue until it is done; the file is not opened, so it does not
    // join the recent-file list either.
    if (!openAllowed) {
        IgnoreThisOpen();
        return true;
    }

    std::string folder;
    ParentPath(path, folder);

    if (settings_->TakeExtractDirect()) {
        // Started by the shell extension to extract this archive: show its folder with the
        // archive selected. The row carries the long name (the shell may hand over a short one).
        std::string archive = LongPathName(path);
        ParentPath(archive, folder);
        catalogue.ArchivePath = archive;
        settings_->RememberStartupFolder(folder);
        archiveMode = false;
        if (DocumentView* view = View()) {
            view->EnterDiskMode(folder);
            // The dialog shows once without Help, then the extraction runs as an operation;
            // for the whole archive also when no row of the folder shows it.
            settings_->DisableExtractHelpOnce();
            if (view->SelectRowNamed(LeafName(archive)))
                view->ExtractSelectedArchive();
            else
                view->ExtractArchiveFile(archive);
        }
        return true;
    }

    if (!jarcontract::IsArchiveName(path))
        return false;
    std::optional<ArchiveCatalogue> listed = ListArchive(path);
    if (!listed)
        return false;
    settings_->RememberStartupFolder(folder);
    ShowListedArchive(std::move(*listed));
    return true;
}

std::optional<ArchiveCatalogue> CTorvexDoc::ListArchive(const std::string& path)
{
    ListingSession session(*this, path);
    ArchiveCatalogue listed;
    listed.ArchivePath = path;
    if (!session.ListArchive(listed))
        return std::nullopt;
    return listed;
}

void CTorvexDoc::ShowListedArchive(ArchiveCatalogue listed, const std::string& folder)
{
    DocumentView* view = View();
    // The view's rows point into the catalogue that goes.
    if (view)
        view->ReleaseRows();
    catalogue = std::move(listed);
    archiveMode = true;
    // Just listed: the catalogue matches the archive.
    SetModifiedFlag(false);
    if (view)
        view->ShowListedArchive(folder);
}

bool CTorvexDoc::SaveModified()
{
    SetModifiedFlag(false);
    return Document::SaveModified();
}

std::string CTorvexDoc::JarFolder() const { return settings_->JarFolder(); }

std::string CTorvexDoc::ProgramFolder() const { return settings_->ProgramFolder(); }

std::string CTorvexDoc::WorkingFolder() const
{
    if (DocumentView* view = View())
        return view->DiskFolder();
    std::string folder;
    ParentPath(catalogue.ArchivePath, folder);
    return folder;
}

void CTorvexDoc::BeginWaitCursor() { BeginAppWaitCursor(); }

void CTorvexDoc::EndWaitCursor() { EndAppWaitCursor(); }
