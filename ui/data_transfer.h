// The shell's data transfer of files, out of the list (drag, Copy) and in (Paste): a data object
// offering files by name and by contents, a drop source, the clipboard. Only the OLE calls live
// here; what is offered, and when it is made, the view decides.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Files offered to another program.
struct FileOffer {
    // What the target gets: full paths.
    std::vector<std::string> names;
    // Files of an archive: makes `names` exist (extracts them) the first time a target asks for
    // them; false when it cannot now. Empty for files that are on disk already.
    std::function<bool()> render;
    // Run when no one holds the offer any more (the per-drag folder goes).
    std::function<void()> released;
    DWORD allowedEffects = DROPEFFECT_COPY;
};

// A drag of `offer` until the mouse button is released; the effect the target chose, or
// DROPEFFECT_NONE (dropped nowhere, on a window of this program, or Esc).
DWORD DragOut(FileOffer offer);

// The program's own offer on the clipboard.
class ClipboardOffer {
public:
    ~ClipboardOffer();
    // Puts `offer` on the clipboard in place of what was there; false when the clipboard refused.
    bool Put(FileOffer offer, bool archiveFiles);
    // Takes it off the clipboard if it is still there.
    void Withdraw();
    // The program ends: files on disk stay on the clipboard, files of an archive are withdrawn
    // (their folder goes with the program).
    void AtExit();
    // It is still on the clipboard.
    bool OnClipboard() const;

private:
    IDataObject* object_ = nullptr;  // not held: the clipboard holds it
    std::weak_ptr<void> alive_;     // expires when the object is gone
    bool archiveFiles_ = false;
    void Forget();
};

// The files on the clipboard (put there by the shell or another program); none when it holds none.
// `cut`, when given, says whether they were cut (to be moved) rather than copied.
std::vector<std::string> ClipboardFileNames(bool* cut = nullptr);
// Empties the clipboard (files cut and then moved are gone from where it names them).
void EmptyTheClipboard();
bool ClipboardHoldsFiles();
// Copies (or moves) `names` into `folder` as the shell does (its questions and progress); false
// when nothing was copied or the user cancelled.
bool CopyFilesInto(HWND owner, const std::vector<std::string>& names, const std::string& folder, bool renameOnCollision,
                   bool move = false);
