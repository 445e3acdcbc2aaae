// Damaged and hostile archives, and runs that must change nothing: jar32 refuses with one ERROR
// line and a failure code, loses nothing and writes nothing it should not.
#include <algorithm>
#include <cstring>
#include <map>

#include "archiver/archive_source.h"
#include "archiver/archive_writer.h"
#include "archiver/index_codec.h"
#include "engine/listing_parser.h"
#include "jar_test_support.h"
#include "packed_index.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {
bool Refused(const JarRun& run) { return run.err.rfind("ERROR", 0) == 0 && run.exitCode != 0; }

void Put64(std::string& bytes, size_t at, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        bytes[at + size_t(i)] = char(v >> (8 * i));
}

int ChapterCount(const ArchiveCatalogue& c)
{
    return int(std::count_if(c.Chapters.begin(), c.Chapters.end(), [](const auto& chapter) { return chapter != nullptr; }));
}

// Names of the files a folder holds that end in '~' (temporary files left behind).
std::vector<std::string> Leftovers(const std::string& folder)
{
    std::vector<std::string> names, left;
    jar::ListDirectory(folder, names);
    for (const std::string& name : names)
        if (!name.empty() && name.back() == '~')
            left.push_back(name);
    return left;
}
} // namespace

class HostileArchiveTest : public JarTest {
protected:
    // An archive of our format holding exactly these paths and contents in chapter 1, in this
    // order, written directly (as a hostile tool could).
    void Craft(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files,
               const std::string& comment = "")
    {
        jar::ArchiveIndex index;
        index.comment = comment;
        index.AddChapter(1, jar::NowStamp());
        jar::ArchiveWriter writer;
        ASSERT_TRUE(writer.Begin(path, "")) << writer.Error();
        for (const auto& [name, data] : files) {
            jar::StoredEntry entry;
            entry.path = name;
            entry.size = data.size();
            entry.modified = entry.created = jar::NowStamp();
            entry.chapters.Add(1);
            if (!data.empty()) {
                jar::DataBlock block;
                block.offset = writer.Position();
                block.size = block.packedSize = data.size();
                block.crc = jar::Crc32(0, data.data(), data.size());
                ASSERT_TRUE(writer.Append(data.data(), data.size()));
                entry.block = int64_t(index.blocks.size());
                index.blocks.push_back(block);
            }
            index.entries.push_back(entry);
        }
        ASSERT_TRUE(writer.Finish(index, jar::Options())) << writer.Error();
    }
};

// A flipped size in the trailer is refused before anything is allocated for it, and whatever
// runs out (memory included) still ends in one ERROR line and a failure code.
TEST_F(HostileArchiveTest, IndexSizesCannotExhaustMemory)
{
    Write("a.txt", "some text to store");
    ASSERT_EQ(RunJar(" a -y -jf- " + Q(archive) + " " + Q(P("a.txt"))).exitCode, 0);
    std::string good = ReadRaw(archive);
    size_t trailer = good.size() - jar::kTrailerSize;
    for (uint64_t plain : {uint64_t(4) << 30, uint64_t(1) << 34, ~uint64_t(0)}) {
        std::string bad = good;
        Put64(bad, trailer + 24, plain);
        Write("huge.j", bad);
        JarRun run = RunJar(" lc " + Q(P("huge.j")));
        EXPECT_TRUE(Refused(run)) << plain << ": " << run.err;
        EXPECT_NE(run.err.find("damaged"), std::string::npos) << run.err;
    }
#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
    // Under a memory limit the old reader died of an uncaught bad_alloc. An index that really
    // inflates to 48 MB (zeros pack about 1,000 to 1) passes the size check and then runs out.
    std::string bad = good;
    Put64(bad, trailer + 24, uint64_t(4) << 30);
    Write("huge.j", bad);
    JarRun limited = RunJar(" lc " + Q(P("huge.j")), WithMemoryLimit(256L << 20));
    EXPECT_TRUE(Refused(limited)) << limited.err;

    std::string zeros(48u << 20, '\0');
    std::string packed = packedindex::Pack(zeros, 9);
    ASSERT_FALSE(packed.empty());
    std::string bomb = packedindex::FirstVersionOf(good.substr(0, jar::kHeaderSize)) +
                       packedindex::IndexAndTrailer(packed, packedindex::TrailerFor(jar::kHeaderSize, packed, zeros));
    Write("bomb.j", bomb);
    JarRun outOfMemory = RunJar(" v " + Q(P("bomb.j")), WithMemoryLimit(40L << 20));
    EXPECT_TRUE(Refused(outOfMemory)) << outOfMemory.err;
    EXPECT_TRUE(Refused(RunJar(" v " + Q(P("bomb.j"))))) << "zeros are no index";
#endif
}

