#include "engine/torvex_doc.h"

#include <cassert>

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
        // Nothing of it is listed: a catalogue of the archive alone, so that no chapter of an
        // archive shown before passes for this one's.
        ArchiveCatalogue named;
        named.ArchivePath = archive;
        ReplaceCatalogue(std::move(named));
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
    ReplaceCatalogue(std::move(listed));
    archiveMode = true;
    // Just listed: the catalogue matches the archive.
    SetModifiedFlag(false);
    if (DocumentView* view = View())
        view->ShowListedArchive(folder);
}

void CTorvexDoc::ReplaceCatalogue(ArchiveCatalogue listed)
{
    // The view's archive rows point into the directory lists of the catalogue that goes: it
    // lets go of them first.
    if (DocumentView* view = View())
        view->ReleaseRows();
    catalogue_ = std::move(listed);
}

bool CTorvexDoc::MergeChapter(int n)
{
    // The view reads its rows without checking them, so this is the one place rows could go
    // stale: they point into the shown chapter's directory lists, which a merge into that
    // chapter would replace under them. A switch lists only a chapter that is not shown;
    // showing a fresh listing of the shown one goes through ReplaceCatalogue.
    assert((!View() || View()->ShownChapter() != n) && "a merge would replace the lists the view's rows point into");
    ArchiveCatalogue aside;
    aside.ArchivePath = catalogue_.ArchivePath;
    if (!ListChapter(aside, n))
        return false;
    ChapterInfo* listed = aside.Chapter(n);
    if (!listed)
        return false;
    ChapterInfo* slot = catalogue_.Chapter(n);
    if (!slot) {
        catalogue_.SetChapter(n, std::make_unique<ChapterInfo>(std::move(*listed)));
    } else {
        slot->Directories = std::move(listed->Directories);
        slot->TotalFiles = listed->TotalFiles;
        slot->TotalBytes = listed->TotalBytes;
    }
    if (!aside.Ratio.empty())
        catalogue_.Ratio = aside.Ratio;
    return true;
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
    ParentPath(catalogue_.ArchivePath, folder);
    return folder;
}

void CTorvexDoc::BeginWaitCursor() { BeginAppWaitCursor(); }

void CTorvexDoc::EndWaitCursor() { EndAppWaitCursor(); }
