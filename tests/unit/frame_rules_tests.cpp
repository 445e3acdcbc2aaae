#include "ui/main_frame_rules.h"

#include <gtest/gtest.h>

namespace {
ArchiveCatalogue CatalogueWithChapters(std::initializer_list<int> chapters)
{
    ArchiveCatalogue catalogue;
    for (int n : chapters) {
        auto info = std::make_unique<ChapterInfo>();
        info->TotalBytes = std::to_string(n * 1200);
        info->TotalFiles = std::to_string(n * 3);
        catalogue.SetChapter(n, std::move(info));
        catalogue.LastChapter = n;
    }
    catalogue.Ratio = "0.45";
    return catalogue;
}
} // namespace

TEST(FrameStatusText, OneChapterIsArchiveInfoMoreIsChapterInfo)
{
    ArchiveCatalogue one = CatalogueWithChapters({1});
    EXPECT_EQ(ArchiveInfoText(one, 1), "Archive info: 1200 bytes in 3 file(s)  Whole archive ratio: 0.45");
    ArchiveCatalogue two = CatalogueWithChapters({1, 2});
    EXPECT_EQ(ArchiveInfoText(two, 1), "Chapter info: 1200 bytes in 3 file(s)  Whole archive ratio: 0.45");
    EXPECT_EQ(ArchiveInfoText(two, 2), "Chapter info: 2400 bytes in 6 file(s)  Whole archive ratio: 0.45");
}

TEST(FrameStatusText, AChapterNotInTheCatalogueShowsEmptyTotals)
{
    ArchiveCatalogue catalogue = CatalogueWithChapters({1, 3});
    EXPECT_EQ(ArchiveInfoText(catalogue, 2), "Chapter info:  bytes in  file(s)  Whole archive ratio: 0.45");
    EXPECT_EQ(ArchiveInfoText(catalogue, 9), "Chapter info:  bytes in  file(s)  Whole archive ratio: 0.45");
}

TEST(FrameStatusText, ChapterTipAndArchiveCommentSayWhatTheListingsHold)
{
    ArchiveCatalogue catalogue = CatalogueWithChapters({1, 3});
    catalogue.Chapter(3)->FirstStamp = "2026-01-02 03:04:05";
    catalogue.Chapter(3)->SecondStamp = "2026-02-03 04:05:06";
    catalogue.Chapter(3)->ChapterComment = {"before the move", "second line"};
    EXPECT_EQ(ChapterTipText(catalogue, 3),
              "Chapter 3, created 2026-01-02 03:04:05, modified 2026-02-03 04:05:06\r\nbefore the move\r\nsecond line");
    catalogue.Chapter(1)->FirstStamp = catalogue.Chapter(1)->SecondStamp = "2026-01-01 00:00:00";
    EXPECT_EQ(ChapterTipText(catalogue, 1), "Chapter 1, created 2026-01-01 00:00:00");
    EXPECT_EQ(ChapterTipText(catalogue, 2), "");
    EXPECT_EQ(ArchiveCommentText(catalogue), "This archive has no comment.");
    catalogue.ArchiveComment = {"Backups", "of the office"};
    EXPECT_EQ(ArchiveCommentText(catalogue), "Backups\r\nof the office");
}

TEST(FrameStatusText, ThePaneIsWideEnoughForTheMeasuredText)
{
    for (int measured : {0, 5, 180, 400})
        EXPECT_GE(InfoPaneWidth(measured), measured);
    // The text is measured in the bar's font at the screen's DPI already; the room for the
    // borders grows with the DPI too.
    int room = InfoPaneWidth(180) - 180;
    EXPECT_EQ(InfoPaneWidth(270, 144) - 270, room * 3 / 2);
    EXPECT_EQ(InfoPaneWidth(360, 192) - 360, room * 2);
}

