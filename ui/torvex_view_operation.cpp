// The view's side of an operation, on the interface thread: the job it builds, the start, the
// hand-over of a fresh listing and the end.
#include <cassert>

#include "dialogs/setting_names.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/extract_operation.h"
#include "operations/extract_rules.h"
#include "operations/operation_runner.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

void CTorvexView::SetOperationCombosEnabled(bool enabled)
{
    if (CMainFrame* frame = MainFrame()) {
        frame->DriveCombo().Enable(enabled);
        frame->ChapterCombo().Enable(enabled);
    }
}

OperationJob CTorvexView::NewJob(OperationKind kind) const
{
    CTorvexDoc* doc = GetTorvexDoc();
    OperationJob job;
    job.kind = kind;
    job.archivePath = doc->Catalogue().ArchivePath;
    job.archiveMode = doc->archiveMode;
    job.shownChapter = shownChapter;
    job.archiveFolder = archiveFolder;
    job.diskFolder = diskFolder;
    job.folders.jarFolder = doc->JarFolder();
    job.folders.programFolder = doc->ProgramFolder();
    job.folders.listFolder = doc->ListFolder();
    job.folders.workingFolder = doc->WorkingFolder();
    job.folders.outputBlockSize = doc->outputBlockSize;
    job.folders.outputMaxBlocks = doc->outputMaxBlocks;
    SettingsStore& store = services_.store;
    job.beep.beep = ReadSetting(store, setting::Beep);
    if (job.beep.beep != 0)
        job.beep.beepEditMinutes = ReadSetting(store, setting::BeepEditRunner);
    return job;
}

std::vector<std::string> CTorvexView::ListLinesOf(const EntryList& work, int chapter) const
{
    if (const ChapterComparison* comparison = Comparison();
        comparison && chapter != 0 && (chapter == comparison->Older() || chapter == comparison->Newer())) {
        // What that chapter holds of the rows, whatever the shown chapter holds.
        std::vector<std::string> paths;
        for (const auto& entry : work)
            paths.push_back(entry->Path);
        return ComparisonListLines(*comparison, paths,
                                   chapter == comparison->Older() ? ComparisonSide::Older : ComparisonSide::Newer);
    }
    static const DirectoryMap none;
    const ChapterInfo* shown = GetTorvexDoc()->Catalogue().Chapter(shownChapter);
    // The extract and the delete list read alike: the archiver takes both the same way.
    return ExtractListLines(work, shown ? shown->Directories : none);
}

bool CTorvexView::StartOperation(OperationJob job)
{
    // One operation at a time: every way in is refused while one runs, so a second start is a
    // fault of its caller. Nothing is started.
    assert(!operationRunning && "an operation is already running");
    if (operationRunning)
        return false;
    operationRunning = 1;
    SetOperationCombosEnabled(false);
    GetTorvexDoc()->openAllowed = false;
    HWND mainWindow = GetAncestor(Handle(), GA_ROOT);
    // Owned by the main window, so that it stays in front of it. It shows the runs' progress
    // and its Cancel stops them, through the monitor it shares with the worker.
    auto monitor = std::make_shared<RunMonitor>();
    progressWindow.Create(services_.instance, mainWindow, monitor);

    auto request = std::make_unique<OperationRequest>();
    request->viewWindow = Handle();
    request->promptOwner = mainWindow;
    request->monitor = std::move(monitor);
    // What the interface thread applies when the body is done; the job itself goes to the worker.
    finishing_ = std::make_unique<OperationJob>();
    finishing_->kind = job.kind;
    finishing_->restorePartialPath = job.restorePartialPath;
    finishing_->extract.currentChapter = job.extract.currentChapter;
    finishing_->comparedWithUnchanged = job.comparedWithUnchanged;
    request->job = std::move(job);

    operationThread_ = CreateThread(nullptr, 0, OperationWorker, request.get(), 0, nullptr);
    if (!operationThread_) {
        PromptUser("The operation could not be started", prompt::Ok | prompt::IconStop);
        OnOperationDone(nullptr);
        return false;
    }
    request.release();
    return true;
}

void CTorvexView::OnOperationDone(std::unique_ptr<OperationOutcome> outcome)
{
    operationRunning = 0;
    SetOperationCombosEnabled(true);
    CTorvexDoc* doc = GetTorvexDoc();
    doc->openAllowed = true;
    progressWindow.Destroy();
    if (operationThread_) {
        // The worker posted this message as its last act but one; it ends at once.
        WaitForSingleObject(operationThread_, INFINITE);
        CloseHandle(operationThread_);
        operationThread_ = nullptr;
    }
    if (outcome && outcome->compared && finishing_ && finishing_->kind == OperationKind::CompareChapters)
        ShowComparison(std::move(outcome->compared), finishing_->comparedWithUnchanged);
    if (outcome) {
        if (outcome->filesListUsed)
            FilesListTree.Clear();
        if (outcome->archiveChanged)
            doc->SetModifiedFlag(true);
    }
    if (finishing_) {
        AfterExtractRun(services_.extract, *finishing_);
        finishing_.reset();
    }
    // Files copied from an archive this operation changed leave the clipboard.
    WithdrawStaleOffer();
    // A disk change seen while the operation ran (its own output, often) shows now.
    if (rescanAfterOperation_) {
        rescanAfterOperation_ = false;
        if (!doc->archiveMode)
            ShowDisk(diskFolder);
    }
}

void CTorvexView::TakeRelisting(ArchiveRelisting& relisting)
{
    CTorvexDoc* doc = GetTorvexDoc();
    if (!relisting.catalogue)
        return;
    if (comparison_) {
        // The archive changed under the comparison: the chapter is shown instead.
        EndComparison();
        if (doc->archiveMode)
            SetArchiveColumns();
    }
    doc->ReplaceCatalogue(std::move(*relisting.catalogue));
    hitItem = -1;
    shownChapter = relisting.shownChapter;
    archiveFolder = doc->Catalogue().FolderOrRoot(shownChapter, relisting.archiveFolder);
    if (doc->archiveMode) {
        ShowArchiveFolder(ChapterList(archiveFolder));
        MainFrame()->ShowArchiveInfo(&doc->Catalogue(), shownChapter);
    }
    MainFrame()->FillChapterCombo(doc->Catalogue());
}
