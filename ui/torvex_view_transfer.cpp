// The view's side of the shell's data transfer, on the interface thread: what a drag out of the
// list and Copy offer, the extraction when a target takes files of an archive, and Paste.
#include "dialogs/extract_dialog.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/extract_operation.h"
#include "operations/transfer_folders.h"
#include "operations/view_commands.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

// What a target takes files of an archive from: copies of the rows and where they came from.
struct CTorvexView::TransferSource {
    std::vector<ArchiveEntry> rows;  // Source: the folder they were shown in
    std::vector<std::string> listLines;
    std::string archiveFolder;
    int chapter = 0;
    ArchiveStamp stamp;
    std::string folder;  // the per-drag folder
};

std::optional<FileOffer> CTorvexView::MakeOffer(bool& archiveFiles)
{
    // A comparison's rows are of two chapters: they are taken out through its own Extract.
    if (operationRunning || comparison_)
        return std::nullopt;
    std::vector<const ArchiveEntry*> selected = SelectedEntries();
    if (selected.empty())
        return std::nullopt;
    const CTorvexDoc* doc = GetTorvexDoc();
    FileOffer offer;
    archiveFiles = doc->archiveMode;
    if (!archiveFiles) {
        // The disk browser offers the files themselves, as the shell does.
        offer.names = TransferNames(selected, false, archiveFolder, std::string());
        offer.allowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        return offer;
    }
    std::string folder = MakeTransferFolder();
    if (folder.empty())
        return std::nullopt;
    auto source = std::make_shared<TransferSource>();
    source->archiveFolder = archiveFolder;
    source->chapter = shownChapter;
    source->stamp = StampOf(doc->Catalogue().ArchivePath);
    source->folder = folder;
    EntryList work;
    for (const ArchiveEntry* row : selected) {
        ArchiveEntry& copy = work.Add(*row);
        copy.Columns[ArchiveEntry::Source] = archiveFolder;
        source->rows.push_back(copy);
    }
    source->listLines = ListLinesOf(work);
    offer.names = TransferNames(selected, true, archiveFolder, folder);
    // A move takes the extracted copies out of the per-drag folder; the archive stays as it is.
    offer.allowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    std::weak_ptr<int> alive = transferAlive_;
    offer.render = [this, alive, source] { return !alive.expired() && RenderTransfer(*source); };
    offer.released = [folder] { RemoveStagedTree(folder); };
    return offer;
}

bool CTorvexView::RenderTransfer(const TransferSource& source)
{
    // Refused like every other command while an operation runs.
    if (operationRunning)
        return false;
    if (!OfferHolds(source.stamp, StampOf(source.stamp.path)))
        return false;
    OperationJob job = NewJob(OperationKind::ExtractForTransfer);
    job.archivePath = source.stamp.path;
    job.shownChapter = source.chapter;
    job.archiveFolder = source.archiveFolder;
    job.diskFolder = source.folder;
    for (const ArchiveEntry& row : source.rows)
        job.work.Add(row);
    job.listLines = source.listLines;
    job.extract = ExtractRunOptionsFrom(services_.extract);
    job.extract.extractWhat = extractopt::SelectedFiles;
    job.extract.listFileOnly = false;
    job.extract.wholeFolder = false;
    job.extract.currentChapter = source.chapter;
    SetExtractConsoles(job);
    if (!StartOperation(std::move(job)))
        return false;
    // The target waits for the files; the progress window and the main window go on answering.
    bool quit = false;
    WPARAM quitCode = 0;
    while (operationRunning) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    if (quit)
        ::PostQuitMessage(static_cast<int>(quitCode));
    return true;
}

void CTorvexView::OnBeginDrag()
{
    bool archiveFiles = false;
    std::optional<FileOffer> offer = MakeOffer(archiveFiles);
    if (offer)
        DragOut(std::move(*offer));
}

void CTorvexView::OnCopyFiles()
{
    bool archiveFiles = false;
    std::optional<FileOffer> offer = MakeOffer(archiveFiles);
    if (!offer)
        return;
    if (!clipboard_.Put(std::move(*offer), archiveFiles)) {
        PromptUser("The clipboard is in use by another program: nothing was copied", prompt::Ok | prompt::IconExclamation);
        return;
    }
    clipboardStamp_ = archiveFiles ? StampOf(GetTorvexDoc()->Catalogue().ArchivePath) : ArchiveStamp();
}

bool CTorvexView::OnPasteFiles()
{
    if (operationRunning)
        return true;
    // Nothing goes into a comparison; there Ctrl+V views.
    if (comparison_)
        return false;
    bool cut = false;
    std::vector<std::string> names = ClipboardFileNames(&cut);
    if (names.empty())
        return false;
    if (GetTorvexDoc()->archiveMode) {
        // As files dropped on the window: the Add dialog, to the folder shown. Files cut stay
        // where they are: an archive takes copies.
        AddDroppedNames(*this, services_.add, names);
        return true;
    }
    bool sameFolder = PasteRenamesOnCollision(names, diskFolder);
    if (cut) {
        // Moved, as the shell moves files cut; into their own folder there is nothing to do.
        if (!sameFolder && CopyFilesInto(GetAncestor(Handle(), GA_ROOT), names, diskFolder, false, true))
            EmptyTheClipboard();
    } else {
        CopyFilesInto(GetAncestor(Handle(), GA_ROOT), names, diskFolder, sameFolder);
    }
    ShowDisk(diskFolder);
    return true;
}

void CTorvexView::WithdrawStaleOffer()
{
    if (!clipboardStamp_.path.empty() && !OfferHolds(clipboardStamp_, StampOf(clipboardStamp_.path))) {
        clipboard_.Withdraw();
        clipboardStamp_ = ArchiveStamp();
    }
}
