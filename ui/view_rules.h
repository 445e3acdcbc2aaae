// What the list view decides, kept apart from the window: which commands are enabled, where the
// parent row goes, what a double click or a key does, the window titles.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "engine/archive_catalogue.h"
#include "resources/resource.h"

// Command ids the view enables or handles, by the names the rules use.
namespace viewcmd {
constexpr unsigned Add = ID_ADD, Extract = ID_EXTRACT, ExtractTo = ID_EXTRACT_TO, ListView = ID_LIST_VIEW,
                   DetailsView = ID_DETAILS_VIEW, Delete = ID_DELETE, Directories = ID_DIRECTORIES,
                   ComputeSize = ID_COMPUTE_SIZE, AddToFilesList = ID_ADD_TO_FILES_LIST,
                   EditFilesList = ID_EDIT_FILES_LIST, ShellExtensions = ID_SHELL_EXTENSIONS, Test = ID_TEST,
                   Miscellaneous = ID_MISCELLANEOUS, ExtractArchiveTo = ID_EXTRACT_ARCHIVE_TO,
                   ViewFile = ID_VIEW_OPEN_FILE, Save = ID_SAVE_VIEWED, SelectAll = ID_SELECT_ALL,
                   Refresh = ID_REFRESH, FileOpen = ID_FILE_OPEN, History = ID_HISTORY,
                   ArchiveComment = ID_ARCHIVE_COMMENT, Find = ID_FIND, CompareChapters = ID_COMPARE_CHAPTERS,
                   LeaveComparison = ID_LEAVE_COMPARISON, ViewOlder = ID_VIEW_OLDER, ViewNewer = ID_VIEW_NEWER,
                   ExtractOlder = ID_EXTRACT_OLDER, ExtractNewer = ID_EXTRACT_NEWER,
                   CopyFiles = ID_COPY_FILES, PasteFiles = ID_PASTE_FILES;
}

// The state the enabling rules read.
struct ViewState {
    bool archiveMode = false;
    bool operationRunning = false;
    int selectedCount = 0;
    bool realSelection = false;              // HasRealSelection
    const ArchiveEntry* hitEntry = nullptr;  // the row at hitItem; nullptr when hitItem is -1
    bool filesListHasItems = false;
    // A viewed copy was edited since it was extracted or last saved: there is something to save.
    bool viewedCopyModified = false;
    // Chapters of the open archive.
    int chapterCount = 0;
    // The list shows a comparison of two chapters; which of them hold the clicked file.
    bool comparison = false;
    bool hitInOlder = false;
    bool hitInNewer = false;
};

// The list's style; the values are those of the "viewType" setting.
enum class ViewStyle { List = 0, Details = 1 };

// Enabled or not; no value for a command the view does not enable.
std::optional<bool> ViewCommandEnabled(unsigned id, const ViewState& state);

// More than one row selected, or exactly one that is not the parent row at the top.
bool HasRealSelection(int selectedCount, bool row0Selected, bool row0IsParent);

// The parent row leads out of an archive folder always, and out of a disk folder below a drive root.
bool HasParentRow(bool archiveMode, const std::string& diskFolder);
// At the archive root it leads out of the archive (image 2); elsewhere it is a plain folder (image 0).
int ParentRowImage(bool archiveMode, const std::string& archiveFolder);

std::string ArchiveTitle(const std::string& archivePath, const std::string& archiveFolder);
std::string DiskTitle(const std::string& diskFolder);

// A disk folder as the view holds it: no trailing backslash, a drive root as two characters,
// the drive letter upper-case.
std::string NormalizeDiskFolder(const std::string& folder);
// The folder to start in: `folder` (normalised) when it exists, else its nearest existing parent,
// so a start-up folder removed since the last run does not show an empty list. A drive that does
// not answer stays as it is.
std::string StartupDiskFolder(const std::string& folder, const std::function<bool(const std::string&)>& exists);

// What a double click on a row does.
enum class ClickAction {
    None,
    ArchiveUp,        // target: parent archive folder
    LeaveArchive,     // target: the archive's disk folder
    ArchiveEnter,     // target: the directory's archive path
    OpenArchiveEntry, // a file inside the archive (view/open operation)
    DiskUp,           // target: parent disk folder
    DiskEnter,        // target: the folder's path
    ShowLoadedArchive,
    OpenArchive,      // target: the ".j" file's path
    OpenDiskFile,     // a file on disk (view/open operation)
};

struct ClickDecision {
    ClickAction action = ClickAction::None;
    std::string target;
};

struct NavigationState {
    bool archiveMode = false;
    std::string archiveFolder;
    std::string diskFolder;
    std::string archivePath;        // the catalogue's ArchivePath
    bool archiveLoaded = false;     // the catalogue holds the shown chapter of archivePath
    bool documentModified = false;
};

ClickDecision DecideDoubleClick(const NavigationState& state, const ArchiveEntry& row);

// Keys the list handles itself (Ctrl+E, Ctrl+X, Ctrl+A, Delete).
struct KeyDecision {
    unsigned command = 0;     // a command to run, 0 for none
    bool quickDelete = false; // deletion without the dialog
};
constexpr unsigned VirtualKeyDelete = 0x2E;
KeyDecision DecideListKey(bool archiveMode, bool operationRunning, bool ctrl, unsigned virtualKey,
                          unsigned repeatCount);

// Typing names in the list: characters within a second of each other make one name; a run of one
// character cycles through the rows it begins. The search moves the selection to one row, as a
// click does, never extending it (a capital letter typed with Shift held is not a Shift+click).
class TypeAhead {
public:
    static constexpr unsigned long PauseMs = 1000;
    struct Search {
        std::string wanted;  // the beginning of the name looked for
        bool afterFocus;     // start from the row after the focused one (else at it)
    };
    Search Feed(char c, unsigned long tickMs);

private:
    std::string typed_;
    unsigned long last_ = 0;
};
