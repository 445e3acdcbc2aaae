// The archiver's pieces without a process: its own command-line splitting, chapter sets, the
// index bytes, name matching and the path checks that keep extraction inside its folder.
#include <gtest/gtest.h>

#include "archiver/archive_source.h"
#include "archiver/index_codec.h"
#include "archiver/command_line.h"
#include "archiver/commands.h"
#include "packed_index.h"

using namespace jar;

namespace {
Options Parse(const std::string& raw, bool expectOk = true)
{
    Options options;
    std::string error;
    EXPECT_EQ(ParseCommandLine(SplitCommandLine(raw), options, error), expectOk) << raw << ": " << error;
    return options;
}
} // namespace

TEST(ArchiverCommandLine, QuotesGroupAndVanishBackslashesStayOrdinary)
{
    EXPECT_EQ(SplitCommandLine(" x -jb3 -y -o\"d:\\\" -r-"),
              (std::vector<std::string>{"x", "-jb3", "-y", "-od:\\", "-r-"}));
    EXPECT_EQ(SplitCommandLine("a \"C:\\My Files\\a.j\" !\"C:\\Program Files\\T\\~TorvexAdd\""),
              (std::vector<std::string>{"a", "C:\\My Files\\a.j", "!C:\\Program Files\\T\\~TorvexAdd"}));
    // A quote inside a token only groups; blanks inside it stay.
    EXPECT_EQ(SplitCommandLine("a -v1457000vs\"format a:\" x.j"),
              (std::vector<std::string>{"a", "-v1457000vsformat a:", "x.j"}));
    EXPECT_EQ(SplitCommandLine("  \t "), std::vector<std::string>{});
}

TEST(ArchiverCommandLine, TorvexCommandLinesParse)
{
    Options view = Parse(" x -jb3 -y -r- -o\"C:\\Temp\\TTmp12\" \"C:\\a b\\x.j\" \"\\dir\\f.txt\"");
    EXPECT_EQ(view.command, Command::Extract);
    EXPECT_TRUE(view.chaptersGiven);
    EXPECT_EQ(view.chapterFirst, 3u);
    EXPECT_EQ(view.chapterLast, 3u);
    EXPECT_TRUE(view.yesToAll);
    EXPECT_FALSE(view.recurse);
    EXPECT_EQ(view.outputFolder, "C:\\Temp\\TTmp12");
    EXPECT_EQ(view.archive, "C:\\a b\\x.j");
    EXPECT_EQ(view.names, std::vector<std::string>{"\\dir\\f.txt"});

    Options add = Parse(" ac -y -r- -w\"d:\\\" -m1 -jf- -vav -o\"\\\" -zNUL -hz\"C:\\T\\ChapterComment.txt\" \"a.j\" !\"l\"");
    EXPECT_EQ(add.command, Command::AddChapter);
    EXPECT_EQ(add.workFolder, "d:\\");
    EXPECT_EQ(add.level, 1);
    EXPECT_FALSE(add.keepPaths);
    EXPECT_TRUE(add.volumes);
    EXPECT_EQ(add.volumeSize, 0u);
    EXPECT_TRUE(add.removable);
    EXPECT_EQ(add.outputFolder, "\\");
    EXPECT_EQ(add.archiveComment, "NUL");
    EXPECT_EQ(add.chapterComment, "C:\\T\\ChapterComment.txt");
    EXPECT_EQ(add.listFiles, std::vector<std::string>{"l"});

    Options wipe = Parse(" a -v1457000vs\"deltree /y a:\\*\" a.j");
    EXPECT_EQ(wipe.volumeSize, 1457000u);
    EXPECT_EQ(wipe.volumeCommand, "deltree /y a:\\*");
    EXPECT_EQ(Parse("a -z a.j").archiveComment, "*");

    Options open = Parse(" x -jb2- -u2 a.j *");
    EXPECT_EQ(open.chapterFirst, 2u);
    EXPECT_EQ(open.chapterLast, 0u);
    EXPECT_EQ(open.rule, DateRule::DateOrSize);
    EXPECT_FALSE(open.freshenOnly);
    EXPECT_EQ(Parse(" e -jb2-5 -f1 a.j").rule, DateRule::Older);
    EXPECT_TRUE(Parse(" e -jb2-5 -f a.j").freshenOnly);

    Options chapters = Parse(" dc \"a.j\" 2 3");
    EXPECT_EQ(chapters.names, (std::vector<std::string>{"2", "3"}));
}

TEST(ArchiverCommandLine, BadLinesAreRefused)
{
    Parse("q a.j", false);
    Parse("x -jb5-2 a.j", false);
    Parse("x -jb0 a.j", false);
    Parse("x -m9 a.j", false);
    Parse("x -y", false);
    Parse("a -v12 a.j", false);
}