TEST(FrameCombos, DriveRootsAreUpperCasedInOrder)
{
    const char drives[] = "a:\\\0c:\\\0Z:\\\0";
    EXPECT_EQ(DriveComboTexts(drives, sizeof(drives) - 1), (std::vector<std::string>{"A:\\", "C:\\", "Z:\\"}));
    EXPECT_TRUE(DriveComboTexts("", 0).empty());
    // A list cut short by the length still gives whole entries only up to it.
    EXPECT_EQ(DriveComboTexts(drives, 4), (std::vector<std::string>{"A:\\"}));
}

TEST(FrameDrop, OnlyASingleLowerCaseDotJFileOpens)
{
    EXPECT_EQ(DecideDrop(1, "C:\\data\\a.j"), DropAction::OpenArchive);
    EXPECT_EQ(DecideDrop(1, "C:\\data\\a.J"), DropAction::AddFiles);
    EXPECT_EQ(DecideDrop(2, "C:\\data\\a.j"), DropAction::AddFiles);
    EXPECT_EQ(DecideDrop(1, "C:\\data\\a.jj"), DropAction::AddFiles);
    EXPECT_EQ(DecideDrop(1, "C:\\data\\j"), DropAction::AddFiles);
    EXPECT_EQ(DecideDrop(1, "C:\\dir.j"), DropAction::OpenArchive);
    EXPECT_EQ(DecideDrop(0, ""), DropAction::Nothing);
}

TEST(FrameToolbar, ButtonSetsLeaveRoomForTheCombosAndMatchTheirStrips)
{
    const auto& disk = DiskToolbarButtons();
    const auto& archive = ArchiveToolbarButtons();
    EXPECT_EQ(disk.size(), 19u);
    EXPECT_EQ(archive.size(), 25u);
    EXPECT_EQ(disk[0], 0u);
    EXPECT_EQ(archive[0], 0u);
    EXPECT_EQ(archive[2], 0u);
    EXPECT_EQ(ToolbarImageCount(disk), 10);
    EXPECT_EQ(ToolbarImageCount(archive), 13);
    EXPECT_EQ(disk[2], 32771u);
    EXPECT_EQ(archive[4], 32773u);
    EXPECT_EQ(disk.back(), 57664u);
    EXPECT_EQ(archive.back(), 57664u);
}

TEST(FrameHelpMenu, TheTipItemIsAddedOnceToTheMenuNamedExactlyHelp)
{
    std::vector<std::string> bar{"&File", "&Configuration", "&Display", "&Help"};
    EXPECT_EQ(FindMenuText(bar, "&Help"), 3);
    EXPECT_EQ(FindMenuText({"&File", "Help"}, "&Help"), -1);
    EXPECT_TRUE(TipItemMissing("Help\tF1", "Ti&p of the Day..."));
    EXPECT_FALSE(TipItemMissing("Ti&p of the Day...", "Ti&p of the Day..."));
}

TEST(FramePlacement, TextRoundTripsAndAnythingElseIsRefused)
{
    FramePlacement p{-8, 20, 1032, 760, true};
    EXPECT_EQ(FramePlacementText(p), "-8 20 1032 760 1");
    auto back = ParseFramePlacement("-8 20 1032 760 1");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->left, -8);
    EXPECT_EQ(back->bottom, 760);
    EXPECT_TRUE(back->maximized);
    EXPECT_FALSE(ParseFramePlacement("10 10 300 200 0")->maximized);
    for (const char* bad : {"", "10 10 300 200", "10 10 300 200 2", "10 10 300 200 0 7", "a b c d 0",
                            "300 10 10 200 0", "10 200 300 200 0"})
        EXPECT_FALSE(ParseFramePlacement(bad)) << bad;
}

TEST(FramePlacement, AMinimisedOrMaximisedStartWinsOverTheKeptState)
{
    // SW_ values: 1 normal, 2 minimised, 3 maximised, 6 minimise, 7 minimised inactive, 10 default.
    const struct { int startedWith; bool kept; int shown; } cases[] = {
        {-1, false, 1}, {-1, true, 3}, {1, true, 3}, {10, false, 1}, {5, true, 3},
        {2, true, 2}, {6, false, 2}, {11, false, 2}, {7, true, 7}, {3, false, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrameStartShowCommand(c.startedWith, c.kept), c.shown) << c.startedWith << " " << c.kept;
}
