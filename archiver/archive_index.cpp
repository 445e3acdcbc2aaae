#include "archiver/archive_index.h"

#include <algorithm>

namespace jar {

Chapter* ArchiveIndex::FindChapter(uint32_t number)
{
    for (Chapter& c : chapters)
        if (c.number == number)
            return &c;
    return nullptr;
}

Chapter& ArchiveIndex::AddChapter(uint32_t number, int64_t now)
{
    if (Chapter* existing = FindChapter(number))
        return *existing;
    Chapter chapter;
    chapter.number = number;
    chapter.created = chapter.modified = now;
    chapters.push_back(chapter);
    std::sort(chapters.begin(), chapters.end(), [](const Chapter& a, const Chapter& b) { return a.number < b.number; });
    return *FindChapter(number);
}

namespace {
// The byte a path character sorts by: a backslash before every other character, so a folder comes
// right before what it holds, and ASCII letters in lower case (the C locale's tolower), looked up
// rather than called: a million-entry index is sorted on every change.
struct SortKeys {
    unsigned char key[256];
    constexpr SortKeys() : key()
    {
        for (int c = 0; c < 256; ++c)
            key[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        key[static_cast<unsigned char>('\\')] = 1;
    }
};
constexpr SortKeys Keys;

inline unsigned char SortKey(char c)
{
    return Keys.key[static_cast<unsigned char>(c)];
}
} // namespace

int PathCompare(const std::string& a, const std::string& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = SortKey(a[i]), y = SortKey(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool PathLess(const std::string& a, const std::string& b)
{
    return PathCompare(a, b) < 0;
}

bool PathEqual(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (SortKey(a[i]) != SortKey(b[i]))
            return false;
    return true;
}

std::string MethodName(const DataBlock* block)
{
    if (!block || block->method == Method::Stored)
        return "Stored";
    static const char* names[] = {"Stored", "Fast", "Normal", "Better", "Best"};
    return names[block->level <= 4 ? block->level : 0];
}

std::string AttributeText(uint32_t attributes)
{
    std::string text = ".....";
    if (attributes & kAttrReadOnly)
        text[0] = 'R';
    if (attributes & kAttrHidden)
        text[1] = 'H';
    if (attributes & kAttrSystem)
        text[2] = 'S';
    if (attributes & kAttrArchive)
        text[3] = 'A';
    if (attributes & kAttrDirectory)
        text[4] = 'D';
    return text;
}

} // namespace jar