TEST(ArchiverChapterSet, RangesMergeSplitAndPick)
{
    ChapterSet set;
    for (uint32_t c : {1u, 2u, 3u, 5u})
        set.Add(c);
    EXPECT_EQ(set.Ranges().size(), 2u);
    EXPECT_EQ(set.Text(), "1-5");
    set.Remove(2);
    EXPECT_TRUE(set.Contains(1));
    EXPECT_FALSE(set.Contains(2));
    EXPECT_TRUE(set.Contains(3));
    EXPECT_EQ(set.HighestWithin(2, 4), 3u);
    EXPECT_EQ(set.HighestWithin(6, 9), 0u);
    set.Add(4);
    EXPECT_EQ(set.Ranges().size(), 2u); // 1, 3-5
    for (uint32_t c : {1u, 3u, 4u, 5u})
        set.Remove(c);
    EXPECT_TRUE(set.Empty());
    set.Add(7);
    EXPECT_EQ(set.Text(), "7");
}

TEST(ArchiverIndex, RoundTripsAndRefusesTruncation)
{
    ArchiveIndex index;
    index.comment = "line one\nline two";
    index.created = NowStamp();
    index.AddChapter(1, 5).comment = "first";
    index.AddChapter(3, 7);
    index.blocks.push_back({24, 10, 30, 0xDEADBEEF, Method::Deflate, 4});
    StoredEntry entry;
    entry.path = "\\dir\\caf\xC3\xA9.txt";
    entry.size = 30;
    entry.block = 0;
    entry.modified = -1;
    entry.chapters.Add(1);
    entry.chapters.Add(3);
    index.entries.push_back(entry);

    std::string bytes = SerializeIndex(index);
    ArchiveIndex back;
    ASSERT_TRUE(DeserializeIndex(bytes, back));
    EXPECT_EQ(back.comment, index.comment);
    ASSERT_EQ(back.chapters.size(), 2u);
    EXPECT_EQ(back.chapters[1].number, 3u);
    EXPECT_EQ(back.LastChapter(), 3u);
    EXPECT_EQ(back.blocks[0].crc, 0xDEADBEEF);
    EXPECT_EQ(back.entries[0].path, entry.path);
    EXPECT_EQ(back.entries[0].modified, -1);
    EXPECT_EQ(back.entries[0].chapters.Text(), "1-3");
    EXPECT_FALSE(back.entries[0].chapters.Contains(2));

    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        ArchiveIndex partial;
        EXPECT_FALSE(DeserializeIndex(bytes.substr(0, cut), partial)) << cut;
    }
}

// lc reads the index through a window of a few hundred kilobytes; texts and numbers that
// straddle its refills, and damage found only at the very end, must read as the whole does.
TEST(ArchiverIndex, ChaptersReadPiecewiseMatchTheWholeIndex)
{
    ArchiveIndex index;
    index.comment = std::string(300000, 'c');
    index.AddChapter(2, 5).comment = std::string(700001, 'x') + "\nlast line";
    index.AddChapter(9, 6).comment = "ninth";
    index.blocks.push_back({24, 10, 30, 0x1234, Method::Deflate, 1});
    for (int i = 0; i < 60000; ++i) {
        StoredEntry e;
        e.path = "\\folder" + std::to_string(i % 97) + "\\" + std::string(size_t(i % 40), 'n') + std::to_string(i);
        e.modified = e.created = int64_t(i) * 10000000;
        e.block = i % 3 == 0 ? 0 : -1;
        e.chapters.Add(i % 2 ? 2 : 9);
        index.entries.push_back(e);
    }
    // Paths right at the limits are read.
    index.entries[0].path.clear();
    for (size_t level = 0; level < kMaxPathLevels; ++level)
        index.entries[0].path += "\\d";
    index.entries[1].path = "\\" + std::string(kMaxPathBytes - 1, 'n');
    auto check = [](const std::string& plain, ArchiveIndex& out, size_t* reads = nullptr) {
        std::string packed = packedindex::Pack(plain);
        PackedBytesReader fromMemory = packedindex::ReaderOver(packed);
        size_t count = 0;
        PackedBytesReader read = [&](uint64_t at, void* buffer, size_t n) {
            ++count;
            return fromMemory(at, buffer, n);
        };
        bool ok = CheckIndexKeepingChapters(read, packedindex::TrailerFor(1000, packed, plain), out);
        if (reads)
            *reads = count;
        return ok;
    };

    std::string plain = SerializeIndex(index);
    ArchiveIndex chapters;
    size_t reads = 0;
    ASSERT_TRUE(check(plain, chapters, &reads));
    EXPECT_GT(reads, 1u) << "read a piece at a time";
    EXPECT_EQ(chapters.comment, index.comment);
    ASSERT_EQ(chapters.chapters.size(), 2u);
    EXPECT_EQ(chapters.chapters[0].comment, index.chapters[0].comment);
    EXPECT_EQ(chapters.chapters[1].number, 9u);
    EXPECT_TRUE(chapters.entries.empty() && chapters.blocks.empty()) << "no files kept";

    // Damage in the last entry, a line break in a name, a path too deep or too long (one level
    // and one byte past the limits), a block outside the data, a size that does not match, bytes
    // left over: each refused.
    std::string damaged = plain;
    damaged[damaged.size() - 3] ^= 0x40;
    std::vector<std::string> bad{damaged, plain.substr(0, plain.size() - 1), plain + '\0'};
    std::string deep;
    for (size_t level = 0; level <= kMaxPathLevels; ++level)
        deep += "\\d";
    for (const std::string& path : {std::string("\\a\nb"), deep, "\\" + std::string(kMaxPathBytes, 'n')}) {
        ArchiveIndex broken = index;
        broken.entries.back().path = path;
        bad.push_back(SerializeIndex(broken));
    }
    ArchiveIndex broken = index;
    broken.blocks[0].offset = 995;
    bad.push_back(SerializeIndex(broken));
    for (const std::string& bytes : bad) {
        ArchiveIndex refused;
        EXPECT_FALSE(DeserializeIndex(bytes, refused, nullptr, 1000));
        EXPECT_FALSE(check(bytes, refused)) << bytes.size();
    }
}

