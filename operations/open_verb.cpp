#include "operations/open_verb.h"

#include "engine/path_helpers.h"

std::string FindOpenVerb(ClassRegistry& registry, const std::string& fileName)
{
    std::string extension = FileExtension(fileName);
    if (extension.empty())
        return std::string();
    std::optional<std::string> type = registry.DefaultValue("." + extension);
    if (!type || type->empty())
        return std::string();
    std::optional<std::string> verb = registry.DefaultValue(*type + "\\shell");
    if (verb && !verb->empty())
        return *verb;
    std::vector<std::string> verbs = registry.SubkeyNames(*type + "\\shell");
    if (verbs.empty())
        return std::string();
    return verbs.size() == 1 ? verbs.front() : std::string("open");
}

FileLauncher DoubleClickLauncher(int assocProg)
{
    return assocProg == 0 ? FileLauncher::Association : FileLauncher::Viewer;
}

FileLauncher ViewCommandLauncher(int assocProg)
{
    return DoubleClickLauncher(assocProg) == FileLauncher::Association ? FileLauncher::Viewer
                                                                      : FileLauncher::Association;
}

const char* ViewCommandLabel(int assocProg)
{
    return ViewCommandLauncher(assocProg) == FileLauncher::Association ? "Open File\tCtrl+V" : "View File\tCtrl+V";
}
