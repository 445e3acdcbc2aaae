// What the Explorer extension decides, as plain functions over plain data: the menu for a
// selection, the archive it names, the JAR command lines it starts and the add list it writes.
// The COM object only gathers the inputs (drop list, settings, file attributes) and starts processes.
// Paths and texts are UTF-8.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Only the header-only contract: the extension links nothing of the program.
#include "engine/jar_contract.h"

namespace shellext {

inline constexpr const char* kAddListStem = "~TorvexAdd";

// The menu offsets of the items, added to the shell's first command id.
enum MenuOffset : unsigned { kExtractHere = 0, kExtractToFolder = 1, kExtractToProgram = 2, kAddTo = 0 };

enum class MenuMode { None, Extract, Add };

struct MenuSettings {
    int shExtExtract = 0;
    int shExtCompress = 0;
};

struct MenuPlan {
    MenuMode mode = MenuMode::None;
    std::string archivePath;           // archive to extract from, or to create / extend
    std::vector<std::string> items;    // item texts, item i at insert position + i with id first + i
};

// Only an ordinary or Explorer-tree context menu gets items (not the default-only query, etc.).
bool MenuFlagsAllowItems(unsigned flags);
// A single archive (jarcontract::IsArchiveName) is extracted; anything else is added.
using jarcontract::IsArchiveName;
// Archive to add to: a file is cut at the last dot of its whole path, a folder is not; ".j" appended.
std::string ArchivePathForAdd(const std::string& path, bool isFolder);
// paths: the drop list; firstIsFolder: whether paths[0] is a folder.
MenuPlan PlanContextMenu(unsigned flags, const std::vector<std::string>& paths, bool firstIsFolder,
                         const MenuSettings& settings);

// Everything before the last backslash; "\x" gives "\".
std::string FolderPart(const std::string& path);
// The folder JAR runs in for an archive. A bare drive ("C:") becomes its root, because a drive
// alone means that drive's current folder, which the child may inherit from elsewhere. Empty
// (the child starts where the shell is) when the folder is too long to be a current folder: a
// process cannot start in it, and every path JAR is given is full.
std::string WorkingFolderFor(const std::string& archivePath);

// Into the archive's folder: the one JAR runs in, or named with -o when it is too long for that.
std::string ExtractHereSwitches(const std::string& archivePath);
std::string ExtractToFolderSwitches(const std::string& archivePath);
// compression: "ShExtCompression" (0 best .. 3 fast); tempDir/tempEdit: the work folder choice.
std::string AddSwitches(int compression, int tempDir, const std::string& tempEdit);
std::string AddTail(const std::string& listFile);
std::string JarCommandLine(const std::string& jarFolder, const std::string& switches,
                           const std::string& archivePath, const std::string& tail);
std::string JarConfigFile(const std::string& torvexFolder);
std::string ProgramCommandLine(const std::string& torvexFolder, const std::string& archivePath);

// The file system as the add list sees it.
class DiskLister {
public:
    virtual ~DiskLister() = default;
    virtual bool IsFolder(const std::string& path) = 0;
    // Folders that lead elsewhere (junctions, symbolic links) are listed but not entered:
    // one pointing at its own ancestor would otherwise never end.
    virtual bool IsLink(const std::string& path) = 0;
    // Names inside a folder, in the order found, "." and ".." included or not.
    virtual std::vector<std::string> Names(const std::string& folder) = 0;
};

// One list line: base folder, the "\.\" marker, the path below the base.
std::string AddListLine(const std::string& baseFolder, const std::string& path);
// Writes the add list's lines (without CR LF) for the drop list, one at a time, folders before
// their contents. skipTopmostDir: "ShExtSkipDir".
void WriteAddList(const std::vector<std::string>& paths, bool skipTopmostDir, DiskLister& disk,
                  const std::function<void(const std::string&)>& writeLine);

} // namespace shellext
