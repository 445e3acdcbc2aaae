// The program's own window messages (WM_APP + n), all here so that no two share a number.
#pragma once

#include <windows.h>

// Posted by the operation worker to the view. lParam: an OperationOutcome the interface thread
// takes ownership of. Once per operation, last.
constexpr UINT WM_OPERATION_DONE = WM_APP + 2;
// Posted by the operation worker to the view. lParam: an ArchiveRelisting the interface thread
// takes ownership of.
constexpr UINT WM_OPERATION_CATALOGUE = WM_APP + 5;
// Posted by the folder watcher to the view: the watched folder changed. The view arms its
// refresh timer on its own thread (a timer belongs to the thread that owns the window).
constexpr UINT WM_FOLDER_CHANGED = WM_APP + 6;
// Posted by the view to itself after the selection changed: the status bar's selection pane is
// brought up to date once for a burst of changes.
constexpr UINT WM_SELECTION_STATUS = WM_APP + 8;
