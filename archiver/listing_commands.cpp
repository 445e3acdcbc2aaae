// lc and v: read only the index, and print the listing in large blocks.
#include <algorithm>
#include <cstring>

#include "archiver/commands.h"
#include "archiver/console_output.h"
#include "archiver/index_codec.h"

namespace jar {
namespace {

// A comment is the user's free text, but the listing's reader tells lines apart by their first
// and third words ("3 fixes" would start a chapter, "Current chapter 9" would end the archive's
// comment). Behind this prefix of three fixed words a comment line is never anything else.
constexpr char kCommentPrefix[] = "  | comment | ";

void AppendCommentLines(std::string& out, const std::string& comment)
{
    size_t start = 0;
    while (start < comment.size()) {
        size_t end = comment.find('\n', start);
        if (end == std::string::npos)
            end = comment.size();
        std::string line = comment.substr(start, end - start);
        // The one text the reader looks for anywhere in a line.
        for (size_t at = line.find("Total chapters listed:"); at != std::string::npos;
             at = line.find("Total chapters listed:", at))
            line.insert(at + 21, 1, ' ');
        out += kCommentPrefix;
        out += line;
        out += LineEnd();
        start = end + 1;
    }
}

void Pad(std::string& out, const std::string& text, size_t width, bool right)
{
    if (right && text.size() < width)
        out.append(width - text.size(), ' ');
    out += text;
    if (!right && text.size() < width)
        out.append(width - text.size(), ' ');
}

void ArchiveLine(std::string& out, const std::string& archive, const ArchiveIndex& index)
{
    out += "Archive " + archive + "  created " + FormatStamp(index.created) + ", modified " +
           FormatStamp(index.modified) + LineEnd();
}

} // namespace

int ListChapters(const Options& options)
{
    ArchiveSource source;
    ArchiveIndex index;
    if (!OpenArchive(options.archive, source, index, IndexPart::Chapters))
        return 1;
    std::string out;
    ArchiveLine(out, options.archive, index);
    AppendCommentLines(out, index.comment);
    uint32_t last = index.LastChapter();
    out += "Current chapter: " + (last ? std::to_string(last) : std::string("none")) + LineEnd();
    out += LineEnd();
    out += std::string("Chapter  Created              Modified") + LineEnd();
    out += std::string("-------  -------------------  -------------------") + LineEnd();
    for (const Chapter& c : index.chapters) {
        Pad(out, std::to_string(c.number), 7, true);
        out += "  " + FormatStamp(c.created) + "  " + FormatStamp(c.modified) + LineEnd();
        AppendCommentLines(out, c.comment);
    }
    out += "Total chapters listed: " + std::to_string(index.chapters.size()) + LineEnd();
    Console::Text(out);
    return 0;
}

int ListChapter(const Options& options)
{
    ArchiveSource source;
    ArchiveIndex index;
    if (!OpenArchive(options.archive, source, index))
        return 1;
    // One chapter (its versions of the files), or a range: every version that belongs to at least
    // one chapter of it, each once, its "Chapters" cell saying which chapters hold it.
    uint32_t chapter = options.chaptersGiven ? options.chapterFirst : index.LastChapter();
    uint32_t upTo = !options.chaptersGiven        ? chapter
                    : options.chapterLast == 0 ? std::max(index.LastChapter(), chapter)
                                               : options.chapterLast;
    bool range = upTo != chapter;
    if (options.chaptersGiven && !range && !index.FindChapter(chapter)) {
        Console::Error("no chapter " + std::to_string(chapter) + " in " + options.archive);
        return 1;
    }
    if (range && std::none_of(index.chapters.begin(), index.chapters.end(), [&](const Chapter& c) {
            return c.number >= chapter && c.number <= upTo;
        })) {
        Console::Error("no chapter from " + std::to_string(chapter) + " to " + std::to_string(upTo) + " in " +
                       options.archive);
        return 1;
    }
    std::string out;
    out.reserve(4096 + index.entries.size() * 200);
    ArchiveLine(out, options.archive, index);
    if (range)
        out += "Analyzing chapters " + std::to_string(chapter) + "-" + std::to_string(upTo) + LineEnd();
    else
        out += "Analyzing chapter " + std::to_string(chapter) + LineEnd();
    out += LineEnd();
    out += std::string("Name") + LineEnd();
    out += std::string("        Size Attr          Packed Method Chapters Modified            Created") + LineEnd();
    out += std::string("Block") + LineEnd();
    out += std::string("------------ ----- ------------ ------ -------- ------------------- -------------------") + LineEnd();
    uint64_t files = 0, bytes = 0, number = 0;
    // Stamps repeat a lot (files written together); formatting one costs a time-zone lookup.
    int64_t lastStamp[2] = {-1, -1};
    std::string lastText[2];
    auto stamp = [&](int slot, int64_t value) -> const std::string& {
        if (value / 10000000 != lastStamp[slot]) {
            lastStamp[slot] = value / 10000000;
            lastText[slot] = FormatStamp(value);
        }
        return lastText[slot];
    };
    char line[96];
    for (const StoredEntry& e : index.entries) {
        if (range ? !e.chapters.Intersects(chapter, upTo) : !e.chapters.Contains(chapter))
            continue;
        const DataBlock* block = e.block >= 0 ? &index.blocks[size_t(e.block)] : nullptr;
        out += std::to_string(++number);
        out += ") ";
        // Control characters would reach the console, and a NUL would cut the name in the reader.
        if (std::any_of(e.path.begin(), e.path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
            out += PrintableName(e.path.substr(1));
        else
            out.append(e.path, 1, std::string::npos);
        out += LineEnd();
        std::snprintf(line, sizeof line, "%12llu %s %12llu ", static_cast<unsigned long long>(e.size),
                      AttributeText(e.attributes).c_str(),
                      static_cast<unsigned long long>(block ? block->packedSize : 0));
        out += line;
        Pad(out, MethodName(block), 6, false);
        out += ' ';
        Pad(out, e.chapters.Text(), 8, false);
        out += ' ';
        out += stamp(0, e.modified);
        out += ' ';
        out += stamp(1, e.created);
        out += LineEnd();
        if (block)
            std::snprintf(line, sizeof line, "%12lld CRC-32 %08X", static_cast<long long>(e.block + 1), block->crc);
        else
            std::snprintf(line, sizeof line, "%12s", "-");
        out += line;
        out += LineEnd();
        if (!e.IsDirectory()) {
            ++files;
            bytes += e.size;
        }
        if (out.size() > (4u << 20)) {
            Console::Text(out);
            out.clear();
        }
    }
    uint64_t packed = 0, original = 0;
    for (const DataBlock& b : index.blocks) {
        packed += b.packedSize;
        original += b.size;
    }
    out += std::string("------------") + LineEnd();
    out += "Total files listed: " + std::to_string(files) + LineEnd();
    out += "Total bytes in files listed: " + std::to_string(bytes) + LineEnd();
    out += "Whole archived data ratio: " + GroupDigits(packed) + " / " + GroupDigits(original) + " bytes" + LineEnd();
    Console::Text(out);
    return 0;
}

} // namespace jar