TEST_F(HostileArchiveTest, TrailerVersionIsCheckedLikeTheHeaders)
{
    Write("a.txt", "a");
    ASSERT_EQ(RunJar(" a -y -jf- " + Q(archive) + " " + Q(P("a.txt"))).exitCode, 0);
    std::string bytes = ReadRaw(archive);
    bytes[bytes.size() - jar::kTrailerSize + 4] = 3;
    Write("newer.j", bytes);
    JarRun run = RunJar(" lc " + Q(P("newer.j")));
    EXPECT_TRUE(Refused(run));
    EXPECT_NE(run.err.find("newer version"), std::string::npos) << run.err;
    bytes[bytes.size() - jar::kTrailerSize + 4] = 0;
    Write("zero.j", bytes);
    EXPECT_TRUE(Refused(RunJar(" t " + Q(P("zero.j")))));
}

// Comments are free text; none of them can pass for a line the listing's reader acts on.
TEST_F(HostileArchiveTest, CommentsNeverReadAsListingLines)
{
    const std::vector<std::string> tricky = {
        "3 fixes: see notes", "Current chapter 9", "Analyzing chapter 4", "so at 12:30:00 it broke",
        "one two three four five six 10:00:00 eight nine", "7 2026-01-01 10:00:00 2026-01-01 10:00:00",
        "ERROR budget raised", "WARNING: none", "Total chapters listed: 12", "1) \\Windows\\payload.exe",
        "Total files listed: 5", "42"};
    std::string text;
    for (const std::string& line : tricky)
        text += line + "\r\n";
    Write("comment.txt", text);
    Write("a.txt", "a");
    Write("b.txt", "b");
    ASSERT_EQ(RunJar(" a -y -jf- -z" + Q(P("comment.txt")) + " -hz" + Q(P("comment.txt")) + " " + Q(archive) + " " +
                     Q(P("a.txt"))).exitCode, 0);
    ASSERT_EQ(RunJar(" ac -y -jf- -hz" + Q(P("comment.txt")) + " " + Q(archive) + " " + Q(P("b.txt"))).exitCode, 0);
    ArchiveCatalogue c = List(archive);
    EXPECT_EQ(c.LastChapter, 2);
    EXPECT_EQ(ChapterCount(c), 2);
    ASSERT_EQ(c.ArchiveComment.size(), tricky.size());
    ASSERT_NE(c.Chapter(1), nullptr);
    ASSERT_EQ(c.Chapter(1)->ChapterComment.size(), tricky.size());
    ASSERT_NE(c.Chapter(2), nullptr);
    EXPECT_EQ(c.Chapter(2)->ChapterComment.size(), tricky.size());
    for (size_t i = 0; i < tricky.size(); ++i)
        EXPECT_EQ(c.ArchiveComment[i].substr(0, 14), "  | comment | ") << c.ArchiveComment[i];
    EXPECT_EQ(c.ArchiveComment[0], "  | comment | 3 fixes: see notes");
    std::vector<std::string> paths;
    for (const ArchiveEntry* e : Entries(c, 2))
        paths.push_back(e->Path);
    EXPECT_EQ(paths, std::vector<std::string>{"\\b.txt"}) << "no entry comes from a comment";
}

