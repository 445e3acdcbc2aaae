// jar32 run as a child process with the command lines Torvex builds, its listings read back
// through Torvex's own parsers.
#include <algorithm>
#include <chrono>
#include <thread>
#include <map>
#include <set>

#include "engine/chapter_versions.h"
#include "engine/jar_commands.h"
#include "tests/support/fake_runner.h"
#include "archiver/archive_source.h"
#include "archiver/index_codec.h"
#include "archiver/archive_writer.h"
#include "archiver/commands.h"
#include "engine/listing_parser.h"
#include "jar_test_support.h"
#include "packed_index.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {
bool HasError(const JarRun& run) { return run.err.find("ERROR") != std::string::npos; }
bool Clean(const JarRun& run) { return run.err.empty(); }
std::string Sep() { return std::string(1, jar::kDiskSeparator); }
// Text that deflate shrinks.
std::string TextOf(size_t size, int seed)
{
    std::string text;
    while (text.size() < size)
        text += "line " + std::to_string(seed * 7919 + int(text.size()) % 977) + " of some ordinary text\n";
    text.resize(size);
    return text;
}
} // namespace

// The listings, read by the parsers, tell exactly what was stored.
TEST_F(JarTest, ListingsParseIntoWhatWasStored)
{
    int64_t when = StampOf(2024, 5, 17, 12, 30, 45);
    Write("src/readme.txt", TextOf(20000, 1), when);
    Write("src/empty.dat", "", when);
    Write("src/deep/er/noise.bin", NoiseOf(3000, 5), when);
    Write("src/name with blanks.txt", "x", when);
    std::string list = WriteList("l", {P("src") + Sep() + "." + Sep() + "readme.txt", P("src") + Sep() + "." + Sep() + "empty.dat",
                                       P("src") + Sep() + "." + Sep() + "deep" + Sep() + "er" + Sep() + "noise.bin",
                                       P("src") + Sep() + "." + Sep() + "name with blanks.txt"});
    JarRun add = RunJar(" a -y -r- -m4 -jf -o\"\\\" " + Q(archive) + " !" + Q(list));
    ASSERT_TRUE(Clean(add)) << add.err;

    ArchiveCatalogue catalogue = List(archive);
    EXPECT_EQ(catalogue.LastChapter, 1);
    EXPECT_EQ(catalogue.ArchiveLine.rfind("Archive", 0), 0u);
    ASSERT_NE(catalogue.Chapter(1), nullptr);
    const ChapterInfo& chapter = *catalogue.Chapter(1);
    EXPECT_EQ(chapter.TotalFiles, "4");
    EXPECT_EQ(chapter.TotalBytes, std::to_string(20000 + 0 + 3000 + 1));

    const ArchiveEntry* readme = Find(catalogue, 1, "\\readme.txt");
    ASSERT_NE(readme, nullptr);
    EXPECT_EQ(readme->Columns[ArchiveEntry::Name], "readme.txt");
    EXPECT_EQ(readme->Columns[ArchiveEntry::Size], "20000");
    EXPECT_EQ(readme->Columns[ArchiveEntry::Attributes].size(), 5u);
    EXPECT_EQ(readme->Columns[ArchiveEntry::Method], "Best");
    EXPECT_EQ(readme->Columns[ArchiveEntry::Chapter], "1");
    EXPECT_EQ(readme->Columns[ArchiveEntry::Modified], jar::FormatStamp(when));
    EXPECT_FALSE(readme->IsDirectory());

    const ArchiveEntry* empty = Find(catalogue, 1, "\\empty.dat");
    ASSERT_NE(empty, nullptr) << "a file of size 0 is found through its time";
    EXPECT_EQ(empty->Columns[ArchiveEntry::Size], "0");
    ASSERT_NE(Find(catalogue, 1, "\\name with blanks.txt"), nullptr);
    const ArchiveEntry* noise = Find(catalogue, 1, "\\deep\\er\\noise.bin");
    ASSERT_NE(noise, nullptr);
    EXPECT_EQ(noise->Columns[ArchiveEntry::Method], "Stored") << "incompressible data is stored as it is";
    // Folders that only the paths imply are completed by the parser, not stored.
    const ArchiveEntry* deep = Find(catalogue, 1, "\\deep");
    ASSERT_NE(deep, nullptr);
    EXPECT_TRUE(deep->IsDirectory());

    // Ratio: packed / (original + 1) of the whole archive's data.
    std::vector<std::string> lines;
    SplitOutputLines(RunJar("v -jb1 " + Q(archive)).out, lines);
    auto ratioLine = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Whole archived", 0) == 0; });
    ASSERT_NE(ratioLine, lines.end());
    jar::ArchiveSource source;
    jar::ArchiveIndex index;
    std::string error;
    ASSERT_TRUE(source.Open(archive, error) && jar::LoadIndex(source, index, error)) << error;
    uint64_t packed = 0, original = 0;
    for (const jar::DataBlock& b : index.blocks) {
        packed += b.packedSize;
        original += b.size;
    }
    EXPECT_EQ(original, 23001u);
    EXPECT_LT(packed, 3000u + 20000u / 4);
    EXPECT_NE(ratioLine->find(jar::GroupDigits(original)), std::string::npos) << *ratioLine;
    EXPECT_EQ(catalogue.Ratio, FormatRatio(jar::GroupDigits(packed), jar::GroupDigits(original)));

    // Listings are written as blocks with the platform's line ends, never a stray CR.
    std::string raw = RunJar("v -jb1 " + Q(archive)).out;
#ifdef _WIN32
    EXPECT_EQ(std::count(raw.begin(), raw.end(), '\n'), std::count(raw.begin(), raw.end(), '\r'));
#else
    EXPECT_EQ(raw.find('\r'), std::string::npos);
#endif
}

