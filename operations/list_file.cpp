#include "operations/list_file.h"

#include <cstdio>

#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "resources/message_texts.h"

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
    if (WriteTextFile(path, text))
        return true;
    // A half-written list would make the archiver work on part of the files.
    std::remove(path.c_str());
    PromptUser(msg::CantCreate(path), prompt::Ok | prompt::IconStop);
    return false;
}

void TellListFileLeft(const std::string& path)
{
    PromptUser("List file saved as " + path, prompt::Ok | prompt::IconInformation);
}
