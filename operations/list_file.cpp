#include "operations/list_file.h"

#include <cstdio>

#include "framework/message_box.h"

std::string ProgramFileName(const std::string& programFolder, const char* name)
{
    return programFolder + "\\" + name;
}

bool WriteListFile(const std::string& path, const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return WriteListText(path, text);
}

bool WriteListText(const std::string& path, const std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file && std::fclose(file) != 0)
        written = false;
    if (written)
        return true;
    // A half-written list would make the archiver work on part of the files.
    std::remove(path.c_str());
    PromptUser("Can't create " + path, prompt::Ok | prompt::IconStop);
    return false;
}

void TellListFileLeft(const std::string& path)
{
    PromptUser("List file saved as " + path, prompt::Ok | prompt::IconInformation);
}