TEST_F(JarTest, ExtractionRestoresBytesPathsAndStamps)
{
    int64_t when = StampOf(2023, 1, 2, 3, 4, 6);
    std::string big = TextOf(3 << 20, 3) + NoiseOf(1 << 20, 9);
    Write("in/a.txt", "alpha", when);
    Write("in/sub/b.bin", big, when);
    Write("in/sub/c.txt", "", when);
    ASSERT_TRUE(Clean(RunJar("a -y -r -m2 -jf " + Q(archive) + " " + Q(P("in")))));

    // x: stored paths (without the drive) under -o.
    JarRun x = RunJar(" x -jb1 -y -o" + Q(P("out")) + " -r- " + Q(archive) + " *");
    ASSERT_TRUE(Clean(x)) << x.err;
    std::string stored = P("in");
    if (stored.size() > 1 && stored[1] == ':')
        stored = stored.substr(2);
    std::string base = "out" + stored;
    EXPECT_EQ(Read(base + "/a.txt"), "alpha");
    EXPECT_EQ(Read(base + "/sub/b.bin"), big);
    EXPECT_EQ(Read(base + "/sub/c.txt"), "");
    jar::FileInfo info;
    ASSERT_TRUE(jar::GetFileInfo(P(base + "/sub/b.bin"), info));
    EXPECT_EQ(info.modified / 10000000, when / 10000000);

    // e: names only; Extract Here of the shell extension: no names at all, into the current folder.
    ASSERT_TRUE(Clean(RunJar(" e -y -o" + Q(P("flat")) + " " + Q(archive) + " *")));
    EXPECT_EQ(Read("flat/b.bin"), big);
    EXPECT_FALSE(Exists("flat/sub"));
    ASSERT_TRUE(Clean(RunJar(" x -r -jf -y -o" + Q(P("here")) + " " + Q(archive))));
    EXPECT_EQ(Read("here" + stored + "/sub/b.bin"), big);

    // Torvex's extract list: archive paths, a folder followed by what it holds.
    std::string folderPath = stored;
    std::replace(folderPath.begin(), folderPath.end(), '/', '\\');
    std::string list = WriteList("extract", {folderPath + "\\sub", folderPath + "\\sub\\c.txt", folderPath + "\\a.txt"});
    ASSERT_TRUE(Clean(RunJar(" x -jb1 -y -o\"" + P("listed") + "\" -r- " + Q(archive) + " !" + Q(list))));
    EXPECT_EQ(Read("listed" + stored + "/a.txt"), "alpha");
    EXPECT_TRUE(Exists("listed" + stored + "/sub/c.txt"));
    EXPECT_FALSE(Exists("listed" + stored + "/sub/b.bin")) << "without -r a folder line names the folder alone";

    // The view command: one entry by its archive path, into a folder of its own.
    std::string entry = jar::ToDiskSeparators(stored + "/a.txt");
    std::replace(entry.begin(), entry.end(), '/', '\\');
    ASSERT_TRUE(Clean(RunJar(" x -jb1 -y -r- -o\"" + P("view") + "\" \"" + archive + "\" \"" + entry + "\"")));
    EXPECT_EQ(Read("view" + stored + "/a.txt"), "alpha");
    EXPECT_FALSE(Exists("view" + stored + "/sub"));
}

// Past 260 characters: the archive's own path (its temporary file, its lock, the rename over
// it) and the paths it holds, both ways, through every command.
TEST_F(JarTest, PathsOfAnyLengthThroughEveryCommand)
{
    std::string deep = "deep";
    for (int level = 0; P(deep).size() < 300; ++level)
        deep += "/level" + std::to_string(level) + std::string(40, 'x');
    Write(deep + "/in/a.txt", "alpha");
    Write(deep + "/in/sub/b.txt", TextOf(70000, 5));
    std::string longArchive = P(deep + "/long.j");
    ASSERT_TRUE(Clean(RunJar(" a -y -r -jf " + Q(longArchive) + " " + Q(P(deep + "/in")))));
    ASSERT_TRUE(Clean(RunJar(" a -y -r- " + Q(longArchive) + " " + Q(P(deep + "/in/a.txt")))))
        << "a second run replaces the archive through its temporary file";

    std::string stored = P(deep + "/in");
    if (stored.size() > 1 && stored[1] == ':')
        stored = stored.substr(2);
    std::replace(stored.begin(), stored.end(), '/', '\\');
    ArchiveCatalogue listed = List(longArchive);
    ASSERT_NE(Find(listed, 1, stored + "\\sub\\b.txt"), nullptr);
    ASSERT_NE(Find(listed, 1, stored + "\\a.txt"), nullptr);
    EXPECT_TRUE(Clean(RunJar(" t " + Q(longArchive))));

    JarRun x = RunJar(" x -y -o" + Q(P("out")) + " " + Q(longArchive) + " *");
    ASSERT_TRUE(Clean(x)) << x.err;
    std::string tree = "out" + stored;
    std::replace(tree.begin(), tree.end(), '\\', '/');
    ASSERT_GT(P(tree + "/sub/b.txt").size(), 300u);
    EXPECT_EQ(Read(tree + "/a.txt"), "alpha");
    EXPECT_EQ(Read(tree + "/sub/b.txt"), TextOf(70000, 5));
    ASSERT_TRUE(Clean(RunJar(" e -y -o" + Q(P(deep + "/here")) + " " + Q(longArchive) + " " + Q(stored + "\\a.txt"))));
    EXPECT_EQ(Read(deep + "/here/a.txt"), "alpha");

    ASSERT_TRUE(Clean(RunJar(" d -y " + Q(longArchive) + " " + Q(stored + "\\sub\\b.txt"))));
    ArchiveCatalogue left = List(longArchive);
    EXPECT_EQ(Find(left, 1, stored + "\\sub\\b.txt"), nullptr);
    EXPECT_NE(Find(left, 1, stored + "\\a.txt"), nullptr);
    std::vector<std::string> names;
    ASSERT_TRUE(jar::ListDirectory(P(deep), names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"here", "in", "long.j"})) << "no temporary or lock file is left";
}

// Files too large to hold in memory are streamed; one that deflate cannot shrink is stored.
TEST_F(JarTest, LargeFilesStreamThroughBothWays)
{
    std::string text = TextOf(18 << 20, 6), noise = NoiseOf(17 << 20, 12);
    Write("L/text.txt", text);
    Write("L/noise.bin", noise);
    Write("L/small.txt", "small after the large ones");
    ASSERT_TRUE(Clean(RunJar(" a -y -r -m1 -jf- " + Q(archive) + " " + Q(P("L")))));
    ArchiveCatalogue c = List(archive);
    EXPECT_EQ(Find(c, 1, "\\text.txt")->Columns[ArchiveEntry::Method], "Fast");
    EXPECT_EQ(Find(c, 1, "\\noise.bin")->Columns[ArchiveEntry::Method], "Stored");
    EXPECT_LT(ReadRaw(archive).size(), noise.size() + text.size() / 3);
    ASSERT_TRUE(Clean(RunJar(" t " + Q(archive))));
    ASSERT_TRUE(Clean(RunJar(" e -y -o" + Q(P("out")) + " " + Q(archive) + " *")));
    EXPECT_TRUE(Read("out/text.txt") == text);
    EXPECT_TRUE(Read("out/noise.bin") == noise);
    EXPECT_EQ(Read("out/small.txt"), "small after the large ones");
}

