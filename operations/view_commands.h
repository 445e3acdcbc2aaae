// The view's commands that start an operation, on the interface thread: each gathers what to
// work on, opens its dialog where there is one, and starts the operation with a job of what it
// decided. The view's command table calls them.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

class AddDialog;
class CTorvexView;
class ExtractDialog;
struct DirectoriesSettings;

// Add (Ctrl+A in the disk browser): the selected rows through the Add dialog.
void OnAdd(CTorvexView& view, AddDialog& dialog, const DirectoriesSettings& directories);
// Files dropped onto the window: into the archive shown, or into a new one named after the
// first of them. Releases the drop handle.
void OnDropAdd(CTorvexView& view, AddDialog& dialog, HDROP drop);
void AddDroppedNames(CTorvexView& view, AddDialog& dialog, const std::vector<std::string>& names);
// Delete (the context menu): through the Delete dialog.
void OnDelete(CTorvexView& view);
// The Del key in an archive: asks, then deletes the selection from the last chapter.
void QuickDelete(CTorvexView& view);
// Extract to... (32774): the Extract dialog, then the extraction. With `versionChapter`, the
// dialog opens set to extract that chapter's version of the selection.
void OnExtractTo(CTorvexView& view, ExtractDialog& dialog, const DirectoriesSettings& directories,
                 int versionChapter = 0);
// Extract (32773): the selection into the disk folder, paths below the shown folder, no question.
// With `versionChapter`, that chapter's version of the selection (History's Restore).
void OnExtract(CTorvexView& view, const ExtractDialog& options, int versionChapter = 0);
// Extract to ... on a disk file (32813): the archive of the clicked row, whole.
void OnExtractArchive(CTorvexView& view, ExtractDialog& dialog, const DirectoriesSettings& directories);
// The same for an archive on disk given by its path (no row need show it).
void ExtractArchiveFile(CTorvexView& view, ExtractDialog& dialog, const DirectoriesSettings& directories,
                        const std::string& archive);
// Test (32809): the open archive, or the one ".j" row selected in the disk browser.
void OnTest(CTorvexView& view);
// History (Ctrl+H) on the one selected file of an archive: its versions across the chapters,
// to view, extract or restore one of them.
void OnHistory(CTorvexView& view, ExtractDialog& dialog, const DirectoriesSettings& directories);
// Find (Ctrl+F) in an archive: the Find dialog; Go to shows the entry chosen, in its chapter.
void OnFind(CTorvexView& view);
