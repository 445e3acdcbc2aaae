#include "engine/jar_commands.h"
#include "engine/jar_runner.h"
#include "engine/listing_parser.h"
#include "framework/message_box.h"
#include "tests/support/fake_runner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

using Strings = std::vector<std::string>;

using FakeSession = testsupport::FakeRunner;

using testsupport::ListingFixture;

class Session : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalogue.ArchivePath = "C:\\data\\project.j";
        SetPromptScript([this](const PromptRequest& request) {
            prompts.push_back(request);
            return prompt::IdOk;
        });
    }
    void TearDown() override { SetPromptScript(nullptr); }

    FakeSession session;
    ArchiveCatalogue catalogue;
    std::vector<PromptRequest> prompts;
};

TEST_F(Session, OpeningListsChaptersThenTheNewestChapter)
{
    session.outputs["lc \"C:\\data\\project.j\""] = ListingFixture("chapters_three.txt");
    session.outputs["v -jb3 \"C:\\data\\project.j\""] = ListingFixture("listing_project.txt");
    ASSERT_TRUE(session.ListChapters(catalogue));
    ASSERT_EQ(catalogue.LastChapter, 3);
    ASSERT_TRUE(session.ListChapter(catalogue, catalogue.LastChapter));
    EXPECT_EQ(session.Arguments(), (Strings{"lc \"C:\\data\\project.j\"", "v -jb3 \"C:\\data\\project.j\""}));
    EXPECT_EQ(catalogue.Chapter(3)->Directories.size(), 3u);
    EXPECT_EQ(catalogue.Chapter(3)->FirstStamp, "2026-12-01 08:00:00");
    EXPECT_TRUE(prompts.empty());

    // Listing a chapter again replaces its rows rather than adding to them.
    ASSERT_TRUE(session.ListChapter(catalogue, 3));
    EXPECT_EQ(catalogue.Chapter(3)->Directories.Find("\\")->size(), 3u);
}

TEST_F(Session, RunsThatOverlapListTheNewestChapterWhileTheChapterListIsMade)
{
    const std::string chapters = "lc \"C:\\data\\project.j\"";
    const std::string newest = "v \"C:\\data\\project.j\"";
    const std::string third = "v -jb3 \"C:\\data\\project.j\"";
    session.overlaps = true;
    session.outputs[chapters] = ListingFixture("chapters_three.txt");
    session.outputs[newest] = ListingFixture("listing_project.txt");
    session.outputs[third] = ListingFixture("listing_project.txt");
    ArchiveCatalogue inTurn;
    inTurn.ArchivePath = catalogue.ArchivePath;
    FakeSession oneAtATime;
    oneAtATime.outputs = session.outputs;
    ASSERT_TRUE(oneAtATime.ListArchive(inTurn));

    // The header names the list's last chapter: its rows, the list's stamps, one run each.
    ASSERT_TRUE(session.ListArchive(catalogue));
    EXPECT_EQ(session.Arguments(), (Strings{chapters, newest}));
    ASSERT_EQ(catalogue.LastChapter, 3);
    const ChapterInfo& shown = *catalogue.Chapter(3);
    const ChapterInfo& expected = *inTurn.Chapter(3);
    EXPECT_EQ(shown.FirstStamp, "2026-12-01 08:00:00");
    EXPECT_EQ(shown.ChapterComment, expected.ChapterComment);
    EXPECT_EQ(shown.Directories.size(), expected.Directories.size());
    EXPECT_EQ(shown.Directories.Find("\\")->size(), 3u);
    EXPECT_EQ(shown.TotalFiles, expected.TotalFiles);
    EXPECT_EQ(shown.TotalBytes, expected.TotalBytes);
    EXPECT_EQ(catalogue.Ratio, inTurn.Ratio);
    EXPECT_EQ(catalogue.ArchiveLine, inTurn.ArchiveLine);
    EXPECT_NE(catalogue.Chapter(1), nullptr);
    EXPECT_TRUE(prompts.empty());

    // A header that names another chapter than the list's last (the archive changed between the
    // two runs): the list's last one is listed in its turn.
    session.runs.clear();
    session.outputs[chapters] = ListingFixture("chapters_three.txt");
    session.outputs[newest] = ListingFixture("jar32_listing_chapter1.txt");
    ASSERT_TRUE(session.ListArchive(catalogue));
    EXPECT_EQ(session.Arguments(), (Strings{chapters, newest, third}));
    EXPECT_EQ(catalogue.Chapter(3)->Directories.Find("\\")->size(), 3u);
    EXPECT_EQ(catalogue.Chapter(1)->Directories.size(), 0u);

    // No chapter at all: as in turn, an empty chapter 1 and the notice.
    session.runs.clear();
    session.outputs[chapters] = ListingFixture("chapters_none.txt");
    ASSERT_TRUE(session.ListArchive(catalogue));
    EXPECT_EQ(session.Arguments(), (Strings{chapters, newest}));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "No chapter found in this archive");
    prompts.clear();

    // The chapter list's error is the one shown.
    session.outputs[chapters] = ListingFixture("chapters_error.txt");
    session.outputs[newest] = ListingFixture("listing_error.txt");
    EXPECT_FALSE(session.ListArchive(catalogue));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text.rfind("JAR ERROR", 0), 0u);
}

