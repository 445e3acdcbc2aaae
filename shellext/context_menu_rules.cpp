#include "shellext/context_menu_rules.h"

#include <algorithm>

#include "framework/name_compare.h"

namespace shellext {

namespace {

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string LeafOf(const std::string& path)
{
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

bool MenuFlagsAllowItems(unsigned flags)
{
    unsigned low = flags & 0x0F;
    return low == 0 /* CMF_NORMAL */ || low == 4 /* CMF_EXPLORE */;
}

std::string ArchivePathForAdd(const std::string& path, bool isFolder)
{
    std::string archive = path;
    if (!isFolder) {
        size_t dot = archive.rfind('.');
        if (dot != std::string::npos)
            archive.erase(dot);
    }
    return archive + ".j";
}

MenuPlan PlanContextMenu(unsigned flags, const std::vector<std::string>& paths, bool firstIsFolder,
                         const MenuSettings& settings)
{
    MenuPlan plan;
    if (!MenuFlagsAllowItems(flags) || paths.empty())
        return plan;
    const std::string& first = paths.front();
    if (paths.size() == 1 && IsArchiveName(first)) {
        // A single archive never gets the add item.
        if (settings.shExtExtract == 0)
            return plan;
        plan.mode = MenuMode::Extract;
        plan.archivePath = first;
        plan.items = {"Extract Here", "Extract to " + first.substr(0, first.size() - 2), "Extract to ..."};
        return plan;
    }
    if (settings.shExtCompress == 0)
        return plan;
    plan.mode = MenuMode::Add;
    plan.archivePath = ArchivePathForAdd(first, firstIsFolder);
    plan.items = {"Add to " + LeafOf(plan.archivePath)};
    return plan;
}

std::string FolderPart(const std::string& path)
{
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos)
        return std::string();
    if (slash == 0)
        return "\\";
    return path.substr(0, slash);
}

std::string WorkingFolderFor(const std::string& archivePath)
{
    std::string folder = FolderPart(archivePath);
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';
    const size_t longestCurrentFolder = 258;  // MAX_PATH less the closing backslash and the end
    return folder.size() > longestCurrentFolder - 1 ? std::string() : folder;
}

std::string ExtractHereSwitches(const std::string& archivePath)
{
    // JAR extracts into the folder it runs in; one too long to run in is named instead.
    std::string folder = FolderPart(archivePath);
    if (!folder.empty() && WorkingFolderFor(archivePath).empty())
        return jarcontract::ShellExtractToSwitches + folder + "\" ";
    return jarcontract::ShellExtractHereSwitches;
}

std::string ExtractToFolderSwitches(const std::string& archivePath)
{
    std::string folder = archivePath.size() >= 2 ? archivePath.substr(0, archivePath.size() - 2) : archivePath;
    return jarcontract::ShellExtractToSwitches + folder + "\" ";
}

std::string AddSwitches(int compression, int tempDir, const std::string& tempEdit)
{
    // A value outside the four choices must not turn into a switch JAR rejects ("-m-2").
    compression = std::clamp(compression, 0, 3);
    std::string switches = jarcontract::ShellAddSwitches + std::to_string(4 - compression);
    if (tempDir != 0) {
        std::string folder = tempEdit;
        if (folder.size() == 2)
            folder += '\\';
        switches += " -w" + Quoted(folder);
    }
    return switches;
}

std::string AddTail(const std::string& listFile)
{
    return " !" + Quoted(listFile);
}

std::string JarCommandLine(const std::string& jarFolder, const std::string& switches,
                           const std::string& archivePath, const std::string& tail)
{
    return jarcontract::CommandLine(jarFolder, switches + " " + Quoted(archivePath) + tail);
}

std::string JarConfigFile(const std::string& torvexFolder)
{
    return jarcontract::ConfigFile(torvexFolder);
}

std::string ProgramCommandLine(const std::string& torvexFolder, const std::string& archivePath)
{
    return Quoted(torvexFolder + "\\torvex.exe") + " " + Quoted(archivePath);
}

std::string AddListLine(const std::string& baseFolder, const std::string& path)
{
    std::string below = path.size() > baseFolder.size() ? path.substr(baseFolder.size() + 1) : std::string();
    return baseFolder + "\\.\\" + below;
}

namespace {

bool IsBelow(const std::string& baseFolder, const std::string& path)
{
    return path.size() > baseFolder.size() + 1 && path[baseFolder.size()] == '\\' &&
           SameNameIgnoringCase(path.substr(0, baseFolder.size()), baseFolder);
}

void WriteEntry(const std::string& path, bool isFolder, const std::string& baseFolder, DiskLister& disk,
                const std::function<void(const std::string&)>& writeLine)
{
    writeLine(AddListLine(baseFolder, path));
    if (!isFolder || disk.IsLink(path))
        return;
    for (const std::string& name : disk.Names(path)) {
        if (name == "." || name == "..")
            continue;
        std::string inner = path + "\\" + name;
        WriteEntry(inner, disk.IsFolder(inner), baseFolder, disk, writeLine);
    }
}

} // namespace

void WriteAddList(const std::vector<std::string>& paths, bool skipTopmostDir, DiskLister& disk,
                  const std::function<void(const std::string&)>& writeLine)
{
    if (paths.empty())
        return;
    if (paths.size() == 1 && skipTopmostDir && disk.IsFolder(paths.front())) {
        // The folder is its own base: its contents are stored without its name.
        WriteEntry(paths.front(), true, paths.front(), disk, writeLine);
        return;
    }
    // A selection from search results can mix folders: a path outside the first one's folder is
    // stored below its own folder rather than cut at a length that does not belong to it.
    std::string baseFolder = FolderPart(paths.front());
    for (const std::string& path : paths) {
        std::string base = IsBelow(baseFolder, path) ? baseFolder : FolderPart(path);
        WriteEntry(path, disk.IsFolder(path), base, disk, writeLine);
    }
}

} // namespace shellext
