#include "framework/command_line.h"

#include <cctype>

std::vector<std::string> SplitCommandLine(const std::string& line)
{
    std::vector<std::string> args;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            break;
        std::string arg;
        bool quoted = false;
        for (; i < line.size(); ++i) {
            char c = line[i];
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            if (!quoted && (c == ' ' || c == '\t'))
                break;
            arg += c;
        }
        args.push_back(arg);
    }
    return args;
}

namespace {
bool IsFlag(const std::string& arg, const char* name)
{
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
        return false;
    std::string rest = arg.substr(1);
    std::string want = name;
    if (rest.size() != want.size())
        return false;
    for (size_t i = 0; i < rest.size(); ++i)
        if (std::tolower((unsigned char)rest[i]) != std::tolower((unsigned char)want[i]))
            return false;
    return true;
}
} // namespace

void CommandLineInfo::Parse(const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (IsFlag(arg, "Embedding"))
            embedding = true;
        else if (IsFlag(arg, "Automation"))
            automation = true;
        else if (!arg.empty() && arg[0] != '/' && arg[0] != '-' && fileName.empty()) {
            fileName = arg;
            action = FileOpen;
        }
    }
}
