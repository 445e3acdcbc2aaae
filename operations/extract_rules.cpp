#include "operations/extract_rules.h"

#include <cstdio>
#include <cstdlib>
#include <unordered_set>

#include "dialogs/extract_switches.h"

namespace {

// The end of "\\server\share" in a UNC path starting at `from` (past its leading backslashes).
size_t ShareEnd(const std::string& path, size_t from)
{
    size_t server = path.find('\\', from);
    if (server == std::string::npos)
        return path.size();
    size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path.size() : share;
}

} // namespace

std::string ExtractTempFolder(const std::string& destination)
{
    // The staging folder sits at the root of the destination's volume: a drive, or a share.
    size_t rootEnd = 2;
    if (destination.rfind("\\\\?\\UNC\\", 0) == 0)
        rootEnd = ShareEnd(destination, 8);
    else if (destination.rfind("\\\\?\\", 0) == 0)
        rootEnd = 6;
    else if (destination.rfind("\\\\", 0) == 0)
        rootEnd = ShareEnd(destination, 2);
    return destination.substr(0, rootEnd) + "\\" + kExtractTempName;
}

int CompareStamps(const std::string& entryStamp, const std::string& diskStamp)
{
    int e[6] = {}, d[6] = {};
    std::sscanf(entryStamp.c_str(), "%d-%d-%d %d:%d:%d", &e[0], &e[1], &e[2], &e[3], &e[4], &e[5]);
    std::sscanf(diskStamp.c_str(), "%d-%d-%d %d:%d:%d", &d[0], &d[1], &d[2], &d[3], &d[4], &d[5]);
    for (int i = 0; i < 6; ++i) {
        if (d[i] != e[i])
            return d[i] - e[i];
    }
    return 0;
}

std::string MoveRelativePart(const std::string& path, const std::string& source)
{
    size_t n = source.size();
    static const std::string rootMark = std::string(kExtractTempName) + "\\";
    if (n >= rootMark.size() && source.compare(n - rootMark.size(), rootMark.size(), rootMark) == 0)
        --n;
    return n <= path.size() ? path.substr(n) : std::string();
}

MoveAction DecideMove(const MoveFacts& f, bool overwrite, int updateMode, int criterion)
{
    using namespace extractopt;
    if (!f.targetExists && updateMode != Freshen)
        return MoveAction::MoveWhole;
    if (f.isDirectory)
        return MoveAction::Descend;
    bool replace = true;
    if (updateMode != UpdateNone) {
        if (!f.targetExists)
            return MoveAction::Drop;  // freshen: only files already there
        int d = CompareStamps(f.entryStamp, f.targetStamp);
        if (criterion == NewerFiles)
            replace = d < 0;
        else if (criterion == OlderFiles)
            replace = d > 0;
        else
            replace = !(d == 0 && std::strtoull(f.entrySize.c_str(), nullptr, 10) == f.targetSize);
    }
    if (!replace)
        return MoveAction::Drop;
    return overwrite ? MoveAction::Replace : MoveAction::AskThenReplace;
}

ExtractWhatChoice ChooseExtractWhat(bool filesListHasItems, bool realSelection)
{
    ExtractWhatChoice c;
    if (filesListHasItems) {
        c.extractWhat = extractopt::FilesList;
        c.filesListAvailable = true;
        c.selectionAvailable = realSelection;
    } else {
        c.filesListAvailable = false;
        c.selectionAvailable = realSelection;
        c.extractWhat = realSelection ? extractopt::SelectedFiles : extractopt::AllFiles;
    }
    return c;
}

PartialPathAdjustment AdjustPartialPath(PathOption pathOption, bool atArchiveRoot, bool workSetEmpty, bool filesListHasItems,
                                        bool filesListHasDirectory, bool rowsSelected, bool selectionHasDirectory)
{
    PartialPathAdjustment a{pathOption, false};
    if (pathOption != PathOption::Partial)
        return a;
    if (atArchiveRoot && workSetEmpty) {
        // At the root, partial paths are full paths.
        a.pathOption = PathOption::Full;
        a.restore = true;
        return a;
    }
    // With no directory among the files, partial paths and no paths give the same result.
    bool toNoPath = filesListHasItems ? !filesListHasDirectory : rowsSelected && !selectionHasDirectory;
    if (toNoPath) {
        a.pathOption = PathOption::None;
        a.restore = true;
    }
    return a;
}

namespace {
void AppendLines(const ArchiveEntry& entry, const DirectoryMap& directories, std::vector<std::string>& lines,
                 std::unordered_set<std::string>& open)
{
    lines.push_back(entry.Path);
    if (!entry.IsDirectory())
        return;
    const EntryList* inside = directories.Find(entry.Path);
    // A directory cannot contain itself; the guard only keeps a malformed catalogue finite.
    if (!inside || !open.insert(entry.Path).second)
        return;
    for (const auto& child : *inside)
        AppendLines(*child, directories, lines, open);
    open.erase(entry.Path);
}
} // namespace

std::vector<std::string> ExtractListLines(const EntryList& entries, const DirectoryMap& directories)
{
    std::vector<std::string> lines;
    std::unordered_set<std::string> open;
    for (const auto& entry : entries)
        AppendLines(*entry, directories, lines, open);
    return lines;
}

bool ExtractedChaptersInclude(bool extractChapters, int chapterFrom, const std::string& chapterTo, int chapter)
{
    if (!extractChapters || chapterFrom == 0)
        return true;
    if (chapter < chapterFrom)
        return false;
    if (chapterTo.empty())
        return chapter == chapterFrom;
    long long to = ChapterNumber(chapterTo);
    return to == 0 || chapter <= to;
}

std::string ExtractedChaptersText(int chapterFrom, const std::string& chapterTo)
{
    std::string from = std::to_string(chapterFrom);
    if (chapterTo.empty() || ChapterNumber(chapterTo) == chapterFrom)
        return "chapter " + from;
    if (ChapterNumber(chapterTo) == 0)
        return "chapters " + from + " onwards";
    return "chapters " + from + " to " + std::to_string(ChapterNumber(chapterTo));
}

std::string WholeFolderListLine(const std::string& archiveFolder)
{
    if (archiveFolder.empty() || archiveFolder == "\\")
        return "*";
    return archiveFolder + "\\*";
}

std::string ShownEntriesOnlyText(bool filesList, int shownChapter, int chapterFrom, const std::string& chapterTo)
{
    std::string shown = "chapter " + std::to_string(shownChapter);
    std::string range = ExtractedChaptersText(chapterFrom, chapterTo);
    std::string what = filesList ? "the entries of the files list" : "the selected entries of " + shown;
    return "Only " + what + " are extracted, in their versions of " + range + ".\n" + "Files of " + range +
           " that " + shown + " does not hold are left out: choose All Files to extract everything.";
}

std::string PresetExtractDirectory(int extractDir, const std::string& extractLast, const std::string& diskFolder,
                                   const std::string& extractEdit)
{
    switch (extractDir) {
    case 0:
        return extractLast;
    case 2:
        return extractEdit;
    default:
        return diskFolder;
    }
}