TEST_F(JarTest, OverwriteQuestionsAndUpdateRules)
{
    int64_t old = StampOf(2020, 1, 1, 0, 0, 0), newer = StampOf(2022, 1, 1, 0, 0, 0);
    Write("d/a.txt", "archived", newer);
    Write("d/b.txt", "archived b", old);
    std::string list = WriteList("l", {P("d") + Sep() + "." + Sep() + "a.txt", P("d") + Sep() + "." + Sep() + "b.txt"});
    ASSERT_TRUE(Clean(RunJar(" a -y -r- -jf " + Q(archive) + " !" + Q(list))));

    Write("o/a.txt", "on disk", old);
    Write("o/b.txt", "on disk b", newer);
    // Without -y the console is asked; "n" keeps the file.
    JarRun no = RunJar(" x -o" + Q(P("o")) + " " + Q(archive) + " *", WithInput("n\nn\n"));
    EXPECT_NE(no.out.find("Overwrite"), std::string::npos);
    EXPECT_EQ(Read("o/a.txt"), "on disk");
    JarRun yes = RunJar(" x -o" + Q(P("o")) + " " + Q(archive) + " \\a.txt", WithInput("y\n"));
    EXPECT_EQ(Read("o/a.txt"), "archived");
    // No answer at all (end of input) keeps the file.
    RunJar(" x -o" + Q(P("o")) + " " + Q(archive) + " \\b.txt");
    EXPECT_EQ(Read("o/b.txt"), "on disk b");

    // Freshen with "newer": only an archived copy newer than the disk's replaces it; nothing new appears.
    Write("f/a.txt", "disk a", old);
    Write("f/b.txt", "disk b", newer);
    ASSERT_TRUE(Clean(RunJar(" x -f -y -o" + Q(P("f")) + " " + Q(archive) + " *")));
    EXPECT_EQ(Read("f/a.txt"), "archived");
    EXPECT_EQ(Read("f/b.txt"), "disk b");
    Write("g/a.txt", "disk a", newer);
    ASSERT_TRUE(Clean(RunJar(" x -f -y -o" + Q(P("g")) + " " + Q(archive) + " *")));
    EXPECT_FALSE(Exists("g/b.txt"));
    // Update "older": replaces b (archived older than disk) and creates what is missing.
    ASSERT_TRUE(Clean(RunJar(" x -u1 -y -o" + Q(P("g")) + " " + Q(archive) + " *")));
    EXPECT_EQ(Read("g/a.txt"), "disk a");
    ASSERT_TRUE(Clean(RunJar(" x -u1 -y -o" + Q(P("g")) + " " + Q(archive) + " *")));
    EXPECT_EQ(Read("g/b.txt"), "archived b");
    // Date or size: same stamp and size is left alone, a size change is replaced.
    Write("h/a.txt", "ARCHIVED", newer);
    Write("h/b.txt", "different size", old);
    ASSERT_TRUE(Clean(RunJar(" x -f2 -y -o" + Q(P("h")) + " " + Q(archive) + " *")));
    EXPECT_EQ(Read("h/a.txt"), "ARCHIVED");
    EXPECT_EQ(Read("h/b.txt"), "archived b");
}

// Chapters: ac shares unchanged data, d works on the last chapter, da on all, dc keeps numbers.
TEST_F(JarTest, ChaptersShareDeleteAndKeepTheirNumbers)
{
    int64_t t1 = StampOf(2021, 3, 3, 3, 3, 3), t2 = StampOf(2021, 4, 4, 4, 4, 4);
    Write("w/keep.txt", TextOf(5000, 2), t1);
    Write("w/change.txt", "first", t1);
    Write("w/gone.txt", "gone later", t1);
    auto line = [&](const std::string& name) { return P("w") + Sep() + "." + Sep() + name; };
    std::string list1 = WriteList("l1", {line("keep.txt"), line("change.txt"), line("gone.txt")});
    ASSERT_TRUE(Clean(RunJar(" ac -y -r- -m3 -jf -o\"\\\" " + Q(archive) + " !" + Q(list1))));
    Write("w/change.txt", "second version", t2);
    std::string list2 = WriteList("l2", {line("keep.txt"), line("change.txt")});
    ASSERT_TRUE(Clean(RunJar(" ac -y -r- -m3 -jf -o\"\\\" " + Q(archive) + " !" + Q(list2))));
    uint64_t sizeAfterTwo = ReadRaw(archive).size();
    ASSERT_TRUE(Clean(RunJar(" ac -y -r- -m3 -jf -o\"\\\" " + Q(archive) + " !" + Q(list2))));
    EXPECT_LT(ReadRaw(archive).size(), sizeAfterTwo + 200) << "an unchanged chapter stores no data again";

    ArchiveCatalogue catalogue = List(archive, 2);
    EXPECT_EQ(catalogue.LastChapter, 3);
    EXPECT_EQ(Find(catalogue, 2, "\\keep.txt")->Columns[ArchiveEntry::Chapter], "1-3");
    EXPECT_EQ(Find(catalogue, 2, "\\change.txt")->Columns[ArchiveEntry::Chapter], "2-3");
    EXPECT_EQ(Find(catalogue, 2, "\\gone.txt"), nullptr) << "ac holds only the listed files";
    ArchiveCatalogue first = List(archive, 1);
    EXPECT_EQ(Find(first, 1, "\\change.txt")->Columns[ArchiveEntry::Size], "5");
    EXPECT_NE(Find(first, 1, "\\gone.txt"), nullptr);

    // Extracting chapter 1 gives chapter 1's version.
    ASSERT_TRUE(Clean(RunJar(" x -jb1 -y -o" + Q(P("c1")) + " " + Q(archive) + " *")));
    EXPECT_EQ(Read("c1/change.txt"), "first");
    // A range takes each file from the highest chapter of the range that holds it.
    ASSERT_TRUE(Clean(RunJar(" x -jb1-2 -y -o" + Q(P("r")) + " " + Q(archive) + " *")));
    EXPECT_EQ(Read("r/change.txt"), "second version");
    EXPECT_EQ(Read("r/gone.txt"), "gone later");

    // A range lists every version once, with the chapters that hold it: a file's history and
    // what differs between two chapters come from that one listing.
    testsupport::FakeRunner runner;
    runner.outputs[VersionListingArguments(1, 3, archive)] = RunJar(" v -jb1-3 " + Q(archive)).merged();
    VersionIndex versions;
    ASSERT_TRUE(ListVersions(runner, archive, 1, 3, versions));
    std::vector<FileVersion> history = FileHistory(versions, "\\change.txt");
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(SpansText(history[0].spans) + " " + history[0].entry->Columns[ArchiveEntry::Size].str(), "2-3 14");
    EXPECT_EQ(SpansText(history[1].spans) + " " + history[1].entry->Columns[ArchiveEntry::Size].str(), "1 5");
    ChapterComparison compared(versions, 1, 3);
    EXPECT_EQ(compared.FileCount(VersionChange::Changed), 1u);
    EXPECT_EQ(compared.FileCount(VersionChange::Removed), 1u);
    EXPECT_EQ(compared.FileCount(VersionChange::Unchanged), 1u);
    EXPECT_TRUE(HasError(RunJar(" v -jb4-9 " + Q(archive)))) << "a range holding no chapter";

    // d: only the last chapter loses the file.
    std::string del = WriteList("del", {"\\change.txt"});
    ASSERT_TRUE(Clean(RunJar(" d -r- -y " + Q(archive) + " !" + Q(del))));
    EXPECT_EQ(Find(List(archive, 3), 3, "\\change.txt"), nullptr);
    EXPECT_EQ(Find(List(archive, 2), 2, "\\change.txt")->Columns[ArchiveEntry::Chapter], "2");
    // da: every chapter loses it.
    ASSERT_TRUE(Clean(RunJar(" da -y " + Q(archive) + " !" + Q(del))));
    EXPECT_EQ(Find(List(archive, 2), 2, "\\change.txt"), nullptr);
    EXPECT_EQ(Find(List(archive, 1), 1, "\\change.txt"), nullptr);

    // dc 2: chapters 1 and 3 stay 1 and 3.
    ASSERT_TRUE(Clean(RunJar(" dc " + Q(archive) + " 2")));
    ArchiveCatalogue left = List(archive);
    EXPECT_EQ(left.LastChapter, 3);
    EXPECT_NE(left.Chapter(1), nullptr);
    EXPECT_EQ(left.Chapter(2), nullptr);
    EXPECT_EQ(left.Chapters.size(), 4u);
    EXPECT_NE(Find(left, 3, "\\keep.txt"), nullptr);
    JarRun missing = RunJar(" v -jb2 " + Q(archive));
    EXPECT_TRUE(HasError(missing));
    ASSERT_TRUE(Clean(RunJar(" t " + Q(archive))));
    ASSERT_TRUE(Clean(RunJar(" dc " + Q(archive) + " 1 3")));
    EXPECT_EQ(List(archive).LastChapter, 0) << "no chapter left";
    EXPECT_TRUE(HasError(RunJar(" dc " + Q(archive) + " 7")));
}

