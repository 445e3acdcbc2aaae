// Stand-in for jar32.exe and torvex.exe in the extension's tests: records how it was started into
// "<its own name>.record" beside itself, then ends.
//   command line / current folder / JAR_CFG_FILE or "<unset>" / console title / show command /
//   then "LIST " + each line of the list file named after "!" (if any).
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ListFileOf(const std::string& commandLine)
{
    size_t bang = commandLine.find("!\"");
    if (bang == std::string::npos)
        return std::string();
    size_t end = commandLine.find('"', bang + 2);
    return end == std::string::npos ? std::string() : commandLine.substr(bang + 2, end - bang - 2);
}

} // namespace

int main()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof(module));
    std::string record(module);
    record = record.substr(0, record.rfind('.')) + ".record";

    std::ostringstream text;
    std::string commandLine = GetCommandLineA();
    text << commandLine << "\n";
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof(folder), folder);
    text << folder << "\n";
    char config[MAX_PATH] = {};
    text << (GetEnvironmentVariableA("JAR_CFG_FILE", config, sizeof(config)) ? config : "<unset>") << "\n";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    text << (startup.lpTitle ? startup.lpTitle : "") << "\n";
    text << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? static_cast<int>(startup.wShowWindow) : -1) << "\n";
    std::string list = ListFileOf(commandLine);
    if (!list.empty()) {
        std::ifstream in(list, std::ios::binary);
        std::string line;
        while (std::getline(in, line))
            text << "LIST " << line << "\n";
    }

    // Written whole, then renamed, so that a reader never sees half a record.
    std::string partial = record + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << text.str();
    }
    MoveFileExA(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
