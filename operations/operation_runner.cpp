#include "operations/operation_runner.h"

#include <chrono>

#include "dialogs/setting_names.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/operation_bodies.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

void OperationContext::HandOverCatalogue(std::unique_ptr<ArchiveCatalogue> catalogue, int chapter, const std::string& folder)
{
    auto handed = std::make_unique<HandedCatalogue>();
    handed->catalogue = std::move(catalogue);
    handed->chapter = chapter;
    handed->folder = folder;
    // Owned by the message from here on; the interface thread frees it.
    if (PostMessageA(viewWindow, WM_OPERATION_CATALOGUE, 0, reinterpret_cast<LPARAM>(handed.get())))
        handed.release();
}

void OperationContext::PostStatusUpdate() const
{
    PostMessageA(viewWindow, WM_UPDATE_STATUS, 0, 0);
}

void OperationContext::PostChapterUpdate() const
{
    PostMessageA(viewWindow, WM_UPDATE_CHAPTERS, 0, 0);
}

namespace {

uintptr_t ArgumentForBody(const OperationRequest& request)
{
    switch (BodyArgumentFor(request.kind)) {
    case BodyArgument::RequestArgument:
        return request.argument;
    case BodyArgument::ViewWindow:
        return reinterpret_cast<uintptr_t>(request.viewWindow);
    case BodyArgument::None:
        break;
    }
    return 0;
}

void RunBody(const OperationRequest& request)
{
    OperationBody body = OperationBodyFor(request.kind);
    if (!body)
        return;
    OperationContext context{*request.view, *request.view->GetTorvexDoc(), request.viewWindow, request.kind,
                             ArgumentForBody(request)};
    try {
        body(context);
    } catch (...) {
        // Nothing may leave the thread; the user learns that the operation did not complete.
        PromptUser("The operation could not be completed (out of memory?)", prompt::Ok | prompt::IconStop);
    }
}

} // namespace

DWORD WINAPI OperationWorker(void* raw)
{
    // The worker owns the request from here on and frees it last.
    std::unique_ptr<OperationRequest> request(static_cast<OperationRequest*>(raw));
    // The bodies' messages (results, the archiver's errors) stay in front of the main window.
    SetThreadPromptOwner(GetAncestor(request->viewWindow, GA_ROOT));
    auto started = std::chrono::steady_clock::now();
    RunBody(*request);
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    if (FinishBeepDue(request->beep, elapsed.count())) {
        MessageBeep(0xFFFFFFFF);
        Sleep(500);
        MessageBeep(0xFFFFFFFF);
        Sleep(500);
        MessageBeep(0xFFFFFFFF);
    }
    PostMessageA(request->viewWindow, WM_OPERATION_DONE, 0, 0);
    return 0;
}

// ---- The view's side, on the interface thread -----------------------------------------------

void CTorvexView::SetOperationCombosEnabled(bool enabled)
{
    if (CMainFrame* frame = MainFrame()) {
        frame->DriveCombo().Enable(enabled);
        frame->ChapterCombo().Enable(enabled);
    }
}

void CTorvexView::StartOperation(OperationKind kind, uint32_t argument)
{
    CTorvexDoc* doc = GetTorvexDoc();
    operationRunning = 1;
    SetOperationCombosEnabled(false);
    doc->openAllowed = false;
    // Owned by the main window, so that it stays in front of it.
    progressWindow.Create(GetModuleHandleA(nullptr), GetAncestor(Handle(), GA_ROOT));

    auto request = std::make_unique<OperationRequest>();
    request->view = this;
    request->viewWindow = Handle();
    request->kind = kind;
    request->argument = argument;
    SettingsStore& store = OperationSettings();
    request->beep.beep = ReadSetting(store, setting::Beep);
    if (request->beep.beep != 0)
        request->beep.beepEditMinutes = ReadSetting(store, setting::BeepEditRunner);

    operationThread_ = CreateThread(nullptr, 0, OperationWorker, request.get(), 0, nullptr);
    if (!operationThread_) {
        PromptUser("The operation could not be started", prompt::Ok | prompt::IconStop);
        OnOperationDone();
        return;
    }
    request.release();
}

void CTorvexView::OnOperationDone()
{
    operationRunning = 0;
    SetOperationCombosEnabled(true);
    GetTorvexDoc()->openAllowed = true;
    progressWindow.Destroy();
    if (operationThread_) {
        // The worker posted this message as its last act but one; it ends at once.
        WaitForSingleObject(operationThread_, INFINITE);
        CloseHandle(operationThread_);
        operationThread_ = nullptr;
    }
    // A disk change seen while the operation ran (its own output, often) shows now.
    if (rescanAfterOperation_) {
        rescanAfterOperation_ = false;
        if (!GetTorvexDoc()->archiveMode)
            ShowDisk(diskFolder);
    }
}

void CTorvexView::TakeHandedCatalogue(HandedCatalogue& handed)
{
    CTorvexDoc* doc = GetTorvexDoc();
    if (!handed.catalogue)
        return;
    // The rows point into the catalogue that is about to go.
    DropRows();
    hitItem = -1;
    doc->catalogue = std::move(*handed.catalogue);
    shownChapter = handed.chapter;
    const ChapterInfo* chapter = doc->catalogue.Chapter(shownChapter);
    archiveFolder = chapter ? RefreshFolder(chapter->Directories, handed.folder) : std::string("\\");
    if (doc->archiveMode)
        ShowArchiveFolder(ChapterList(archiveFolder));
}

bool CTorvexView::HandleOperationMessage(UINT msg, LPARAM lp)
{
    CTorvexDoc* doc = GetTorvexDoc();
    switch (msg) {
    case WM_OPERATION_DONE:
        OnOperationDone();
        return true;
    case WM_UPDATE_STATUS:
        if (doc->archiveMode)
            MainFrame()->ShowArchiveInfo(&doc->catalogue, shownChapter);
        return true;
    case WM_UPDATE_CHAPTERS:
        MainFrame()->FillChapterCombo(doc->catalogue);
        return true;
    case WM_OPERATION_CATALOGUE: {
        std::unique_ptr<HandedCatalogue> handed(reinterpret_cast<HandedCatalogue*>(lp));
        if (handed)
            TakeHandedCatalogue(*handed);
        return true;
    }
    default:
        return false;
    }
}