TEST_F(JarTest, AddListFormsOfTheProgramAndTheShell)
{
    Write("data/photos/one.jpg", NoiseOf(700, 1));
    Write("data/photos/trip/two.jpg", NoiseOf(800, 2));
    Write("data/report.txt", "report");
    auto under = [&](const std::string& base, const std::string& rest) { return P(base) + Sep() + "." + Sep() + jar::ToDiskSeparators(rest); };

    // Partial paths with a folder inside the archive (-o"\dir").
    std::string partial = WriteList("p", {under("data", "photos"), under("data", "photos/one.jpg"), under("data", "photos/trip"),
                                          under("data", "photos/trip/two.jpg")});
    ASSERT_TRUE(Clean(RunJar(" a -y -r- -m4 -jf -o\"\\backup\\2024\" " + Q(archive) + " !" + Q(partial))));
    ArchiveCatalogue c = List(archive);
    const ArchiveEntry* folder = Find(c, 1, "\\backup\\2024\\photos\\trip");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->Columns[ArchiveEntry::Attributes].view()[4], 'D') << "a folder line stores the folder itself";
    EXPECT_NE(Find(c, 1, "\\backup\\2024\\photos\\trip\\two.jpg"), nullptr);

    // No path: names only.
    std::string flat = WriteList("f", {P("data/report.txt"), P("data/photos/trip/two.jpg")});
    ASSERT_TRUE(Clean(RunJar(" a -y -r- -m1 -jf- -o\"\\\" " + Q(archive) + " !" + Q(flat))));
    c = List(archive);
    EXPECT_NE(Find(c, 1, "\\report.txt"), nullptr);
    EXPECT_NE(Find(c, 1, "\\two.jpg"), nullptr);

    // The shell extension with its skip-folder setting: the folder's line has nothing after the
    // marker, so its contents are stored without the folder's own name.
    std::string shell = WriteList("s", {P("data/photos") + Sep() + "." + Sep(), under("data/photos", "one.jpg"),
                                        under("data/photos", "trip"), under("data/photos", "trip/two.jpg")});
    std::string second = P("s.j");
    ASSERT_TRUE(Clean(RunJar("a -y -r- -jf -m3 " + Q(second) + " !" + Q(shell))));
    c = List(second);
    EXPECT_NE(Find(c, 1, "\\one.jpg"), nullptr);
    EXPECT_NE(Find(c, 1, "\\trip\\two.jpg"), nullptr);
    EXPECT_EQ(Find(c, 1, "\\photos"), nullptr);
    EXPECT_EQ(Entries(c, 1).size(), 3u);

    // Saving an edited copy back: temp folder, marker, then the entry's own path.
    Write("TTmp1/trip/two.jpg", "edited");
    std::string save = WriteList("save", {P("TTmp1") + Sep() + "." + jar::ToDiskSeparators("\\trip\\two.jpg")});
    ASSERT_TRUE(Clean(RunJar(" a -y -r- -m4 -jf -o\\ " + Q(second) + " !" + Q(save))));
    c = List(second);
    EXPECT_EQ(Find(c, 1, "\\trip\\two.jpg")->Columns[ArchiveEntry::Size], "6");
    EXPECT_EQ(Entries(c, 1).size(), 3u);

    // Wildcards with recursion.
    std::string third = P("w.j");
    ASSERT_TRUE(Clean(RunJar("a -y -r -jf- " + Q(third) + " " + Q(P("data") + Sep() + "*.jpg"))));
    c = List(third);
    EXPECT_NE(Find(c, 1, "\\one.jpg"), nullptr);
    EXPECT_NE(Find(c, 1, "\\two.jpg"), nullptr);
    EXPECT_EQ(Find(c, 1, "\\report.txt"), nullptr);
}

TEST_F(JarTest, WorkFolderHoldsTheNewArchiveUntilItIsComplete)
{
    Write("w/a.txt", "work folder");
    jar::CreateDirectories(P("work"));
    ASSERT_TRUE(Clean(RunJar(" a -y -r- -w\"" + P("work") + "\" -m4 -jf- " + Q(archive) + " " + Q(P("w/a.txt")))));
    ASSERT_TRUE(Clean(RunJar(" a -y -r- -w\"" + P("work") + "\" -m4 -jf- " + Q(archive) + " " + Q(P("w/a.txt")))));
    std::vector<std::string> left;
    jar::ListDirectory(P("work"), left);
    EXPECT_TRUE(left.empty());
    ASSERT_TRUE(Clean(RunJar(" x -y -o" + Q(P("out")) + " " + Q(archive))));
    EXPECT_EQ(Read("out/a.txt"), "work folder");
    EXPECT_TRUE(HasError(RunJar(" a -y -w\"" + P("nowhere") + "\" " + Q(archive) + " " + Q(P("w/a.txt")))));
}

TEST_F(JarTest, UpdateAndFreshenWhenAdding)
{
    int64_t old = StampOf(2019, 1, 1, 0, 0, 0), newer = StampOf(2020, 1, 1, 0, 0, 0);
    Write("u/a.txt", "one", old);
    std::string list = WriteList("l", {P("u") + Sep() + "." + Sep() + "a.txt", P("u") + Sep() + "." + Sep() + "b.txt"});
    Write("u/b.txt", "b", old);
    ASSERT_TRUE(HasError(RunJar(" f -y -r- -jf " + Q(archive) + " !" + Q(list)))) << "nothing to freshen in a missing archive";
    std::string onlyA = WriteList("a", {P("u") + Sep() + "." + Sep() + "a.txt"});
    ASSERT_TRUE(Clean(RunJar(" a -y -r- -jf " + Q(archive) + " !" + Q(onlyA))));
    Write("u/a.txt", "two", newer);
    ASSERT_TRUE(Clean(RunJar(" f -y -r- -jf " + Q(archive) + " !" + Q(list))));
    ArchiveCatalogue c = List(archive);
    EXPECT_EQ(Find(c, 1, "\\a.txt")->Columns[ArchiveEntry::Modified], jar::FormatStamp(newer));
    EXPECT_EQ(Find(c, 1, "\\b.txt"), nullptr) << "freshen adds nothing new";
    Write("u/a.txt", "three", old);
    ASSERT_TRUE(Clean(RunJar(" u -y -r- -jf " + Q(archive) + " !" + Q(list))));
    c = List(archive);
    EXPECT_EQ(Find(c, 1, "\\a.txt")->Columns[ArchiveEntry::Modified], jar::FormatStamp(newer)) << "an older copy is not taken";
    EXPECT_NE(Find(c, 1, "\\b.txt"), nullptr);
    EXPECT_EQ(c.Chapters.size(), 2u) << "a, u and f stay in the last chapter";
}

