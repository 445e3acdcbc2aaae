#include "operations/add_list.h"

#include "engine/path_helpers.h"

namespace {

void AppendLine(std::string& out, const std::string& path, const std::string& source, PathOption pathOption)
{
    if (pathOption == PathOption::Partial) {
        out += source;
        out += "\\.";
        if (path.size() > source.size())
            out.append(path, source.size(), std::string::npos);
    } else {
        out += path;
    }
    out += "\r\n";
}

void AppendFolderContents(const std::string& folder, const std::string& source, PathOption pathOption,
                          const FolderLister& lister, std::string& out)
{
    std::vector<FoundName> found;
    lister(folder, found);
    for (const FoundName& item : found) {
        std::string path = folder + "\\" + item.name;
        AppendLine(out, path, source, pathOption);
        if (item.directory && !item.link)
            AppendFolderContents(path, source, pathOption, lister, out);
    }
}

} // namespace

std::string AddListLine(const std::string& path, const std::string& source, PathOption pathOption)
{
    std::string line;
    AppendLine(line, path, source, pathOption);
    line.resize(line.size() - 2);
    return line;
}

void AppendAddListLines(const EntryList& entries, PathOption pathOption, const FolderLister& lister, std::string& out)
{
    for (const auto& entry : entries) {
        const std::string& source = entry->Columns[ArchiveEntry::Source];
        AppendLine(out, entry->Path, source, pathOption);
        if (entry->IsDirectory())
            AppendFolderContents(entry->Path, source, pathOption, lister, out);
    }
}

ArchiveEntry DroppedEntry(const std::string& name, bool directory)
{
    ArchiveEntry entry;
    entry.Path = name;
    entry.Columns[ArchiveEntry::Name] = LeafName(name);
    entry.Columns[ArchiveEntry::Attributes] = directory ? "....D" : ".....";
    std::string parent;
    ParentPath(name, parent);
    entry.Columns[ArchiveEntry::Source] = parent;
    return entry;
}

std::string ArchiveFileNameFor(const std::string& itemName, bool directory)
{
    // The extension is looked for in the last component only: "my.dir\notes" keeps its name.
    std::string leaf = LeafName(itemName);
    size_t dot = leaf.rfind('.');
    if (!directory && dot != std::string::npos)
        leaf.resize(dot);
    return leaf + ".j";
}

std::string JoinFolder(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

std::string ProposedArchiveName(const std::string& itemName, bool directory, int addDir, const std::string& addLast,
                                const std::string& addEdit, const std::string& diskFolder)
{
    const std::string* folder = &diskFolder;
    if (addDir == 0 && !addLast.empty())
        folder = &addLast;
    else if (addDir == 2)
        folder = &addEdit;
    return JoinFolder(*folder, ArchiveFileNameFor(itemName, directory));
}
