#include "dialogs/extract_switches.h"

#include "engine/jar_commands.h"

#include <cctype>
#include <climits>

#include "engine/path_helpers.h"

long long ChapterNumber(const std::string& text)
{
    long long value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        if (value < 100000000000LL)
            value = value * 10 + (c - '0');
    }
    return value;
}

std::string BuildExtractSwitches(const ExtractSwitchOptions& o)
{
    std::string s = ExtractCommandWord(o.pathOption != PathOption::None);
    if (o.extractChapters && o.chapterFrom != 0) {
        s += " -jb" + std::to_string(o.chapterFrom);
        if (!o.chapterTo.empty()) {
            s += "-";
            if (ChapterNumber(o.chapterTo) != 0)
                s += o.chapterTo;
        }
    } else if (o.currentChapter > 0) {
        s += " -jb" + std::to_string(o.currentChapter);
    }
    // No chapter known (nothing is shown): no " -jb0", which names no chapter; without the
    // switch the archiver extracts the newest one.
    if (o.updateMode == extractopt::Freshen)
        s += " -f";
    else if (o.updateMode == extractopt::Update)
        s += " -u";
    if (o.updateMode != extractopt::UpdateNone) {
        if (o.updateCriterion == extractopt::OlderFiles)
            s += "1";
        else if (o.updateCriterion == extractopt::DateOrSizeChanged)
            s += "2";
    }
    if (o.overwriteWithoutPrompting)
        s += " -y";
    s += " -o\"" + o.directory;
    if (o.directory.size() == 2)
        s += "\\";  // "d:" alone would mean the drive's current folder
    s += "\"";
    s += o.wholeArchiveMode || o.recurse ? " -r" : " -r-";
    return s;
}

ChapterRuleResult ApplyChapterRules(const std::string& fromText, const std::string& toText, bool extractChapters,
                                    bool fromChanged)
{
    ChapterRuleResult r;
    long long from = ChapterNumber(fromText);
    long long to = ChapterNumber(toText);
    std::string effectiveTo = toText;
    if (fromChanged && to != 0 && to < from) {
        r.toReplaced = true;
        effectiveTo = fromText;
        to = from;
    }
    // Partial paths are carried out one chapter at a time.
    r.partialPathAllowed = !(!effectiveTo.empty() && to != from && extractChapters);
    return r;
}

std::string ExtractOkRefusal(const std::string& directory, bool extractChapters, const std::string& fromText,
                             const std::string& toText)
{
    if (directory.empty())
        return "You must select a directory";
    if (extractChapters && !ChapterRangeRefusal(std::string(), toText).empty())
        return kChapterRangeMessage;
    if (extractChapters && !toText.empty()) {
        long long to = ChapterNumber(toText);
        if (to >= 1 && to < ChapterNumber(fromText))
            return "'To' must be greater or equal to 'From'";
    }
    return std::string();
}

std::string ChapterRangeRefusal(const std::string& fromText, const std::string& toText)
{
    if (ChapterNumber(fromText) > INT_MAX || ChapterNumber(toText) > INT_MAX)
        return kChapterRangeMessage;
    return std::string();
}

std::string BrowseStartFolder(const std::string& typed, const std::string& extractLast,
                              const std::function<bool(const std::string&)>& exists)
{
    std::string folder = typed;
    while (!folder.empty() && !exists(folder)) {
        std::string parent;
        if (!ParentPath(folder, parent) || parent == folder)
            folder.clear();
        else
            folder = parent;
    }
    if (!folder.empty())
        return folder;
    return extractLast.empty() ? std::string("c:") : extractLast;
}
