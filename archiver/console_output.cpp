#include "archiver/console_output.h"

#include <cctype>

#include "archiver/file_system.h"
#include "archiver/progress.h"

namespace jar {
namespace {
std::string pending;
int errors = 0;
int warnings = 0;
constexpr size_t kBlock = 1 << 20;
size_t statusWidth = 0; // characters of the progress line on the console, 0 when none shows

void ClearStatus()
{
    if (statusWidth == 0)
        return;
    WriteOut("\r" + std::string(statusWidth, ' ') + "\r");
    statusWidth = 0;
}
} // namespace

size_t TextColumns(const std::string& text)
{
    size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

void Console::Line(const std::string& text)
{
    pending += text;
    pending += LineEnd();
    if (pending.size() >= kBlock)
        Flush();
}

void Console::Text(const std::string& text)
{
    pending += text;
    if (pending.size() >= kBlock)
        Flush();
}

void Console::Flush()
{
    ClearStatus();
    if (!pending.empty())
        WriteOut(pending);
    pending.clear();
}

void Console::Status(const std::string& line)
{
    // The lines gathered so far go above it, so the listing scrolls and the line stays last.
    if (!pending.empty())
        Flush();
    size_t width = TextColumns(line);
    WriteOut("\r" + line + std::string(statusWidth > width ? statusWidth - width : 0, ' ') + "\r");
    statusWidth = width;
}

namespace {
// A message is one line whatever it quotes (a file name may hold a line break).
std::string OneLine(const std::string& text)
{
    std::string line;
    for (char c : text) {
        if (c == '\n')
            line += "<LF>";
        else if (c == '\r')
            line += "<CR>";
        else
            line += c;
    }
    return line;
}
} // namespace

void Console::Error(const std::string& text)
{
    ++errors;
    Flush();
    WriteError("ERROR: " + OneLine(text.empty() ? std::string("the command failed") : text) + LineEnd());
}

void Console::FileWarning(const std::string& text)
{
    ++warnings;
    Warning(text);
}

void Console::Warning(const std::string& text)
{
    Flush();
    WriteError("WARNING: " + OneLine(text) + LineEnd());
}

int Console::ErrorCount() { return errors; }
int Console::WarningCount() { return warnings; }

bool Console::AskYesNo(const std::string& question, bool& yesToAll)
{
    if (yesToAll)
        return true;
    for (;;) {
        Text(question + " (Yes/No/All) ? ");
        Flush();
        std::string answer;
        if (!ReadConsoleLine(answer) || StopAsked())
            return false;
        char c = answer.empty() ? ' ' : char(std::tolower(static_cast<unsigned char>(answer[0])));
        if (c == 'y')
            return true;
        if (c == 'n')
            return false;
        if (c == 'a') {
            yesToAll = true;
            return true;
        }
    }
}

std::string Console::ReadText(const std::string& prompt)
{
    Line(prompt);
    Flush();
    std::string text, line;
    while (ReadConsoleLine(line) && !line.empty() && !StopAsked())
        text += line + "\n";
    return text;
}

} // namespace jar