// A name with a line break would let an archive show entries it does not hold.
TEST_F(HostileArchiveTest, NamesWithLineBreaksAreRefusedByEveryCommand)
{
    for (const char* name : {"\\a\n3) \\Windows\\System32\\payload.exe", "\\b\rc"}) {
        std::string crafted = P("crafted.j");
        jar::RemoveFile(crafted);
        Craft(crafted, {{"\\ok.txt", "fine"}, {name, "data"}});
        std::string before = ReadRaw(crafted);
        Write("x.txt", "x");
        for (std::string command : std::vector<std::string>{"lc", "v", "t", "x -y -o" + Q(P("out")), "e -y -o" + Q(P("out")), "a -y",
                                    "ac -y", "u -y", "f -y", "d -y", "da -y", "dc -y"}) {
            std::string tail = command == "dc -y" ? " 1" : (command[0] == 'a' || command[0] == 'u' || command[0] == 'f')
                                                               ? " " + Q(P("x.txt")) : " *";
            if (command == "lc" || command == "v" || command == "t")
                tail.clear();
            JarRun run = RunJar(" " + command + " " + Q(crafted) + tail);
            EXPECT_TRUE(Refused(run)) << command << ": " << run.err;
            EXPECT_NE(run.err.find("line break"), std::string::npos) << command << ": " << run.err;
            EXPECT_NE(run.err.find(name[1] == 'a' ? "\\a<LF>3) " : "\\b<CR>c"), std::string::npos) << run.err;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one line: " << run.err;
        }
        EXPECT_EQ(ReadRaw(crafted), before);
        EXPECT_FALSE(Exists("out/ok.txt"));
    }
#ifndef _WIN32
    // Such a name on disk is never stored.
    Write("odd\nname.txt", "x");
    JarRun add = RunJar(" a -y -jf- " + Q(P("new.j")) + " " + Q(P("odd\nname.txt")));
    EXPECT_TRUE(Refused(add)) << add.err;
    EXPECT_NE(add.err.find("odd<LF>name.txt"), std::string::npos) << add.err;
    EXPECT_EQ(std::count(add.err.begin(), add.err.end(), '\n'), 1) << "one line: " << add.err;
    EXPECT_FALSE(Exists("new.j"));
#endif
}

// Every stored path starts with a backslash; anything else is damage, not a crash.
TEST_F(HostileArchiveTest, PathsWithoutLeadingBackslashAreDamage)
{
    for (const char* name : {"", "\\", "relative.txt", "C:\\x.txt"}) {
        std::string crafted = P("crafted.j");
        jar::RemoveFile(crafted);
        Craft(crafted, {{name, "data"}});
        for (const char* command : {" v ", " lc ", " t "}) {
            JarRun run = RunJar(command + Q(crafted));
            EXPECT_TRUE(Refused(run)) << '"' << name << '"' << command << run.err;
        }
    }
}

// Extraction writes into a new file of its own beside the target and never touches another.
TEST_F(HostileArchiveTest, ExtractionTemporaryFilesCannotCollide)
{
    std::string crafted = P("both.j");
    Craft(crafted, {{"\\x.tmp~", "the file named x.tmp~"}, {"\\x", "the file named x"}, {"\\x.jar~", "and x.jar~"}});
    JarRun both = RunJar(" x -y -o" + Q(P("out")) + " " + Q(crafted));
    EXPECT_EQ(both.exitCode, 0) << both.err;
    EXPECT_EQ(Read("out/x.tmp~"), "the file named x.tmp~");
    EXPECT_EQ(Read("out/x"), "the file named x");
    EXPECT_EQ(Read("out/x.jar~"), "and x.jar~");
    EXPECT_NE(both.out.find("3 files extracted"), std::string::npos) << both.out;

    // The user's own files of those names stay as they are when x is extracted.
    Write("mine/x.tmp~", "mine");
    Write("mine/x.jar~", "mine too");
    ASSERT_EQ(RunJar(" x -y -o" + Q(P("mine")) + " " + Q(crafted) + " \\x").exitCode, 0);
    EXPECT_EQ(Read("mine/x"), "the file named x");
    EXPECT_EQ(Read("mine/x.tmp~"), "mine");
    EXPECT_EQ(Read("mine/x.jar~"), "mine too");
    EXPECT_EQ(Leftovers(P("mine")).size(), 2u);
#ifndef _WIN32
    // Links of those names lead nowhere: the file they point to keeps its bytes.
    Write("victim.txt", "precious");
    for (const char* link : {"links/x.tmp~", "links/x.jar~", "links/x.1.jar~"}) {
        jar::CreateDirectories(P("links"));
        ASSERT_EQ(::symlink(P("victim.txt").c_str(), P(link).c_str()), 0);
    }
    ASSERT_EQ(RunJar(" x -y -o" + Q(P("links")) + " " + Q(crafted) + " \\x").exitCode, 0);
    EXPECT_EQ(Read("victim.txt"), "precious");
    EXPECT_EQ(Read("links/x"), "the file named x");
#endif
    // A failed entry leaves no temporary file.
    std::string bytes = ReadRaw(crafted);
    size_t at = bytes.find("the file named x");
    bytes[at + 3] ^= 0x20;
    Write("bad.j", bytes);
    JarRun bad = RunJar(" x -y -o" + Q(P("badout")) + " " + Q(P("bad.j")));
    EXPECT_NE(bad.err.find("ERROR"), std::string::npos);
    EXPECT_TRUE(Leftovers(P("badout")).empty() || Leftovers(P("badout")) == std::vector<std::string>{"x.jar~"});
}

