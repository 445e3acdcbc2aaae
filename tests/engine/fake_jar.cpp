// Scripted stand-in for the archiver. Each line of the script file named by
// TORVEX_FAKE_JAR_SCRIPT is one step:
//   out TEXT / err TEXT          TEXT and CR LF on standard output / error
//   out-raw TEXT / err-raw TEXT  TEXT alone (no line end)
//   out-lf TEXT                  TEXT and a bare LF
//   env                          "JAR_CFG_FILE=" and its value, or "JAR_CFG_FILE unset"
//   cwd / args / title           the current folder / the command line after the program / the console title
//   job                          "job=yes" when the process belongs to a job object, else "job=no"
//   lines COUNT WIDTH            COUNT numbered lines of WIDTH characters, written in large blocks
//   file PATH                    the bytes of a file
//   sleep MS                     a pause of MS milliseconds
//   handles                      "progress=yes|no cancel=yes|no": whether the parent named them
//   progress TEXT                TEXT and LF on the progress channel
//   wait-cancel MS               waits up to MS for the cancel signal; when it comes, "ERROR:
//                                cancelled" on standard error and the cancelled exit code
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace {

void Write(DWORD which, const std::string& text)
{
    HANDLE handle = GetStdHandle(which);
    size_t done = 0;
    while (done < text.size()) {
        DWORD wrote = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1 << 20));
        if (!WriteFile(handle, text.data() + done, chunk, &wrote, nullptr) || wrote == 0)
            return;
        done += wrote;
    }
}

void Out(const std::string& text) { Write(STD_OUTPUT_HANDLE, text); }

std::string ArgumentsAfterProgram()
{
    std::string line = GetCommandLineA();
    size_t pos = 0;
    if (!line.empty() && line[0] == '"') {
        pos = line.find('"', 1);
        pos = pos == std::string::npos ? line.size() : pos + 1;
    } else {
        while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t')
            ++pos;
    }
    // One blank separates the program from its arguments.
    if (pos < line.size())
        ++pos;
    return line.substr(pos);
}

std::string NumberedLine(unsigned number, unsigned width)
{
    std::string line = "line " + std::to_string(number) + " ";
    line.resize(width < line.size() ? line.size() : width, 'x');
    return line;
}

// A handle the parent named in the environment; null when it named none.
HANDLE NamedHandle(const char* variable)
{
    char value[32];
    DWORD n = GetEnvironmentVariableA(variable, value, sizeof value);
    if (n == 0 || n >= sizeof value)
        return nullptr;
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::stoull(std::string(value, n))));
}

} // namespace

int main()
{
    char scriptPath[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TORVEX_FAKE_JAR_SCRIPT", scriptPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        Write(STD_ERROR_HANDLE, "ERROR: no script\r\n");
        return 2;
    }
    std::ifstream script(scriptPath, std::ios::binary);
    std::string step;
    while (std::getline(script, step)) {
        if (!step.empty() && step.back() == '\r')
            step.pop_back();
        size_t blank = step.find(' ');
        std::string word = step.substr(0, blank);
        std::string text = blank == std::string::npos ? std::string() : step.substr(blank + 1);
        if (word == "out")
            Out(text + "\r\n");
        else if (word == "err")
            Write(STD_ERROR_HANDLE, text + "\r\n");
        else if (word == "out-raw")
            Out(text);
        else if (word == "err-raw")
            Write(STD_ERROR_HANDLE, text);
        else if (word == "out-lf")
            Out(text + "\n");
        else if (word == "env") {
            char value[MAX_PATH];
            DWORD n = GetEnvironmentVariableA("JAR_CFG_FILE", value, MAX_PATH);
            Out(n ? "JAR_CFG_FILE=" + std::string(value, n) + "\r\n" : std::string("JAR_CFG_FILE unset\r\n"));
        } else if (word == "cwd") {
            char folder[MAX_PATH];
            DWORD n = GetCurrentDirectoryA(MAX_PATH, folder);
            Out(std::string(folder, n) + "\r\n");
        } else if (word == "args") {
            Out(ArgumentsAfterProgram() + "\r\n");
        } else if (word == "title") {
            char title[256] = "";
            GetConsoleTitleA(title, sizeof(title));
            Out(std::string("title=") + title + "\r\n");
        } else if (word == "job") {
            BOOL in = FALSE;
            Out(IsProcessInJob(GetCurrentProcess(), nullptr, &in) && in ? "job=yes\r\n" : "job=no\r\n");
        } else if (word == "lines") {
            std::istringstream numbers(text);
            unsigned count = 0, width = 0;
            numbers >> count >> width;
            std::string block;
            for (unsigned i = 1; i <= count; ++i) {
                block += NumberedLine(i, width) + "\r\n";
                if (block.size() > 200000) {
                    Out(block);
                    block.clear();
                }
            }
            Out(block);
        } else if (word == "file") {
            std::ifstream file(text, std::ios::binary);
            std::ostringstream bytes;
            bytes << file.rdbuf();
            Out(bytes.str());
        } else if (word == "handles") {
            Out(std::string("progress=") + (NamedHandle("JAR_PROGRESS_HANDLE") ? "yes" : "no") +
                " cancel=" + (NamedHandle("JAR_CANCEL_HANDLE") ? "yes" : "no") + "\r\n");
        } else if (word == "progress") {
            std::string record = text + "\n";
            DWORD wrote = 0;
            WriteFile(NamedHandle("JAR_PROGRESS_HANDLE"), record.data(), DWORD(record.size()), &wrote, nullptr);
        } else if (word == "wait-cancel") {
            HANDLE cancel = NamedHandle("JAR_CANCEL_HANDLE");
            DWORD ms = static_cast<DWORD>(std::stoul(text));
            if (!cancel) {
                Sleep(ms);
            } else if (WaitForSingleObject(cancel, ms) == WAIT_OBJECT_0) {
                Write(STD_ERROR_HANDLE, "ERROR: cancelled\r\n");
                return 3;
            }
        } else if (word == "sleep") {
            Sleep(static_cast<DWORD>(std::stoul(text)));
        }
    }
    return 0;
}