TEST_F(JarTest, CommentsFromFilesTheConsoleAndNul)
{
    Write("c/a.txt", "a");
    Write("ArchiveComment.txt", "Project backup\r\nsecond line\r\n");
    Write("ChapterComment.txt", "Before the release\r\n");
    ASSERT_TRUE(Clean(RunJar(" ac -y -r- -m4 -jf -o\"\\\" -z\"" + P("ArchiveComment.txt") + "\" -hz\"" + P("ChapterComment.txt") +
                             "\" " + Q(archive) + " " + Q(P("c/a.txt")))));
    // Comment lines come behind a fixed prefix, so the listing's reader never takes one for anything else.
    const std::string pre = "  | comment | ";
    ArchiveCatalogue c = List(archive);
    EXPECT_EQ(c.ArchiveComment, (std::vector<std::string>{pre + "Project backup", pre + "second line"}));
    EXPECT_EQ(c.Chapter(1)->ChapterComment, std::vector<std::string>{pre + "Before the release"});
    // Typed on the console: lines up to an empty one.
    ASSERT_TRUE(Clean(RunJar(" ac -y -r- -hz " + Q(archive) + " " + Q(P("c/a.txt")), WithInput("typed comment\n\n"))));
    c = List(archive);
    EXPECT_EQ(c.Chapter(2)->ChapterComment, std::vector<std::string>{pre + "typed comment"});
    EXPECT_EQ(c.Chapter(1)->ChapterComment, std::vector<std::string>{pre + "Before the release"});
    ASSERT_TRUE(Clean(RunJar(" a -y -r- -zNUL " + Q(archive) + " " + Q(P("c/a.txt")))));
    EXPECT_TRUE(List(archive).ArchiveComment.empty());
}

// Damage is found and named; nothing is written outside the target folder.
TEST_F(JarTest, DamageIsReportedAndUnsafePathsRefused)
{
    std::string payload = TextOf(40000, 4);
    Write("x/first.txt", payload);
    Write("x/second.txt", TextOf(30000, 8));
    std::string list = WriteList("l", {P("x") + Sep() + "." + Sep() + "first.txt", P("x") + Sep() + "." + Sep() + "second.txt"});
    ASSERT_TRUE(Clean(RunJar(" a -y -r- -jf " + Q(archive) + " !" + Q(list))));
    std::string bytes = ReadRaw(archive);
    jar::ArchiveSource source;
    jar::ArchiveIndex index;
    std::string error;
    ASSERT_TRUE(source.Open(archive, error) && jar::LoadIndex(source, index, error));
    const jar::DataBlock* first = nullptr;
    for (const jar::StoredEntry& e : index.entries)
        if (e.path == "\\first.txt")
            first = &index.blocks[size_t(e.block)];
    ASSERT_NE(first, nullptr);
    std::string damaged = bytes;
    damaged[size_t(first->offset + first->packedSize / 2)] ^= 0x5A;
    Write("bad.j", damaged);

    JarRun test = RunJar(" t " + Q(P("bad.j")));
    EXPECT_TRUE(HasError(test));
    EXPECT_NE(test.err.find("\\first.txt"), std::string::npos) << test.err;
    EXPECT_EQ(test.err.find("\\second.txt"), std::string::npos);
    JarRun x = RunJar(" x -y -o" + Q(P("out")) + " " + Q(P("bad.j")) + " *");
    EXPECT_NE(x.err.find("\\first.txt"), std::string::npos);
    EXPECT_FALSE(Exists("out/first.txt")) << "damaged data never lands on disk";
    EXPECT_FALSE(Exists("out/first.txt.tmp~"));
    EXPECT_EQ(Read("out/second.txt"), TextOf(30000, 8));

    // A damaged index is refused before anything is read.
    std::string brokenIndex = bytes;
    brokenIndex[brokenIndex.size() - jar::kTrailerSize - 3] ^= 0x01;
    Write("index.j", brokenIndex);
    for (const char* command : {" t ", " lc ", " v -jb1 ", " x -y -o"}) {
        std::string line = command + (std::string(command) == " x -y -o" ? Q(P("o2")) + " " : "") + Q(P("index.j"));
        EXPECT_TRUE(HasError(RunJar(line))) << command;
    }
    EXPECT_FALSE(Exists("o2/first.txt"));
    Write("short.j", bytes.substr(0, bytes.size() / 2));
    EXPECT_TRUE(HasError(RunJar(" lc " + Q(P("short.j")))));
    Write("text.j", "just some text that is long enough to look like something else entirely ...");
    EXPECT_TRUE(HasError(RunJar(" lc " + Q(P("text.j")))));

    // An archive made elsewhere with paths that climb out or name a drive.
    index.entries.clear();
    index.blocks.resize(1);
    index.blocks[0] = *first;
    for (const char* path : {"\\..\\escape.txt", "\\a\\..\\..\\escape2.txt", "\\C:\\escape3.txt", "\\ok.txt"}) {
        jar::StoredEntry e;
        e.path = path;
        e.size = payload.size();
        e.block = 0;
        e.chapters.Add(1);
        index.entries.push_back(e);
    }
    jar::ArchiveWriter writer;
    std::string crafted = P("crafted.j");
    ASSERT_TRUE(writer.Begin(crafted, ""));
    ASSERT_TRUE(writer.CopyBlock(source, index.blocks[0]));
    jar::Options plain;
    ASSERT_TRUE(writer.Finish(index, plain)) << writer.Error();
    JarRun unsafe = RunJar(" x -y -o" + Q(P("safe/inside")) + " " + Q(crafted) + " *");
    EXPECT_NE(unsafe.err.find("\\..\\escape.txt"), std::string::npos) << unsafe.err;
    EXPECT_NE(unsafe.err.find("\\C:\\escape3.txt"), std::string::npos);
    EXPECT_FALSE(Exists("safe/escape.txt"));
    EXPECT_FALSE(Exists("escape2.txt"));
    EXPECT_FALSE(Exists("safe/inside/C:/escape3.txt"));
    EXPECT_EQ(Read("safe/inside/ok.txt"), payload);
}

