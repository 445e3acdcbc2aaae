// The program's command line: split into arguments and read with the usual shell rules.
#pragma once

#include <string>
#include <vector>

// Blanks separate arguments; double quotes group and are removed; backslashes are kept (a path
// never needs them escaped). The program name is the first argument.
std::vector<std::string> SplitCommandLine(const std::string& line);

struct CommandLineInfo {
    enum Action { FileNew, FileOpen };
    Action action = FileNew;
    std::string fileName;
    bool embedding = false;    // /Embedding or -Embedding
    bool automation = false;   // /Automation or -Automation

    // Reads the arguments after the program name: the first non-flag argument is the file to open.
    void Parse(const std::vector<std::string>& args);
};