TEST_F(Session, ArchiveWithoutChapterOpensAnEmptyChapterOne)
{
    session.outputs["lc \"C:\\data\\project.j\""] = ListingFixture("chapters_none.txt");
    ASSERT_TRUE(session.ListChapters(catalogue));
    ASSERT_EQ(catalogue.LastChapter, 0);
    ASSERT_TRUE(session.ListChapter(catalogue, catalogue.LastChapter));
    EXPECT_EQ(session.runs.size(), 1u); // no listing run for chapter 0
    EXPECT_EQ(catalogue.LastChapter, 1);
    ASSERT_NE(catalogue.Chapter(1), nullptr);
    ASSERT_NE(catalogue.Chapter(1)->Directories.Find("\\"), nullptr);
    EXPECT_TRUE(catalogue.Chapter(1)->Directories.Find("\\")->empty());
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "No chapter found in this archive");
    EXPECT_EQ(prompts[0].type, prompt::Ok); // plain box, no icon
}

TEST_F(Session, ErrorsAreShownWithTheStopIconAndEndTheWaitCursor)
{
    session.outputs["lc \"C:\\data\\project.j\""] = ListingFixture("chapters_error.txt");
    EXPECT_FALSE(session.ListChapters(catalogue));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "JAR ERROR: C:\\data\\broken.j is not an archive\nProcessing stopped\n");
    EXPECT_EQ(prompts[0].type, prompt::Ok | prompt::IconStop);
    EXPECT_EQ(session.waitDepth, 0);

    prompts.clear();
    catalogue.SetChapter(7, std::make_unique<ChapterInfo>()).Directories.Obtain("\\old");
    session.outputs["v -jb7 \"C:\\data\\project.j\""] = ListingFixture("listing_error.txt");
    EXPECT_FALSE(session.ListChapter(catalogue, 7));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text.rfind("JAR ERROR: chapter 7", 0), 0u);
    EXPECT_EQ(prompts[0].type, prompt::Ok | prompt::IconStop);
    EXPECT_EQ(catalogue.Chapter(7)->Directories.size(), 0u); // the old rows went before the run
}

TEST_F(Session, FailedRunLeavesTheCatalogueCleared)
{
    session.outputs["lc \"C:\\data\\project.j\""] = ListingFixture("chapters_three.txt");
    ASSERT_TRUE(session.ListChapters(catalogue));
    session.capturedFails = true;
    EXPECT_FALSE(session.ListChapters(catalogue));
    EXPECT_EQ(catalogue.LastChapter, 0);
    EXPECT_TRUE(catalogue.Chapters.empty());
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Failed to run Jar");
    EXPECT_EQ(session.waitDepth, 0);
}

TEST_F(Session, RunFailingPartWayThroughAListingLeavesNoHalfChapter)
{
    // Entries are read while the archiver writes: here it stops with a failure after some.
    class FailingPartWay : public FakeSession {
    public:
        bool partWay = false;
        bool RunJarCapturedInto(const std::string& arguments, OutputLineSink& sink) override
        {
            runs.push_back({arguments, false, ConsoleShow::Hidden, std::string()});
            Strings lines;
            SplitOutputLines(outputs[arguments], lines);
            for (size_t i = 0; i < (partWay ? lines.size() / 2 : lines.size()); ++i)
                sink.Line(lines[i]);
            return !partWay || ReportFailure("Jar's output is too long to be read (more than 300 bytes)");
        }
    } failing;
    failing.outputs["v -jb3 \"C:\\data\\project.j\""] = ListingFixture("listing_project.txt");
    ASSERT_TRUE(failing.ListChapter(catalogue, 3));
    const ChapterInfo& chapter = *catalogue.Chapter(3);
    ASSERT_EQ(chapter.TotalFiles, "5");
    std::string ratio = catalogue.Ratio;

    failing.partWay = true;
    EXPECT_FALSE(failing.ListChapter(catalogue, 3));
    EXPECT_EQ(chapter.Directories.size(), 0u);
    EXPECT_EQ(chapter.TotalFiles, "5");
    EXPECT_EQ(chapter.TotalBytes, "6,924");
    EXPECT_EQ(catalogue.Ratio, ratio);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(failing.waitDepth, 0);

    // A chapter number the table cannot hold is refused before anything runs.
    prompts.clear();
    EXPECT_FALSE(failing.ListChapter(catalogue, MaxListedChapter + 1));
    EXPECT_EQ(failing.runs.size(), 2u);
    EXPECT_EQ(catalogue.Chapters.size(), 4u);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "No chapter 100001 in this archive");
}

TEST_F(Session, ChapterTheListDidNotNameIsStillListed)
{
    session.outputs["v -jb2 \"C:\\data\\project.j\""] = ListingFixture("listing_implied.txt");
    ASSERT_TRUE(session.ListChapter(catalogue, 2));
    ASSERT_NE(catalogue.Chapter(2), nullptr);
    EXPECT_EQ(catalogue.Chapter(2)->Directories.size(), 3u);
}

} // namespace

TEST(MessageText, LongRunsWrapSoTheBoxFitsTheScreen)
{
    std::string folder = "C:\\" + std::string(70, 'a') + "\\" + std::string(70, 'b') + "\\" + std::string(70, 'c');
    std::string wrapped = WrapLongRuns("Can't create " + folder, 100);
    // Broken after backslashes; nothing lost but the breaks.
    EXPECT_EQ(wrapped, "Can't create C:\\" + std::string(70, 'a') + "\\\n" + std::string(70, 'b') + "\\\n" +
                           std::string(70, 'c'));
    // No backslash near: a hard break, never inside a UTF-8 character; short texts stay.
    std::string accents;
    for (int i = 0; i < 60; ++i)
        accents += "\xC3\xA9";
    std::string broken = WrapLongRuns(accents.substr(1), 100);
    ASSERT_EQ(broken.size(), accents.size());
    EXPECT_EQ(broken.find('\n'), 101u);  // not at 100, inside a character
    EXPECT_EQ(WrapLongRuns("a short line\nand another", 100), "a short line\nand another");
}
