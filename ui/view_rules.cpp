#include "ui/view_rules.h"

#include <cctype>

#include "engine/path_helpers.h"
#include "ui/compare_rows.h"

namespace {

bool HitIsArchive(const ViewState& s)
{
    return s.hitEntry && s.hitEntry->IsArchiveFile();
}

} // namespace

std::optional<bool> ViewCommandEnabled(unsigned id, const ViewState& s)
{
    using namespace viewcmd;
    switch (id) {
    case ListView:
    case DetailsView:
        return true;
    default:
        break;
    }
    bool idle = !s.operationRunning;
    if (s.comparison) {
        // A comparison is of two chapters, not a place to put files: what would change the
        // archive or take the shown chapter waits until it is left.
        switch (id) {
        case Add:
        case Delete:
        case Extract:
        case ExtractTo:
        case AddToFilesList:
        case History:
        case Save:
        case CopyFiles:
        case PasteFiles:
            return false;
        case ViewFile:
            return idle && s.selectedCount == 1 && (s.hitInOlder || s.hitInNewer);
        case ViewOlder:
        case ViewNewer:
            return idle && s.selectedCount == 1 && (id == ViewOlder ? s.hitInOlder : s.hitInNewer);
        case ExtractOlder:
        case ExtractNewer:
            return idle && s.realSelection;
        case LeaveComparison:
            return idle;
        default:
            break;
        }
    }
    switch (id) {
    case Add:
        return idle && (s.realSelection || s.filesListHasItems);
    case Extract:
    case AddToFilesList:
    case CopyFiles:
        return idle && s.realSelection;
    case ExtractTo:
    case EditFilesList:
    case Refresh:
    case Directories:
    case Miscellaneous:
    case ShellExtensions:
    case FileOpen:
    case Delete:
    case PasteFiles:
        return idle;
    case Test:
        return idle && (s.archiveMode || (s.selectedCount == 1 && HitIsArchive(s)));
    case ExtractArchiveTo:
        return idle && s.selectedCount == 1 && HitIsArchive(s);
    case ViewFile:
        return idle && s.selectedCount == 1 && s.hitEntry && !s.hitEntry->IsDirectory();
    case ArchiveComment:
    case Find:
        return idle && s.archiveMode;
    case History:
        return idle && s.archiveMode && s.selectedCount == 1 && s.hitEntry && !s.hitEntry->IsDirectory();
    case Save:
        return idle && s.viewedCopyModified;
    case CompareChapters:
        return idle && s.archiveMode && s.chapterCount > 1;
    case LeaveComparison:
    case ViewOlder:
    case ViewNewer:
    case ExtractOlder:
    case ExtractNewer:
        return false;
    default:
        return std::nullopt;
    }
}

bool HasRealSelection(int selectedCount, bool row0Selected, bool row0IsParent)
{
    if (selectedCount > 1)
        return true;
    if (selectedCount == 1)
        return !(row0Selected && row0IsParent);
    return false;
}

bool HasParentRow(bool archiveMode, const std::string& diskFolder)
{
    return archiveMode || diskFolder.size() > 3;
}

int ParentRowImage(bool archiveMode, const std::string& archiveFolder)
{
    return archiveMode && archiveFolder == "\\" ? 2 : 0;
}

std::string ArchiveTitle(const std::string& archivePath, const std::string& archiveFolder)
{
    return "Torvex - " + archivePath + " --> " + archiveFolder;
}

std::string DiskTitle(const std::string& diskFolder)
{
    return "Torvex - " + diskFolder + "\\";
}

std::string NormalizeDiskFolder(const std::string& folder)
{
    std::string f = folder;
    // "c:\" and "c:\data\" come from settings typed by hand; the view holds "C:" and "C:\data",
    // with the drive letter as the drive combo shows it.
    while (f.size() > 2 && f.back() == '\\')
        f.pop_back();
    if (f.size() >= 2 && f[1] == ':' && std::isalpha(static_cast<unsigned char>(f[0])))
        f[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(f[0])));
    return f;
}

std::string StartupDiskFolder(const std::string& folder, const std::function<bool(const std::string&)>& exists)
{
    std::string f = NormalizeDiskFolder(folder);
    std::string parent;
    while (!exists(f) && ParentPath(f, parent) && parent.size() >= 2)
        f = parent;
    return f;
}

ClickDecision DecideDoubleClick(const NavigationState& s, const ArchiveEntry& row)
{
    std::string parent;
    if (s.archiveMode) {
        if (IsParentRow(row)) {
            if (ParentPath(s.archiveFolder, parent))
                return {ClickAction::ArchiveUp, parent};
            ParentPath(s.archivePath, parent);
            return {ClickAction::LeaveArchive, parent};
        }
        if (row.IsDirectory())
            return {ClickAction::ArchiveEnter, row.Path};
        return {ClickAction::OpenArchiveEntry, row.Path};
    }
    if (IsParentRow(row)) {
        if (ParentPath(s.diskFolder, parent) && !parent.empty())
            return {ClickAction::DiskUp, parent};
        return {};
    }
    if (row.IsDirectory())
        return {ClickAction::DiskEnter, row.Path};
    if (row.IsArchiveFile()) {
        if (row.Path == s.archivePath && s.archiveLoaded && !s.documentModified)
            return {ClickAction::ShowLoadedArchive, row.Path};
        return {ClickAction::OpenArchive, row.Path};
    }
    return {ClickAction::OpenDiskFile, row.Path};
}

KeyDecision DecideListKey(bool archiveMode, bool operationRunning, bool ctrl, unsigned virtualKey,
                          unsigned repeatCount)
{
    KeyDecision d;
    if (operationRunning || repeatCount != 1)
        return d;
    if (ctrl) {
        if (archiveMode && virtualKey == 'E')
            d.command = viewcmd::Extract;
        else if (archiveMode && virtualKey == 'X')
            d.command = viewcmd::ExtractTo;
        else if (!archiveMode && virtualKey == 'A')
            d.command = viewcmd::Add;
        else if (!archiveMode && virtualKey == 'X')
            d.command = viewcmd::ExtractArchiveTo;
    }
    if (archiveMode && virtualKey == VirtualKeyDelete)
        d.quickDelete = true;
    return d;
}

TypeAhead::Search TypeAhead::Feed(char c, unsigned long tickMs)
{
    if (typed_.empty() || tickMs - last_ > PauseMs)
        typed_.clear();
    last_ = tickMs;
    typed_ += c;
    bool oneCharacter = typed_.find_first_not_of(typed_[0]) == std::string::npos;
    if (oneCharacter)
        return {typed_.substr(0, 1), true};
    return {typed_, false};
}
