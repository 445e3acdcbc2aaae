// The Add and Delete commands of the view, on the interface thread: they gather what to work on,
// open the dialog, and start the operation with a job of what they decided.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>


class AddDialog;
class CTorvexView;
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