// A run that stores nothing leaves the archive as it was, or makes none.
TEST_F(HostileArchiveTest, AddingOnlyMissingNamesChangesNothing)
{
    JarRun none = RunJar(" a -y -jf- " + Q(archive) + " " + Q(P("missing.txt")));
    EXPECT_TRUE(Refused(none)) << none.err;
    EXPECT_FALSE(Exists("t.j")) << "no empty archive";
    Write("a.txt", "a");
    ASSERT_EQ(RunJar(" a -y -jf- " + Q(archive) + " " + Q(P("a.txt"))).exitCode, 0);
    std::string before = ReadRaw(archive);
    for (const char* command : {" ac -y ", " a -y ", " u -y ", " f -y "}) {
        JarRun run = RunJar(command + Q(archive) + " " + Q(P("missing.txt")));
        EXPECT_TRUE(Refused(run)) << command << run.err;
        EXPECT_EQ(ReadRaw(archive), before) << command;
    }
    EXPECT_EQ(ChapterCount(List(archive)), 1) << "no empty chapter";
    EXPECT_TRUE(Leftovers(root).empty());
}

// A killed write leaves <archive>.tmp~; the next command on that archive removes it, and only
// a file that is an unfinished archive of ours.
TEST_F(HostileArchiveTest, StaleTemporaryArchiveIsRemovedByTheNextRun)
{
    Write("a.txt", "a");
    ASSERT_EQ(RunJar(" a -y -jf- " + Q(archive) + " " + Q(P("a.txt"))).exitCode, 0);
    std::string unfinished = ReadRaw(archive).substr(0, jar::kHeaderSize) + std::string(5000, 'z');
    Write("t.j.tmp~", unfinished);
    JarRun list = RunJar(" lc " + Q(archive));
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_FALSE(Exists("t.j.tmp~"));
    EXPECT_EQ(List(archive).LastChapter, 1);

    // In the work folder too.
    Write("work/t.j.tmp~", unfinished);
    EXPECT_EQ(RunJar(" t -w" + Q(P("work")) + " " + Q(archive)).exitCode, 0);
    EXPECT_FALSE(Exists("work/t.j.tmp~"));

    // A file of that name that is not ours is left alone, and no write goes over it.
    Write("t.j.tmp~", "a user's own notes");
    EXPECT_EQ(RunJar(" lc " + Q(archive)).exitCode, 0);
    EXPECT_EQ(Read("t.j.tmp~"), "a user's own notes");
    std::string before = ReadRaw(archive);
    Write("b.txt", "b");
    EXPECT_TRUE(Refused(RunJar(" a -y -jf- " + Q(archive) + " " + Q(P("b.txt")))));
    EXPECT_EQ(Read("t.j.tmp~"), "a user's own notes");
    EXPECT_EQ(ReadRaw(archive), before);
}

TEST_F(HostileArchiveTest, EmptyListFileExtractsNothing)
{
    Write("a.txt", "a");
    ASSERT_EQ(RunJar(" a -y -jf- " + Q(archive) + " " + Q(P("a.txt"))).exitCode, 0);
    std::string list = WriteList("empty.lst", {});
    JarRun run = RunJar(" x -y -o" + Q(P("out")) + " " + Q(archive) + " !" + Q(list));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(Exists("out/a.txt"));
    JarRun flat = RunJar(" e -y -o" + Q(P("out")) + " " + Q(archive) + " !" + Q(list));
    EXPECT_FALSE(Exists("out/a.txt"));
    JarRun all = RunJar(" x -y -o" + Q(P("out")) + " " + Q(archive));
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(Read("out/a.txt"), "a") << "without a list every file: " << all.out;
}

