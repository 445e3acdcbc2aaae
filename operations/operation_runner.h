// The one way a long archive operation runs: StartOperation (a view operation, on the interface
// thread) freezes what could start a second operation, shows the progress window and starts
// OperationWorker on a thread of its own; the worker runs the body of the operation's kind and
// reports back through messages posted to the view's window, which the interface thread handles
// in posting order: a body's updates first, WM_OPERATION_DONE last.
//
// A body runs on the worker thread. It must never clear, re-list or replace the catalogue, the
// disk rows or the row list the interface thread draws from (the list reads them whenever it
// repaints): it lists into a catalogue of its own and hands that over with HandOverCatalogue.
// While it runs, the view's WorkSet and files list are the body's (the interface thread does not
// touch them until the done message), and so is everything it reads of the view and document
// (folders, shown chapter, the catalogue's texts), which the interface thread leaves alone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/archive_catalogue.h"
#include "operations/finish_beep.h"
#include "operations/operation_kind.h"

class CTorvexDoc;
class CTorvexView;

// Posted to the view's window, both parameters 0 unless said otherwise.
constexpr UINT WM_OPERATION_DONE = WM_APP + 2;   // once per operation, last
constexpr UINT WM_UPDATE_STATUS = WM_APP + 3;    // rewrite the status bar from the catalogue
constexpr UINT WM_UPDATE_CHAPTERS = WM_APP + 4;  // refill the chapter combo from the catalogue
// lParam: a HandedCatalogue the interface thread takes ownership of.
constexpr UINT WM_OPERATION_CATALOGUE = WM_APP + 5;

// A fresh listing made on the worker, for the interface thread to swap in.
struct HandedCatalogue {
    std::unique_ptr<ArchiveCatalogue> catalogue;
    // What the view shows of it: this chapter, this folder (the root when the chapter lacks it).
    int chapter = 0;
    std::string folder = "\\";
};

// The record handed to the worker; the worker frees it as its very last step.
struct OperationRequest {
    CTorvexView* view = nullptr;
    HWND viewWindow = nullptr;
    OperationKind kind = OperationKind::TestArchive;
    uint32_t argument = 0;
    // Read on the interface thread when the operation starts (the settings store is not
    // shared with the worker).
    FinishBeepSettings beep;
};

// What a body gets.
struct OperationContext {
    CTorvexView& view;
    CTorvexDoc& document;
    HWND viewWindow;
    OperationKind kind;
    // ExtractFiles: the request's argument; AddDropped, DeleteFiles, DeleteChapters: the view's
    // window handle; the others: 0.
    uintptr_t argument;

    // Gives a fresh listing to the interface thread: it becomes the document's catalogue and
    // the view shows `folder` of `chapter` (the list is refilled; nothing else is).
    void HandOverCatalogue(std::unique_ptr<ArchiveCatalogue> catalogue, int chapter, const std::string& folder);
    // Asks the interface thread to rewrite the status bar from the document's catalogue and
    // the view's shownChapter (after a hand-over, the new ones).
    void PostStatusUpdate() const;
    // Asks the interface thread to refill the chapter combo from the document's catalogue.
    void PostChapterUpdate() const;
};

using OperationBody = void (*)(OperationContext& context);

// The worker thread's procedure: beep check, body, done message, release of the request.
DWORD WINAPI OperationWorker(void* request);
