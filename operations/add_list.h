// What the add operation decides apart from the window: the lines of the add list file, the
// rows made from dropped names, and the archive name it proposes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "dialogs/path_option.h"
#include "engine/archive_catalogue.h"

// The list file in the program folder.
inline constexpr const char* kAddListName = "~TorvexAdd";

// One name a folder search found ("." and ".." left out).
struct FoundName {
    std::string name;
    bool directory = false;
    // A link to another folder: written as a line, not entered (it may lead back up).
    bool link = false;
};
// Appends the names inside `folder`, in the order the file system returns them.
using FolderLister = std::function<void(const std::string& folder, std::vector<FoundName>& found)>;

// The line of one disk path seen from `source`: the path itself, or with Partial Path (1)
// the source, "\." and the rest of the path, which marks where the stored path begins.
std::string AddListLine(const std::string& path, const std::string& source, PathOption pathOption);

// Appends one CR LF-ended line per entry; a folder entry is followed by everything below it,
// one line per file or folder, recursively.
void AppendAddListLines(const EntryList& entries, PathOption pathOption, const FolderLister& lister, std::string& out);

// A row for a dropped file or folder: Path the name, Source its parent folder.
ArchiveEntry DroppedEntry(const std::string& name, bool directory);

// "name.j" for an item to add: a file loses its extension, a folder keeps its whole name.
std::string ArchiveFileNameFor(const std::string& itemName, bool directory);
// Folder + "\" + name, without doubling a backslash the folder already ends with.
std::string JoinFolder(const std::string& folder, const std::string& name);

// The archive the Add command proposes for the first item (its name column), in the folder
// "addDir" picks: 0 "addLast" unless empty, 2 "addEdit", otherwise the shown disk folder.
std::string ProposedArchiveName(const std::string& itemName, bool directory, int addDir, const std::string& addLast,
                                const std::string& addEdit, const std::string& diskFolder);
