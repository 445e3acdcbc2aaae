#include "archiver/command_line.h"

#include <cctype>

namespace jar {

std::vector<std::string> SplitCommandLine(const std::string& raw)
{
    std::vector<std::string> tokens;
    std::string token;
    bool inToken = false, quoted = false;
    for (char c : raw) {
        if (c == '"') {
            quoted = !quoted;
            inToken = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (inToken)
                tokens.push_back(token);
            token.clear();
            inToken = false;
        } else {
            token += c;
            inToken = true;
        }
    }
    if (inToken)
        tokens.push_back(token);
    return tokens;
}

namespace {
std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool ReadNumber(const std::string& text, size_t& at, uint64_t& value)
{
    size_t start = at;
    value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && value < (1ULL << 60))
        value = value * 10 + uint64_t(text[at++] - '0');
    return at > start;
}

bool ReadChapters(const std::string& text, Options& options)
{
    size_t at = 0;
    uint64_t first = 0, last = 0;
    if (!ReadNumber(text, at, first) || first == 0 || first > 0x7FFFFFFF)
        return false;
    options.chapterFirst = uint32_t(first);
    options.chapterLast = uint32_t(first);
    if (at < text.size() && text[at] == '-') {
        ++at;
        if (at == text.size())
            options.chapterLast = 0;
        else if (!ReadNumber(text, at, last) || last > 0x7FFFFFFF)
            return false;
        else
            options.chapterLast = uint32_t(last);
        if (options.chapterLast != 0 && options.chapterLast < options.chapterFirst)
            return false;
    }
    options.chaptersGiven = true;
    return at == text.size();
}

bool ReadVolumes(const std::string& text, Options& options)
{
    size_t at = 0;
    options.volumes = true;
    if (at < text.size() && (text[at] == 'a' || text[at] == 'A')) {
        options.volumeSize = 0;
        ++at;
    } else {
        uint64_t size = 0;
        if (!ReadNumber(text, at, size) || size < 1024)
            return false;
        options.volumeSize = size;
    }
    if (at < text.size() && (text[at] == 'v' || text[at] == 'V')) {
        options.removable = true;
        ++at;
    }
    if (at < text.size() && (text[at] == 's' || text[at] == 'S')) {
        options.volumeCommand = text.substr(at + 1);
        at = text.size();
    }
    return at == text.size();
}

bool ReadSwitch(const std::string& token, Options& options)
{
    std::string body = token.substr(1);
    std::string lower = Lower(body);
    if (lower == "y") {
        options.yesToAll = true;
    } else if (lower == "r") {
        options.recurse = true;
    } else if (lower == "r-") {
        options.recurse = false;
    } else if (lower == "jf") {
        options.keepPaths = true;
        options.keepPathsGiven = true;
    } else if (lower == "jf-") {
        options.keepPaths = false;
        options.keepPathsGiven = true;
    } else if (lower.rfind("jb", 0) == 0) {
        return ReadChapters(body.substr(2), options);
    } else if (lower[0] == 'o') {
        options.outputFolder = body.substr(1);
        options.outputGiven = true;
    } else if (lower[0] == 'w') {
        options.workFolder = body.substr(1);
    } else if (lower.size() == 2 && lower[0] == 'm' && lower[1] >= '1' && lower[1] <= '4') {
        options.level = lower[1] - '0';
    } else if ((lower[0] == 'f' || lower[0] == 'u') && lower.size() <= 2) {
        options.freshenOnly = lower[0] == 'f';
        if (lower.size() == 1)
            options.rule = DateRule::Newer;
        else if (lower[1] == '1')
            options.rule = DateRule::Older;
        else if (lower[1] == '2')
            options.rule = DateRule::DateOrSize;
        else
            return false;
    } else if (lower[0] == 'z' || lower.rfind("hz", 0) == 0) {
        bool chapter = lower[0] == 'h';
        std::string source = body.substr(chapter ? 2 : 1);
        (chapter ? options.chapterComment : options.archiveComment) = source.empty() ? "*" : source;
    } else if (lower[0] == 'v') {
        return ReadVolumes(body.substr(1), options);
    } else {
        return false;
    }
    return true;
}
} // namespace

bool ParseCommandLine(const std::vector<std::string>& tokens, Options& options, std::string& error)
{
    static const struct { const char* word; Command command; } commands[] = {
        {"a", Command::Add}, {"u", Command::Update}, {"f", Command::Freshen}, {"ac", Command::AddChapter},
        {"x", Command::Extract}, {"e", Command::ExtractFlat}, {"d", Command::Delete}, {"da", Command::DeleteAll},
        {"dc", Command::DeleteChapters}, {"o", Command::Compact}, {"t", Command::Test}, {"lc", Command::ListChapters}, {"v", Command::List},
    };
    if (tokens.empty()) {
        error = "no command given";
        return false;
    }
    options.commandWord = Lower(tokens[0]);
    for (const auto& c : commands)
        if (options.commandWord == c.word)
            options.command = c.command;
    if (options.command == Command::None) {
        error = "unknown command \"" + tokens[0] + "\"";
        return false;
    }
    size_t i = 1;
    for (; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token.size() < 2 || token[0] != '-')
            break;
        if (!ReadSwitch(token, options)) {
            error = "bad switch \"" + token + "\"";
            return false;
        }
    }
    if (i == tokens.size() || tokens[i].empty()) {
        error = "no archive named";
        return false;
    }
    options.archive = tokens[i++];
    for (; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token.empty())
            continue;
        if (token[0] == '!' && token.size() > 1)
            options.listFiles.push_back(token.substr(1));
        else
            options.names.push_back(token);
    }
    return true;
}

} // namespace jar