// Names a disk holds that an archive cannot keep as they are: the first of a case pair, each
// refused name and each link back up the walk (told by the folders' identities) gets a WARNING
// and the warning exit; nothing is moved to another level or dropped without a word. Names that
// end in a dot or blank are read as themselves (Windows would open "dup" for each), and the
// archive itself, met under another name, is never stored into itself.
TEST_F(HostileArchiveTest, NamesThatCannotBeKeptAreNamedNeverDropped)
{
    Write("src/ok.txt", "ok");
    ASSERT_EQ(RunJar(" a -y -jf- " + Q(archive) + " " + Q(P("src/ok.txt"))).exitCode, 0);
    std::vector<std::pair<std::string, std::string>> files{{"dup", "1"}, {"dup.", "22"}, {"dup ", "333"}, {"sub/in", "in"}};
    std::vector<std::string> warned{"up ("};
    std::vector<std::string> stored{"\\dup", "\\dup ", "\\dup.", "\\in", "\\ok.txt", "\\src", "\\sub"};
#ifndef _WIN32
    // Names only a POSIX disk holds; P() would take the backslash for a separator.
    files.insert(files.end(), {{"FAQ.html", "upper"}, {"faq.html", "lower"}, {"a:b.txt", "colon"}, {"x:y/in.txt", "inside"},
                               {".../dots.txt", "dots"}});
    warned.insert(warned.end(), {"faq.html (", "a:b.txt (", "x:y (", "back\\slash.txt (", "... ("});
    stored.insert(stored.begin(), "\\FAQ.html");
    jar::DiskFile slash;
    ASSERT_TRUE(slash.Open(root + "/src/back\\slash.txt", jar::DiskFile::ForNewFile));
    slash.Close();
#endif
    for (const auto& [name, content] : files) {
        std::string path = jar::ExactPath(P("src/" + name));
        jar::CreateDirectories(path.substr(0, path.find_last_of(jar::kDiskSeparator)));
        jar::DiskFile file;
        ASSERT_TRUE(file.Open(path, jar::DiskFile::ForNewFile)) << path;
        ASSERT_TRUE(file.Write(content.data(), content.size()));
    }
    ASSERT_TRUE(testsupport::MakeFolderLink(P("src/sub/up"), "..")) << "no right to make a link here";
    ASSERT_TRUE(testsupport::MakeHardLink(P("src/alias.j"), archive));

    JarRun add = RunJar(" a -y -r -jf- " + Q(archive) + " " + Q(P("src")));
    EXPECT_NE(add.exitCode, 0);
    EXPECT_EQ(size_t(std::count(add.err.begin(), add.err.end(), '\n')), warned.size()) << add.err;
    for (const std::string& name : warned)
        EXPECT_NE(add.err.find(name), std::string::npos) << name << " in " << add.err;
    ArchiveCatalogue catalogue = List(archive);
    std::map<std::string, std::string> sizes;
    for (const ArchiveEntry* e : Entries(catalogue, 1))
        sizes[e->Path] = e->Columns[ArchiveEntry::Size];
    std::vector<std::string> names;
    for (const auto& [name, size] : sizes)
        names.push_back(name);
    EXPECT_EQ(names, stored) << "nothing moved up a level, nothing stored twice, not the archive itself";
    EXPECT_EQ(sizes["\\dup"] + sizes["\\dup."] + sizes["\\dup "], "123") << "each read as itself";
    EXPECT_EQ(RunJar(" t " + Q(archive)).exitCode, 0);
    // A name that climbs keeps the levels it can and says what it lost.
    JarRun up = RunJar(" a -y -jf " + Q(archive) + " ../../src/ok.txt", testsupport::InFolder(P("src/sub")));
    EXPECT_NE(up.err.find("ok.txt is stored without its \"..\" levels"), std::string::npos) << up.err;
    EXPECT_NE(Find(List(archive), 1, "\\src\\ok.txt"), nullptr);
#ifndef _WIN32
    // A name with ':' on the command line is a name, not a drive.
    JarRun colon = RunJar(" a -y -jf- " + Q(archive) + " a:b.txt", testsupport::InFolder(P("src")));
    EXPECT_NE(colon.err.find("WARNING: not stored: a:b.txt"), std::string::npos) << colon.err;
    EXPECT_EQ(Find(List(archive), 1, "\\b.txt"), nullptr);
#endif
}

