// The tips file reader and the Tip of the Day's stored state: skipped lines, long lines in
// pieces, cycling, a replaced file, a file with nothing to show.
#include "dialogs/setting_names.h"
#include "dialogs/tip_of_the_day.h"
#include "dialogs/tips_file.h"
#include "framework/message_box.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class TipsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("torvex-tips-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / "tips.txt").string();
        SetPromptScript([this](const PromptRequest& r) {
            prompts_.push_back(r.text);
            return prompt::IdOk;
        });
    }
    void TearDown() override
    {
        SetPromptScript({});
        std::filesystem::remove_all(folder_);
    }
    void Write(const std::string& bytes)
    {
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    TipOfTheDay::Texts Texts() { return {"absent", "trouble"}; }

    std::filesystem::path folder_;
    std::string path_;
    std::vector<std::string> prompts_;
};

} // namespace

TEST_F(TipsTest, SkipsCommentsAndBlankLedLinesAndCycles)
{
    Write("; a comment\r\n\r\n  indented\r\n\tTabbed\r\nFirst tip\r\n;between\r\nSecond tip\r\n");
    TipsFile file;
    ASSERT_TRUE(file.Open(path_));
    EXPECT_EQ(file.NextTip(), "First tip\n");
    EXPECT_EQ(file.NextTip(), "Second tip\n");
    EXPECT_EQ(file.NextTip(), "First tip\n");  // past the end: from the top again
    // A last line without its line feed is a tip all the same.
    Write("Only\r\nLast");
    TipsFile second;
    ASSERT_TRUE(second.Open(path_));
    EXPECT_EQ(second.NextTip(), "Only\n");
    EXPECT_EQ(second.NextTip(), "Last");
    EXPECT_EQ(second.NextTip(), "Only\n");
}

TEST_F(TipsTest, LongLinesComeInPiecesOf999)
{
    std::string longLine = std::string(999, 'a') + std::string(999, 'b') + " rest";
    Write(longLine + "\n");
    TipsFile file;
    ASSERT_TRUE(file.Open(path_));
    EXPECT_EQ(file.NextTip(), std::string(999, 'a'));
    EXPECT_EQ(file.NextTip(), std::string(999, 'b'));
    // The third piece starts with a blank, so it counts as a skipped line.
    EXPECT_EQ(file.NextTip(), std::string(999, 'a'));
}

TEST_F(TipsTest, NoUsableLineGivesAnEmptyTipInsteadOfLoopingForEver)
{
    Write("; only comments\n\n   \n");
    TipsFile file;
    ASSERT_TRUE(file.Open(path_));
    EXPECT_EQ(file.NextTip(), "");
    Write("");
    TipsFile empty;
    ASSERT_TRUE(empty.Open(path_));
    EXPECT_EQ(empty.NextTip(), "");
}

TEST_F(TipsTest, PositionSurvivesBetweenRunsAndStartUpIsStoredInverted)
{
    Write(";c\nOne\nTwo\nThree\n");
    MemorySettingsStore store;
    {
        TipOfTheDay tip(store, path_, Texts());
        EXPECT_TRUE(tip.ShowAtStartup);  // StartUp missing reads 0: shown
        EXPECT_EQ(tip.TipText, "One\n");
        EXPECT_FALSE(ReadSetting(store, setting::TipTimeStamp).empty());
    }
    EXPECT_EQ(ReadSetting(store, setting::TipFilePos), 7);  // just after "One\n"
    {
        TipOfTheDay tip(store, path_, Texts());
        EXPECT_EQ(tip.TipText, "Two\n");
        tip.NextTip();
        EXPECT_EQ(tip.TipText, "Three\n");
        tip.NextTip();
        EXPECT_EQ(tip.TipText, "One\n");
        tip.ShowAtStartup = false;
        tip.StoreShowAtStartup();
    }
    EXPECT_EQ(ReadSetting(store, setting::TipStartUp), 1);
    TipOfTheDay again(store, path_, Texts());
    EXPECT_FALSE(again.ShowAtStartup);
    EXPECT_EQ(again.TipText, "Two\n");
    EXPECT_TRUE(prompts_.empty());
}

TEST_F(TipsTest, ReplacedFileStartsAtItsFirstTip)
{
    Write("One\nTwo\nThree\n");
    MemorySettingsStore store;
    { TipOfTheDay tip(store, path_, Texts()); }
    // The same file with an older stamp on record counts as replaced.
    WriteSetting(store, setting::TipTimeStamp, std::string("Thu Jan  1 00:00:00 1970"));
    TipOfTheDay tip(store, path_, Texts());
    EXPECT_EQ(tip.TipText, "One\n");
}

TEST_F(TipsTest, MissingFileAndUnreachablePosition)
{
    MemorySettingsStore store;
    WriteSetting(store, setting::TipFilePos, 3);
    {
        TipOfTheDay tip(store, (folder_ / "none.txt").string(), Texts());
        EXPECT_FALSE(tip.FileOpen());
        EXPECT_EQ(tip.TipText, "absent");
    }
    EXPECT_EQ(ReadSetting(store, setting::TipFilePos), 3);  // nothing written

    Write("One\n");
    {
        TipOfTheDay first(store, path_, Texts());  // records the stamp
    }
    WriteSetting(store, setting::TipFilePos, -5);
    TipOfTheDay tip(store, path_, Texts());
    EXPECT_EQ(tip.TipText, "");
    EXPECT_EQ(prompts_, (std::vector<std::string>{"trouble"}));
}