TEST_F(JarTest, ClearErrorsForWhatIsMissing)
{
    JarRun noArchive = RunJar(" lc " + Q(P("none.j")));
    ASSERT_TRUE(HasError(noArchive));
    EXPECT_NE(noArchive.err.find("none.j"), std::string::npos);
    std::vector<std::string> lines;
    SplitOutputLines(noArchive.merged(), lines);
    ArchiveCatalogue catalogue;
    int reported = 0;
    EXPECT_FALSE(ParseChapterList(lines, catalogue, [&](const std::string&) { return ++reported, false; }));
    EXPECT_EQ(reported, 1);
    EXPECT_TRUE(HasError(RunJar(" t " + Q(P("none.j")))));
    EXPECT_TRUE(HasError(RunJar(" x -y " + Q(P("none.j")) + " *")));

    Write("a.txt", "a");
    JarRun noList = RunJar(" a -y " + Q(archive) + " !" + Q(P("nolist")));
    EXPECT_TRUE(HasError(noList));
    EXPECT_NE(noList.err.find("nolist"), std::string::npos);
    EXPECT_FALSE(Exists("t.j")) << "nothing is created after an error in the command";
    JarRun noFile = RunJar(" a -y " + Q(archive) + " " + Q(P("missing.txt")) + " " + Q(P("a.txt")));
    EXPECT_TRUE(HasError(noFile));
    EXPECT_NE(noFile.err.find("missing.txt"), std::string::npos);
    EXPECT_TRUE(HasError(RunJar(" zz " + Q(archive))));
    EXPECT_TRUE(HasError(RunJar(" x -q " + Q(archive))));
#ifndef _WIN32
    // A file that cannot be read is named and left out; the rest is stored.
    Write("locked.txt", "secret");
    ::chmod(P("locked.txt").c_str(), 0);
    if (ReadRaw(P("locked.txt")) == "<missing>") {
        JarRun unreadable = RunJar(" a -y " + Q(archive) + " " + Q(P("locked.txt")) + " " + Q(P("a.txt")));
        EXPECT_NE(unreadable.err.find("ERROR: can't open " + P("locked.txt")), std::string::npos) << unreadable.err;
        ArchiveCatalogue stored = List(archive);
        EXPECT_EQ(stored.Chapter(1)->TotalFiles, "1");
    }
    ::chmod(P("locked.txt").c_str(), 0644);

    // A write that fails half-way (the disk is full) leaves the archive as it was, and no debris.
    std::string before = ReadRaw(archive);
    Write("large.bin", NoiseOf(3 << 20, 11));
    JarRun full = RunJar(" a -y " + Q(archive) + " " + Q(P("large.bin")), WithFileLimit(1 << 20));
    EXPECT_NE(full.err.find("ERROR: can't write"), std::string::npos) << full.err;
    EXPECT_EQ(ReadRaw(archive), before);
    EXPECT_FALSE(Exists("t.j.tmp~"));
    ASSERT_TRUE(RunJar(" a -y -jf- " + Q(archive) + " " + Q(P("large.bin"))).err.empty());
    JarRun fullExtract = RunJar(" x -y -o" + Q(P("ex")) + " " + Q(archive) + " \\large.bin", WithFileLimit(1 << 20));
    EXPECT_NE(fullExtract.err.find("ERROR: can't write"), std::string::npos) << fullExtract.err;
    EXPECT_FALSE(Exists("ex/large.bin"));
    EXPECT_FALSE(Exists("ex/large.bin.tmp~"));
#endif
    // Each message is one line beginning with ERROR.
    for (const JarRun& run : {noArchive, noList})
        EXPECT_EQ(run.err.rfind("ERROR", 0), 0u);
}

// A kill in the middle of a large add leaves the old archive byte for byte as it was. The stop
// comes only once the new archive's temporary file exists and has grown well past its first
// buffer, so it lands in the middle of the write, never before it began.
TEST_F(JarTest, KilledAddLeavesTheOldArchiveIntact)
{
    Write("small.txt", "small");
    ASSERT_TRUE(Clean(RunJar(" a -y " + Q(archive) + " " + Q(P("small.txt")))));
    std::string before = ReadRaw(archive);
    for (int i = 0; i < 6; ++i)
        Write("big/f" + std::to_string(i) + ".bin", NoiseOf(12 << 20, uint32_t(i + 1)) + TextOf(4 << 20, i));
    const std::string temp = archive + ".tmp~";
    const uint64_t grown = 10u << 20;
    for (bool hard : {true, false}) {
        testsupport::JarProcess add(" a -y -r -m4 " + Q(archive) + " " + Q(P("big")));
        jar::FileInfo info;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (add.Running() && std::chrono::steady_clock::now() < deadline &&
               !(jar::GetFileInfo(temp, info) && info.size > grown))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_TRUE(add.Running()) << "the add ended before it could be stopped";
        ASSERT_GT(info.size, grown) << "the write was under way";
        add.Stop(hard);
        JarRun stopped = add.Wait();
        EXPECT_NE(stopped.exitCode, 0);
        EXPECT_EQ(ReadRaw(archive), before) << (hard ? "kill" : "interrupt");
#ifndef _WIN32
        if (!hard) {
            EXPECT_NE(stopped.err.find("ERROR"), std::string::npos) << "Ctrl+C ends with an ERROR line";
            EXPECT_FALSE(jar::GetFileInfo(temp, info)) << "an interrupted run cleans up after itself";
        }
#endif
        // What a kill leaves behind, the next run on the archive removes.
        ASSERT_TRUE(Clean(RunJar(" t " + Q(archive))));
        EXPECT_FALSE(jar::GetFileInfo(temp, info));
    }
}

// A change of a single-file archive is appended: every byte the archive held stays where it was.
// An append cut short anywhere leaves it listing exactly as before, and the next change goes after
// what was left. Space no index refers to is reclaimed by a rewrite once it passes a quarter of
// the file, and by o, which changes no listing. An archive of the first version reads as it did
// and its first change writes it anew.
TEST_F(JarTest, ChangesAppendAndDeadSpaceIsReclaimed)
{
    Write("noise.bin", NoiseOf(300000, 3));
    Write("a.txt", "first");
    Write("b.txt", TextOf(20000, 2));
    auto add = [&](const std::string& command, const std::string& names) {
        std::string line = command + " -y -jf- " + Q(archive);
        for (char name : names)
            line += " " + Q(P(std::string(1, name) + (name == 'n' ? "oise.bin" : ".txt")));
        return RunJar(line);
    };
    ASSERT_TRUE(Clean(add(" a", "na")));
    const std::string current = ListingText(archive);
    const std::string first = packedindex::FirstVersionOf(ReadRaw(archive));
    Write("t.j", first);
    ASSERT_EQ(ListingText(archive), current);
    ASSERT_TRUE(Clean(add(" a", "a")));
    ASSERT_NE(ReadRaw(archive).substr(0, first.size()), first) << "written anew";
    const std::string held = ReadRaw(archive);
    const std::string listed = ListingText(archive);
    ASSERT_TRUE(Clean(add(" ac", "b")));
    const std::string grown = ReadRaw(archive);
    ASSERT_GT(grown.size(), held.size());
    EXPECT_EQ(grown.substr(0, held.size()), held);

    // Every length of the append's bytes short of its last: the archive as it was.
    const size_t tail = grown.size() - held.size();
    for (size_t cut = 0; cut < tail; cut += cut + 60 < tail ? 7 : 1) {
        Write("t.j", grown.substr(0, held.size() + cut));
        ASSERT_EQ(ListingText(archive), listed) << cut << " of " << tail << " bytes";
    }
    ASSERT_TRUE(Clean(RunJar(" t " + Q(archive))));
    // Nor does a stored archive of the first version whose trailer ends the bytes left.
    const std::string plain(6, '\0'), packed = packedindex::Pack(plain);
    Write("t.j", held + packedindex::IndexAndTrailer(packed, packedindex::TrailerFor(held.size(), packed, plain)));
    ASSERT_EQ(ListingText(archive), listed);
    const std::string torn = ReadRaw(archive);
    Write("a.txt", "second");
    ASSERT_TRUE(Clean(add(" a", "a")));
    std::string replaced = ReadRaw(archive);
    EXPECT_EQ(replaced.substr(0, torn.size()), torn);
    ASSERT_TRUE(Clean(add(" ac", "b")));
    ASSERT_TRUE(Clean(RunJar(" d -y " + Q(archive) + " b.txt")));
    EXPECT_EQ(ReadRaw(archive).substr(0, replaced.size()), replaced);
    EXPECT_EQ(Find(List(archive, 2), 2, "\\b.txt"), nullptr);
    EXPECT_EQ(Find(List(archive, 1), 1, "\\a.txt")->Columns[ArchiveEntry::Size], "6");

    // o: the listings as they were, a smaller file that tests clean.
    const std::string before = ListingText(archive);
    const size_t size = ReadRaw(archive).size();
    JarRun compact = RunJar(" o " + Q(archive));
    ASSERT_TRUE(Clean(compact)) << compact.err;
    EXPECT_NE(compact.out.find("bytes of removed data reclaimed"), std::string::npos) << compact.out;
    EXPECT_LT(ReadRaw(archive).size(), size);
    EXPECT_EQ(ListingText(archive), before);
    ASSERT_TRUE(Clean(RunJar(" t " + Q(archive))));

    // Removing most of the data passes the share: the archive is rewritten without it.
    ASSERT_TRUE(Clean(RunJar(" da -y " + Q(archive) + " noise.bin")));
    EXPECT_LT(ReadRaw(archive).size(), 100000u);
    ASSERT_TRUE(Clean(RunJar(" t " + Q(archive))));
}