TEST(ArchiverNames, MatchingAndOrder)
{
    NameMatcher exact({"\\dir\\a.txt", "b.txt"}, false);
    EXPECT_TRUE(exact.Matches("\\dir\\a.txt"));
    EXPECT_TRUE(exact.Matches("\\DIR\\A.TXT"));
    EXPECT_TRUE(exact.Matches("\\b.txt"));
    EXPECT_FALSE(exact.Matches("\\dir\\a.txt\\x"));

    NameMatcher folder({"\\dir"}, false), tree({"\\dir"}, true);
    EXPECT_TRUE(folder.Matches("\\dir"));
    EXPECT_FALSE(folder.Matches("\\dir\\x"));
    EXPECT_TRUE(tree.Matches("\\dir\\sub\\x"));
    EXPECT_FALSE(tree.Matches("\\dirt"));

    NameMatcher flat({"\\src\\*.c"}, false), deep({"\\src\\*.c"}, true);
    EXPECT_TRUE(flat.Matches("\\src\\main.c"));
    EXPECT_FALSE(flat.Matches("\\src\\lib\\util.c"));
    EXPECT_TRUE(deep.Matches("\\src\\lib\\util.c"));
    EXPECT_FALSE(deep.Matches("\\srcx\\util.c"));
    EXPECT_TRUE(NameMatcher({"*"}, false).Matches("\\a\\b\\c"));

    // A folder sorts right before what it holds, whatever characters follow in other names.
    EXPECT_TRUE(PathLess("\\a", "\\a\\b"));
    EXPECT_TRUE(PathLess("\\a\\z", "\\a b"));
    EXPECT_TRUE(PathLess("\\a\\z", "\\a-b"));
}

TEST(ArchiverNames, ExtractionPathsStayInside)
{
    std::vector<std::string> parts;
    EXPECT_TRUE(SafeComponents("\\dir\\a.txt", parts));
    EXPECT_EQ(parts, (std::vector<std::string>{"dir", "a.txt"}));
    for (const char* bad : {"\\..\\evil", "\\a\\..\\..\\evil", "\\C:\\evil", "\\\\server\\share", "\\a/../../x", "",
                            "\\a\\.", "\\...", "\\a\\ . ", "\\a\\b\x01"})
        EXPECT_FALSE(SafeComponents(bad, parts)) << bad;
}

TEST(ArchiverText, GroupsAndAttributes)
{
    EXPECT_EQ(GroupDigits(0), "0");
    EXPECT_EQ(GroupDigits(999), "999");
    EXPECT_EQ(GroupDigits(1234), "1,234");
    EXPECT_EQ(GroupDigits(1234567), "1,234,567");
    EXPECT_EQ(AttributeText(kAttrDirectory), "....D");
    EXPECT_EQ(AttributeText(kAttrReadOnly | kAttrArchive), "R..A.");
    EXPECT_TRUE(WildcardMatch("*.T?T", "a.txt"));
    EXPECT_FALSE(WildcardMatch("*.txt", "a.txt2"));
}
