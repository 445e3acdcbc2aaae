#include "dialogs/add_command.h"

#include "engine/jar_commands.h"
#include "engine/path_helpers.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::string LeadingDigits(const std::string& text)
{
    size_t n = 0;
    while (n < text.size() && IsDigit(text[n]))
        ++n;
    return text.substr(0, n);
}

// A two-character folder is a bare drive ("d:"): the archiver needs its root.
std::string QuotedFolder(const std::string& folder)
{
    return "\"" + folder + (folder.size() == 2 ? "\\" : "") + "\"";
}

// " -z" / " -hz" and what follows, for one comment; false when its file could not be written.
bool AppendComment(AddCommand& command, const char* switchText, const std::string& text,
                   const std::string& fileName, const AddCommandEnvironment& env)
{
    if (text == "NUL") {
        command.commandLine += std::string(switchText) + "NUL";
        return true;
    }
    if (text.empty()) {
        command.commandLine += switchText;
        command.interactiveComment = true;
        return true;
    }
    std::string path = env.systemTemp + fileName;
    if (!WriteTextFile(path, text + "\r\n")) {
        command.failedFile = path;
        return false;
    }
    command.commandLine += std::string(switchText) + "\"" + path + "\"";
    command.commentFiles.push_back(path);
    return true;
}

} // namespace

bool VolumeSizeValid(const std::string& volumeSize)
{
    if (volumeSize == kAutoDetectVolume)
        return true;
    std::string digits = LeadingDigits(volumeSize);
    return !digits.empty() && digits.size() <= 12;
}

AddCommand BuildAddCommand(const AddChoices& c, const AddCommandEnvironment& env)
{
    AddCommand command;
    std::string& line = command.commandLine;
    line = AddCommandWord(c.action);
    line += " -y -r-";
    if (env.tempDir == 1)
        line += " -w" + QuotedFolder(env.tempEdit);
    line += " -m";
    // A damaged setting still names a method the archiver has.
    line += static_cast<char>('4' - std::clamp(c.compression, 0, 3));
    line += c.pathOption == PathOption::None ? " -jf-" : " -jf";
    if (c.spanArchive) {
        std::string root = DriveRoot(c.archiveName);
        bool fixed = env.isFixedDrive && env.isFixedDrive(root);
        if (!fixed && env.tempDir == 0)
            line += " -w" + QuotedFolder(env.systemTemp);
        line += " -v";
        if (c.volumeSize == kAutoDetectVolume) {
            line += "a";
        } else {
            // Thousands are three more digits: no number type to overflow whatever was typed.
            std::string digits = VolumeSizeValid(c.volumeSize) ? LeadingDigits(c.volumeSize) : "";
            digits.erase(0, digits.find_first_not_of('0'));
            line += digits.empty() ? "0" : digits + "000";
        }
        if (!fixed)
            line += "v";
        if (c.wipeDisk)
            line += "s\"deltree /y " + root + "*\"";
        if (c.formatDisk)
            line += "s\"format " + root.substr(0, 2) + "\"";
    }
    line += " -o\"" + (c.pathInArchive.empty() ? std::string("\\") : c.pathInArchive) + "\"";
    if (c.commentArchive && !AppendComment(command, " -z", c.archiveComment, kArchiveCommentFile, env))
        return command;
    if (c.commentChapter)
        AppendComment(command, " -hz", c.chapterComment, kChapterCommentFile, env);
    return command;
}

SpanControls DecideSpanControls(bool spanArchive, bool fixedDrive)
{
    SpanControls controls;
    controls.volumeEnabled = spanArchive;
    controls.diskOptionsEnabled = spanArchive && !fixedDrive;
    return controls;
}

std::string PathInArchiveFromLabels(const std::vector<std::string>& labels)
{
    if (labels.size() <= 1)
        return "\\";
    std::string path;
    for (size_t i = 1; i < labels.size(); ++i)
        path += "\\" + labels[i];
    return path;
}

bool NamesAnArchive(const std::string& archiveName)
{
    return archiveName.size() >= 2 && archiveName.compare(archiveName.size() - 2, 2, ".j") == 0;
}
