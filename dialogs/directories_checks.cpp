#include "dialogs/directories_checks.h"

std::string StripTrailingBackslashes(const std::string& folder)
{
    std::size_t end = folder.find_last_not_of('\\');
    return end == std::string::npos ? std::string() : folder.substr(0, end + 1);
}

DirectoriesCheck CheckDirectories(DirectoriesInput& input, const DirectoriesProbe& probe)
{
    struct Step {
        bool checked;
        std::string& edit;
        const char* fileSuffix;  // nullptr: the folder itself must exist
        DirectoriesField field;
        const char* message;
    };
    Step steps[] = {
        {input.addDir == 2, input.addEdit, nullptr, DirectoriesField::Add, "Invalid Add Directory"},
        {input.extractDir == 2, input.extractEdit, nullptr, DirectoriesField::Extract, "Invalid Extract Directory"},
        {input.startupDir == 1, input.startupEdit, nullptr, DirectoriesField::Startup, "Invalid Startup Directory"},
        {input.tempDir == 1, input.tempEdit, nullptr, DirectoriesField::Temp,
         "Invalid Temporary Directory\n(no '\\' at the end the directory)"},
        {true, input.jarEdit, "\\jar32.exe", DirectoriesField::Jar, "Invalid Jar Directory"},
        {true, input.torvexEdit, "\\Torvex.exe", DirectoriesField::Torvex, "Invalid Torvex Directory"},
    };
    for (Step& step : steps) {
        if (!step.checked)
            continue;
        std::string stripped = StripTrailingBackslashes(step.edit);
        bool found = step.fileSuffix ? probe.fileExists(stripped + step.fileSuffix)
                                     : !stripped.empty() && probe.folderExists(stripped);
        if (!found)
            return {step.field, step.message};
        step.edit = stripped;
    }
    return {};
}

std::string MissingExecutablesMessage(bool jarMissing, bool torvexMissing)
{
    if (jarMissing && torvexMissing)
        return "Please fill in the Jar32.exe and Torvex.exe directories.";
    if (jarMissing)
        return "Please fill in the Jar32.exe directory.";
    if (torvexMissing)
        return "Please fill in the Torvex.exe directory.";
    return std::string();
}