// Entries that become one file on the target: the first is written, each other one is named
// with a WARNING, and the count says what reached the disk.
TEST_F(HostileArchiveTest, EntriesThatBecomeOneFileAreNamedNotOverwritten)
{
    Craft(archive, {{"\\dup", "first"}, {"\\dup", "second"}, {"\\Case.txt", "upper"}, {"\\case.txt", "lower"},
                    {"\\q?.txt", "literal"}, {"\\qa.txt", "qa"}, {"\\ctl\x01\x1b[2Jname", "c"},
                    {"\\t", "t"}, {"\\t ", "t blank"}, {"\\t.", "t dot"}});
    JarRun x = RunJar(" x -y -o" + Q(P("out")) + " " + Q(archive) + " \\dup \\Case.txt \\case.txt \\t \"\\t \" \\t.");
    EXPECT_NE(x.exitCode, 0);
    std::vector<std::string> warned{"\\dup", "\\case.txt"};
#ifdef _WIN32
    // Windows drops the trailing blank and dot: three entries, one file.
    warned.insert(warned.end(), {"\\t ", "\\t."});
    EXPECT_NE(x.out.find("3 files extracted"), std::string::npos) << x.out;
#else
    EXPECT_NE(x.out.find("5 files extracted"), std::string::npos) << x.out;
#endif
    for (const std::string& name : warned)
        EXPECT_NE(x.err.find("WARNING: not extracted: " + name + " ("), std::string::npos) << name << " in " << x.err;
    EXPECT_EQ(size_t(std::count(x.err.begin(), x.err.end(), '\n')), warned.size()) << x.err;
    EXPECT_EQ(Read("out/dup"), "first");
    EXPECT_EQ(Read("out/Case.txt"), "upper");
    EXPECT_EQ(Read("out/t"), "t");
    // A list file names entries: "q?.txt" is that entry, not a pattern for qa.txt too.
    std::string list = WriteList("sel.lst", {"\\q?.txt"});
    ASSERT_TRUE(RunJar(" d -y " + Q(archive) + " !" + Q(list)).exitCode == 0);
    ArchiveCatalogue left = List(archive);
    EXPECT_EQ(Find(left, 1, "\\q?.txt"), nullptr);
    EXPECT_NE(Find(left, 1, "\\qa.txt"), nullptr);
    // Control characters show escaped in the listing, never raw.
    JarRun v = RunJar(" v " + Q(archive));
    EXPECT_EQ(v.out.find('\x1b'), std::string::npos);
    EXPECT_NE(v.out.find("ctl<01><1B>[2Jname"), std::string::npos) << v.out;
}

// Depth is a resource: a path of thousands of short levels is refused at read, not walked.
TEST_F(HostileArchiveTest, OverDeepPathsAreRefusedAtRead)
{
    std::string deep;
    for (int i = 0; i < 1100; ++i)
        deep += "\\a";
    Craft(archive, {{deep, "x"}});
    for (const char* command : {" v ", " t ", " x -y "}) {
        JarRun run = RunJar(command + Q(archive));
        EXPECT_TRUE(Refused(run)) << command << run.err;
        EXPECT_NE(run.err.find("1024 levels"), std::string::npos) << run.err;
    }
    // Torvex's reader refuses such a line of a listing as damage, before building any folder.
    std::vector<std::string> lines = {"Archive x", "Analyzing chapter 1", "", "Name", "1) " + deep.substr(1),
                                      "           1 A----            1 Stored 1        2024-01-01 00:00:00 2024-01-01 00:00:00"};
    ArchiveCatalogue catalogue;
    std::string report;
    EXPECT_FALSE(ParseChapterListing(lines, catalogue, 1, [&](const std::string& m) { report = m; return false; }));
    EXPECT_NE(report.find("damaged"), std::string::npos) << report;
    // The longest name there can be still extracts: its temporary file fits the limit on a name.
    std::string longName(255, 'n');
    Craft(P("long.j"), {{"\\" + longName, "long"}});
    JarRun x = RunJar(" x -y -o" + Q(P("out")) + " " + Q(P("long.j")));
    EXPECT_TRUE(x.err.empty()) << x.err;
    std::vector<std::string> names;
    jar::ListDirectory(P("out"), names);
    EXPECT_EQ(names, std::vector<std::string>{longName}) << "its temporary file is gone";
    EXPECT_EQ(Read("out/" + longName), "long");
}
