// What the extract operation decides, apart from the file system and the window: which
// choices the Extract dialog opens with, when partial paths become full or no paths for one
// run, where a file staged in the temporary folder belongs, whether it replaces the file
// already there, and the lines of the extract list file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/path_option.h"
#include "engine/archive_catalogue.h"

// Name of the staging folder at the root of the destination drive, and of the list file in
// the program folder.
inline constexpr const char* kExtractTempName = "~TorvexTemp";
inline constexpr const char* kExtractListName = "~TorvexExtract";

// "d:\~TorvexTemp" for a destination on d:, "\\server\share\~TorvexTemp" for one on that share
// (the long "\\?\" forms alike).
std::string ExtractTempFolder(const std::string& destination);

// Stamps "YYYY-MM-DD HH:MM:SS": for the first field that differs, disk minus entry; 0 when
// all six agree. Negative: the archived copy is newer.
int CompareStamps(const std::string& entryStamp, const std::string& diskStamp);

// The path below the archive folder the user was looking at, with its leading backslash:
// `path` less the length of `source` (one less when the source is the staging folder itself,
// i.e. the archive root, so that the separating backslash stays).
std::string MoveRelativePart(const std::string& path, const std::string& source);

enum class MoveAction {
    MoveWhole,       // rename the file or folder to the target
    Descend,         // a folder whose target exists: move its contents one by one
    Replace,         // delete the target, then rename
    AskThenReplace,  // "Overwrite <target> ?": Yes replaces, No drops
    Drop,            // the extracted copy is not wanted
};

struct MoveFacts {
    bool isDirectory = false;
    bool targetExists = false;
    std::string entryStamp;   // column Modified of the entry
    std::string targetStamp;  // the target's last write, same form
    std::string entrySize;    // column Size of the entry, decimal
    uint64_t targetSize = 0;
};

MoveAction DecideMove(const MoveFacts& facts, bool overwriteWithoutPrompting, int updateMode, int updateCriterion);

// How the dialog opens for Extract to...: which choices are offered and which one is set.
struct ExtractWhatChoice {
    int extractWhat = 0;
    bool filesListAvailable = false;
    bool selectionAvailable = false;
};
ExtractWhatChoice ChooseExtractWhat(bool filesListHasItems, bool realSelection);

// Partial Path switched for one run: what the dialog shows instead, and whether it must be
// chosen again afterwards.
struct PartialPathAdjustment {
    PathOption pathOption = PathOption::Full;
    bool restore = false;
};
// `filesListHasItems`/`filesListHasDirectory`: the files list's top-level items;
// `rowsSelected`/`selectionHasDirectory`: the selected rows below the parent row.
PartialPathAdjustment AdjustPartialPath(PathOption pathOption, bool atArchiveRoot, bool workSetEmpty, bool filesListHasItems,
                                        bool filesListHasDirectory, bool rowsSelected, bool selectionHasDirectory);

// The lines of the extract list file: each entry's archive path, a directory followed by
// everything the chapter lists under it, recursively, in catalogue order.
std::vector<std::string> ExtractListLines(const EntryList& entries, const DirectoryMap& directories);

// Whether the chapters an extraction names include `chapter`: From alone when "To" is empty,
// From onwards when "To" reads as 0, From to To otherwise; the shown chapter when no range is
// asked for (or From is 0).
bool ExtractedChaptersInclude(bool extractChapters, int chapterFrom, const std::string& chapterTo, int chapter);
// "chapter 1", "chapters 1 to 3", "chapters 4 onwards".
std::string ExtractedChaptersText(int chapterFrom, const std::string& chapterTo);
// The list line that names everything below an archive folder (with recursion): "*" at the
// root, "\dir\*" below it.
std::string WholeFolderListLine(const std::string& archiveFolder);
// What the user is told when the chosen entries of the shown chapter are extracted from other
// chapters: those entries only, not what the other chapters hold besides.
std::string ShownEntriesOnlyText(bool filesList, int shownChapter, int chapterFrom, const std::string& chapterTo);

// The directory the Extract dialog opens with, by the "extractDir" setting: 0 the last one
// extracted to, 1 the folder shown, 2 the fixed one.
std::string PresetExtractDirectory(int extractDir, const std::string& extractLast, const std::string& diskFolder,
                                   const std::string& extractEdit);
