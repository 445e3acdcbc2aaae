#include "operations/help_rules.h"

#include <cctype>

std::string ManualFileFor(const std::string& programFolder, unsigned short languageId)
{
    constexpr unsigned short kFrench = 0x0C;
    return programFolder + ((languageId & 0xFF) == kFrench ? "\\manuel.htm" : "\\manual.htm");
}

std::string FillDdeCommand(const std::string& commandTemplate, const std::string& address)
{
    std::string out;
    const size_t n = commandTemplate.size();
    for (size_t i = 0; i < n; ++i) {
        char c = commandTemplate[i];
        if (c != '%' || i + 1 == n) {
            out += c;
            continue;
        }
        char next = commandTemplate[++i];
        if (next == '0')
            break;
        if (next == 'n') {
            out += "\r\n";
            continue;
        }
        if (!std::isdigit((unsigned char)next)) {
            out += next;  // "%%", "%.", "%!", "% " and the like stand for the character itself
            continue;
        }
        // An insert number of one or two digits, then an optional !printf format!.
        int number = next - '0';
        if (i + 1 < n && std::isdigit((unsigned char)commandTemplate[i + 1]))
            number = number * 10 + (commandTemplate[++i] - '0');
        if (i + 1 < n && commandTemplate[i + 1] == '!') {
            size_t close = commandTemplate.find('!', i + 2);
            if (close != std::string::npos)
                i = close;
        }
        if (number == 1)
            out += address;
    }
    return out;
}