TEST_F(JarTest, VolumesSplitAndReadBack)
{
    std::string data = NoiseOf(250000, 7);
    Write("v/big.bin", data);
    ASSERT_TRUE(Clean(RunJar(" a -y -r- -v100000 " + Q(archive) + " " + Q(P("v/big.bin")))));
    EXPECT_TRUE(jar::GetFileInfo(jar::VolumeName(archive, 3), *std::make_unique<jar::FileInfo>()));
    EXPECT_LE(ReadRaw(archive).size(), 100000u);
    ASSERT_TRUE(Clean(RunJar(" t " + Q(archive))));
    ASSERT_TRUE(Clean(RunJar(" e -y -o" + Q(P("out")) + " " + Q(archive) + " *")));
    EXPECT_EQ(Read("out/big.bin"), data);
    // The command before each volume runs once per volume.
    std::string marker = P("marker.txt");
#ifdef _WIN32
    std::string command = "echo v>>" + marker; // run by cmd; the scratch path has no blanks
#else
    std::string command = "echo v >> '" + marker + "'";
#endif
    std::string second = P("two.j");
    ASSERT_TRUE(Clean(RunJar(" a -y -v120000s\"" + command + "\" " + Q(second) + " " + Q(P("v/big.bin")))));
    std::string ran = ReadRaw(marker);
    EXPECT_EQ(std::count(ran.begin(), ran.end(), 'v'), 3) << ran;
    EXPECT_TRUE(Clean(RunJar(" t " + Q(second))));

    // Rewritten as one file, the old volumes go.
    ASSERT_TRUE(Clean(RunJar(" d -y " + Q(archive) + " *")));
    EXPECT_FALSE(jar::GetFileInfo(jar::VolumeName(archive, 2), *std::make_unique<jar::FileInfo>()));
    EXPECT_TRUE(Clean(RunJar(" t " + Q(archive))));
}

// A run given a progress channel prints exactly what it prints without one, and reports every
// phase in order: counts that only grow, stay within the totals, and reach them when the phase
// is done. A channel whose reader is gone changes nothing either.
struct ProgressCase {
    const char* name;
    const char* command; // the archive follows, then `names`
    const char* names;
    std::vector<std::string> phases;
    int64_t files;       // of the phase before the index; -1: not checked
    int64_t bytes;
};
void PrintTo(const ProgressCase& c, std::ostream* os) { *os << c.name; }

class JarProgressTest : public JarTest, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(JarProgressTest, RecordsGrowToTheTotalsAndChangeNoOutput)
{
    const ProgressCase& c = GetParam();
    const size_t big = 17 << 20; // past the in-memory limit: streamed in pieces
    Write("src/a.txt", TextOf(30000, 1));
    Write("src/sub/b.bin", NoiseOf(5000, 2));
    Write("src/big.txt", TextOf(big, 3));
    Write("src/empty", "");
    std::string add = " a -y -r -jf- " + Q(archive) + " " + Q(P("src") + Sep() + "*");
    std::string command = std::string(" ") + c.command + " " + Q(archive) + c.names;
    if (std::string(c.command) == "x")
        command = " x -y -o" + Q(P("out")) + " " + Q(archive);
    if (std::string(c.command) == "a")
        command = add;
    else
        ASSERT_TRUE(Clean(RunJar(add)));
    const std::string before = Exists("t.j") ? ReadRaw(archive) : "";
    auto again = [&] {
        RemoveTree(P("out"));
        jar::RemoveFile(archive);
        if (!before.empty())
            Write("t.j", before);
    };
    JarRun plain = RunJar(command);
    again();
    JarRun reported = RunJar(command, testsupport::WithProgress());
    EXPECT_EQ(reported.out, plain.out);
    EXPECT_EQ(reported.err, plain.err);
    EXPECT_EQ(reported.exitCode, plain.exitCode);
    again();
    JarRunOptions gone = testsupport::WithProgress();
    gone.readerGone = true;
    JarRun unread = RunJar(command, gone);
    EXPECT_EQ(unread.out, plain.out);
    EXPECT_EQ(unread.exitCode, 0);
#ifndef _WIN32
    // In a console of its own the run shows one line, rewritten in place ("\r...\r") and never
    // wider than the console, naming the phases in order as time allows (the run is paced so
    // there is time). Between those lines it prints what it always does.
    again();
    JarRunOptions terminal;
    terminal.terminalColumns = 48;
    ScopedEnvironment pace("JAR32_TEST_HOOK", "pause:progress:100");
    JarRun shown = RunJar(command, terminal);
    pace.Restore();
    std::string printed;
    std::vector<std::string> verbs;
    for (size_t at = 0; at < shown.out.size();) {
        size_t end = shown.out.find('\r', at + 1);
        if (shown.out[at] != '\r' || end == std::string::npos) {
            printed += shown.out[at++];
            continue;
        }
        std::string line = shown.out.substr(at + 1, end - at - 1);
        EXPECT_LT(line.size(), 48u) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
        std::string verb = line.substr(0, line.find("  "));
        verb.erase(verb.find_last_not_of(' ') + 1);
        if (!verb.empty() && (verbs.empty() || verbs.back() != verb))
            verbs.push_back(verb);
        at = end + 1;
    }
    EXPECT_EQ(printed, plain.out);
    EXPECT_EQ(shown.exitCode, plain.exitCode);
    const std::map<std::string, std::string> verbOf = {{"scan", "Scanning"}, {"compress", "Compressing"},
        {"copy", "Copying"}, {"index", "Writing the index"}, {"test", "Testing"}, {"extract", "Extracting"}};
    ASSERT_FALSE(verbs.empty()) << shown.out;
    size_t next = 0;
    for (const std::string& verb : verbs) {
        while (next < c.phases.size() && verbOf.at(c.phases[next]) != verb)
            ++next;
        EXPECT_LT(next, c.phases.size()) << verb << " out of order in " << shown.out;
    }
#endif

