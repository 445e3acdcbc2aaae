#include "engine/jar_commands.h"

#include <algorithm>

namespace {
std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}
} // namespace

std::string ChapterListArguments(const std::string& archive)
{
    return "lc " + Quoted(archive);
}

std::string ChapterListingArguments(int chapter, const std::string& archive)
{
    return "v -jb" + std::to_string(chapter) + " " + Quoted(archive);
}

std::string NewestChapterListingArguments(const std::string& archive)
{
    return "v " + Quoted(archive);
}

std::string VersionListingArguments(int first, int last, const std::string& archive)
{
    return "v -jb" + std::to_string(first) + "-" + std::to_string(last) + " " + Quoted(archive);
}

std::string ListFileArguments(const std::string& commandLine, const std::string& archive, const std::string& listFile)
{
    return " " + commandLine + " " + Quoted(archive) + " !" + Quoted(listFile);
}

std::string WholeArchiveArguments(const std::string& commandLine, const std::string& archive)
{
    return " " + commandLine + " " + Quoted(archive) + " *";
}

std::string ExtractCommandWord(bool keepPaths)
{
    return keepPaths ? " x" : " e";
}

std::string AddCommandWord(int action)
{
    switch (action) {
    case 0: return " a";
    case 1: return " u";
    case 2: return " f";
    default: return " ac";
    }
}

std::string ViewExtractArguments(int chapter, const std::string& folder, const std::string& archive, const std::string& entryPath)
{
    return " x -jb" + std::to_string(chapter) + " -y -r- -o" + Quoted(folder) + " " + Quoted(archive) + " " + Quoted(entryPath);
}

std::string SaveBackArguments(int editFilesCompress, const std::string& archive, const std::string& listFile)
{
    char method = static_cast<char>('4' - std::clamp(editFilesCompress, 0, 3));
    return std::string(" a -y -r- -m") + method + " -jf -o\\ " + Quoted(archive) + " !" + Quoted(listFile);
}

std::string DeleteInLastChapterArguments(const std::string& archive, const std::string& listFile)
{
    return " d -r- -y " + Quoted(archive) + " !" + Quoted(listFile);
}

std::string DeleteInAllChaptersArguments(const std::string& archive, const std::string& listFile)
{
    return " da -y " + Quoted(archive) + " !" + Quoted(listFile);
}

std::string DeleteChaptersArguments(const std::string& archive, const std::vector<std::string>& chapters)
{
    std::string arguments = " dc " + Quoted(archive);
    for (const std::string& chapter : chapters)
        arguments += " " + chapter;
    return arguments;
}

std::string TestArguments(const std::string& archive)
{
    return " t " + Quoted(archive);
}
