// A stand-in viewer for the window tests: appends a line to the file it is given (its whole
// command line after the program name, in double quotes) and records what it was given in
// "viewer.log" beside itself, one line per start.
#include <windows.h>

#include <fstream>
#include <string>

int main()
{
    std::string line = GetCommandLineA();
    // Skip the program name, quoted or not.
    std::size_t start = 0;
    if (!line.empty() && line[0] == '"')
        start = line.find('"', 1) + 1;
    else
        start = line.find(' ');
    std::string argument = start == std::string::npos || start >= line.size() ? std::string() : line.substr(start);
    while (!argument.empty() && argument.front() == ' ')
        argument.erase(0, 1);

    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self, length);
    folder.erase(folder.find_last_of('\\'));
    std::ofstream(folder + "\\viewer.log", std::ios::app) << argument << "\n";

    if (argument.size() < 2 || argument.front() != '"' || argument.back() != '"')
        return 2;
    std::ofstream file(argument.substr(1, argument.size() - 2), std::ios::app | std::ios::binary);
    file << "edited by viewer\r\n";
    return file ? 0 : 1;
}