    std::vector<jarcontract::ProgressRecord> records = RecordsOf(reported.progress);
    std::vector<std::string> phases;
    for (size_t i = 0; i < records.size(); ++i) {
        const jarcontract::ProgressRecord& r = records[i];
        bool first = phases.empty() || phases.back() != r.phase;
        if (first)
            phases.push_back(r.phase);
        EXPECT_TRUE(r.filesTotal < 0 || r.filesDone <= r.filesTotal) << i;
        EXPECT_TRUE(r.bytesTotal < 0 || r.bytesDone <= r.bytesTotal) << i;
        if (first)
            continue;
        const jarcontract::ProgressRecord& p = records[i - 1];
        EXPECT_GE(r.filesDone, p.filesDone) << i;
        EXPECT_GE(r.bytesDone, p.bytesDone) << i;
        // A total, once known, stays.
        EXPECT_TRUE(p.filesTotal == -1 || r.filesTotal == p.filesTotal) << i;
        EXPECT_TRUE(p.bytesTotal == -1 || r.bytesTotal == p.bytesTotal) << i;
        bool last = i + 1 == records.size() || records[i + 1].phase != r.phase;
        if (last && r.phase != jarcontract::phase::Index) {
            EXPECT_EQ(r.filesDone, r.filesTotal) << r.phase;
            EXPECT_EQ(r.bytesDone, r.bytesTotal) << r.phase;
        }
    }
    EXPECT_EQ(phases, c.phases);
    ASSERT_GE(records.size(), 2u);
    const jarcontract::ProgressRecord* main = nullptr;
    for (const auto& r : records)
        if (r.phase == c.phases[c.phases.size() > 1 && c.phases.back() == "index" ? c.phases.size() - 2 : 0])
            main = &r;
    ASSERT_NE(main, nullptr);
    if (c.files >= 0) {
        EXPECT_EQ(main->filesTotal, c.files);
        EXPECT_EQ(main->bytesTotal, c.bytes == -2 ? int64_t(30000 + 5000 + big) : c.bytes);
    } else {
        EXPECT_GT(main->bytesTotal, 0);
    }
    // The file at work is named.
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const auto& r) { return r.file == "\\big.txt"; }))
        << reported.progress;
}

// Files: add stores the folder too; extract counts files only; test counts stored versions (the
// empty file has none); optimizing copies what stays. -2: the bytes of the three files with data.
INSTANTIATE_TEST_SUITE_P(Commands, JarProgressTest,
                         ::testing::Values(ProgressCase{"add", "a", "", {"scan", "compress", "index"}, 5, -2},
                                           ProgressCase{"extract", "x", "", {"extract"}, 4, -2},
                                           ProgressCase{"test", "t", "", {"test"}, 3, -2},
                                           ProgressCase{"optimize", "o", "", {"copy", "index"}, -1, 0}),
                         [](const ::testing::TestParamInfo<ProgressCase>& info) { return info.param.name; });

// Cancel at a tenth, half and nine tenths of a large update: the archive stays byte for byte as
// it was, nothing of the run is left beside it, and it tests clean. The run is paced so the
// signal lands while it is still at work.
TEST_F(JarTest, CancelledAddLeavesTheArchiveAsItWas)
{
    // Big enough that the update is appended to it: what the run wrote there is taken back.
    Write("old.txt", "kept as it was");
    Write("old.bin", NoiseOf(1 << 20, 5));
    ASSERT_TRUE(Clean(RunJar(" a -y " + Q(archive) + " " + Q(P("old.txt")) + " " + Q(P("old.bin")))));
    const std::string before = ReadRaw(archive);
    const std::string text = TextOf(1 << 20, 4);
    for (int i = 0; i < 60; ++i)
        Write("set/f" + std::to_string(100 + i) + ".txt", std::to_string(i) + text);
    ScopedEnvironment pace("JAR32_TEST_HOOK", "pause:progress:10");
    for (int percent : {10, 50, 90}) {
        SCOPED_TRACE(percent);
        testsupport::JarProcess add(" a -y -r -m1 " + Q(archive) + " " + Q(P("set")), testsupport::WithProgress(true));
        ASSERT_TRUE(add.WaitForRecord([&](const std::string& line) {
            jarcontract::ProgressRecord r;
            return jarcontract::ParseProgressRecord(line, r) && r.phase == "compress" && r.bytesTotal > 0 &&
                   r.bytesDone * 100 >= r.bytesTotal * percent;
        }, std::chrono::seconds(120)));
        add.Cancel();
        JarRun run = add.Wait();
        EXPECT_EQ(run.exitCode, jarcontract::CancelledExitCode);
        EXPECT_EQ(run.err, std::string("ERROR: cancelled") + jar::LineEnd());
        EXPECT_EQ(ReadRaw(archive), before);
        std::vector<std::string> names;
        ASSERT_TRUE(jar::ListDirectory(root, names));
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"old.bin", "old.txt", "set", "t.j"}));
        EXPECT_TRUE(Clean(RunJar(" t " + Q(archive))));
    }
}

// Cancel inside a large file being extracted: the files finished stay, the one being written
// goes (its temporary name included), nothing after it is begun.
TEST_F(JarTest, CancelledExtractionLeavesNoPartialFile)
{
    Write("x/a.txt", TextOf(1000, 1));
    Write("x/b.txt", TextOf(40 << 20, 2));
    Write("x/c.txt", "c");
    ASSERT_TRUE(Clean(RunJar(" a -y -jf- -m1 " + Q(archive) + " " + Q(P("x") + Sep() + "*"))));
    ScopedEnvironment pace("JAR32_TEST_HOOK", "pause:progress:20");
    testsupport::JarProcess extract(" x -y -o" + Q(P("out")) + " " + Q(archive), testsupport::WithProgress(true));
    ASSERT_TRUE(extract.WaitForRecord([&](const std::string& line) {
        jarcontract::ProgressRecord r;
        return jarcontract::ParseProgressRecord(line, r) && r.file == "\\b.txt" && r.bytesDone > 1000;
    }, std::chrono::seconds(120)));
    extract.Cancel();
    JarRun run = extract.Wait();
    EXPECT_EQ(run.exitCode, jarcontract::CancelledExitCode);
    EXPECT_EQ(run.err, std::string("ERROR: cancelled") + jar::LineEnd());
    std::vector<std::string> names;
    ASSERT_TRUE(jar::ListDirectory(P("out"), names));
    EXPECT_EQ(names, std::vector<std::string>{"a.txt"});
    EXPECT_EQ(Read("out/a.txt"), TextOf(1000, 1));
}
