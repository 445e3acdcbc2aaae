#include "operations/transfer_rules.h"
#include "ui/format_thousands.h"
#include "ui/view_rules.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

ArchiveEntry Entry(const std::string& path, bool directory = false)
{
    ArchiveEntry e;
    e.Path = path;
    size_t slash = path.rfind('\\');
    e.Columns[ArchiveEntry::Name] = slash == std::string::npos ? path : path.substr(slash + 1);
    e.Columns[ArchiveEntry::Attributes] = directory ? "....D" : ".....";
    return e;
}

ArchiveEntry ParentRow()
{
    ArchiveEntry e;
    e.Columns[ArchiveEntry::Name] = ". .";
    e.Columns[ArchiveEntry::Attributes] = "....D";
    return e;
}

bool Enabled(unsigned id, const ViewState& s)
{
    auto r = ViewCommandEnabled(id, s);
    EXPECT_TRUE(r.has_value()) << id;
    return r.value_or(false);
}

TEST(CommandEnabling, SelectionDrivenCommands)
{
    ViewState s;
    s.archiveMode = true;
    EXPECT_FALSE(Enabled(viewcmd::Add, s));
    EXPECT_FALSE(Enabled(viewcmd::Extract, s));
    EXPECT_FALSE(Enabled(viewcmd::AddToFilesList, s));
    EXPECT_FALSE(Enabled(viewcmd::CopyFiles, s));
    EXPECT_TRUE(Enabled(viewcmd::PasteFiles, s));
    s.filesListHasItems = true;
    EXPECT_TRUE(Enabled(viewcmd::Add, s));
    EXPECT_FALSE(Enabled(viewcmd::Extract, s));
    s.filesListHasItems = false;
    s.realSelection = true;
    s.selectedCount = 2;
    EXPECT_TRUE(Enabled(viewcmd::Add, s));
    EXPECT_TRUE(Enabled(viewcmd::Extract, s));
    EXPECT_TRUE(Enabled(viewcmd::AddToFilesList, s));
    EXPECT_TRUE(Enabled(viewcmd::CopyFiles, s));
    EXPECT_FALSE(Enabled(viewcmd::Save, s));
    s.viewedCopyModified = true;
    EXPECT_TRUE(Enabled(viewcmd::Save, s));
}

TEST(CommandEnabling, HitRowCommandsNeedExactlyOneSelectedRowOfTheRightKind)
{
    ArchiveEntry archive = Entry("C:\\x\\a.j"), upper = Entry("C:\\x\\X.J"), text = Entry("C:\\x\\t.txt"),
                 folder = Entry("C:\\x\\d", true);
    ViewState s; // disk mode
    s.selectedCount = 1;
    s.hitEntry = &archive;
    EXPECT_TRUE(Enabled(viewcmd::Test, s));
    EXPECT_TRUE(Enabled(viewcmd::ExtractArchiveTo, s));
    EXPECT_TRUE(Enabled(viewcmd::ViewFile, s));
    s.hitEntry = &upper; // not an archive: the extension is case-sensitive
    EXPECT_FALSE(Enabled(viewcmd::Test, s));
    EXPECT_FALSE(Enabled(viewcmd::ExtractArchiveTo, s));
    s.hitEntry = &folder;
    EXPECT_FALSE(Enabled(viewcmd::ViewFile, s));
    s.hitEntry = &text;
    EXPECT_TRUE(Enabled(viewcmd::ViewFile, s));
    EXPECT_FALSE(Enabled(viewcmd::History, s)) << "a disk file has no versions";
    s.archiveMode = true;
    EXPECT_TRUE(Enabled(viewcmd::History, s));
    s.hitEntry = &folder;
    EXPECT_FALSE(Enabled(viewcmd::History, s));
    s.archiveMode = false;
    s.hitEntry = &text;
    s.hitEntry = nullptr; // hitItem -1
    EXPECT_FALSE(Enabled(viewcmd::ViewFile, s));
    EXPECT_FALSE(Enabled(viewcmd::Test, s));
    s.hitEntry = &archive;
    s.selectedCount = 2;
    EXPECT_FALSE(Enabled(viewcmd::Test, s));
    EXPECT_FALSE(Enabled(viewcmd::ViewFile, s));
    // In an archive, Test works on the whole archive.
    s.archiveMode = true;
    s.selectedCount = 0;
    s.hitEntry = nullptr;
    EXPECT_TRUE(Enabled(viewcmd::Test, s));
}

TEST(CommandEnabling, RunningOperationDisablesAllButTheViewStyles)
{
    ViewState s;
    s.archiveMode = true;
    s.realSelection = true;
    s.selectedCount = 1;
    s.filesListHasItems = true;
    s.viewedCopyModified = true;
    s.chapterCount = 2;
    ArchiveEntry file = Entry("\\a.j");
    s.hitEntry = &file;
    const unsigned ids[] = {viewcmd::Add, viewcmd::Extract, viewcmd::ExtractTo, viewcmd::Delete,
                            viewcmd::Directories, viewcmd::AddToFilesList, viewcmd::EditFilesList,
                            viewcmd::ShellExtensions, viewcmd::Test, viewcmd::Miscellaneous,
                            viewcmd::ExtractArchiveTo, viewcmd::ViewFile, viewcmd::Save, viewcmd::Refresh, viewcmd::History, viewcmd::ArchiveComment, viewcmd::Find,
                            viewcmd::FileOpen, viewcmd::CompareChapters, viewcmd::CopyFiles,
                            viewcmd::PasteFiles};
    for (unsigned id : ids)
        EXPECT_TRUE(Enabled(id, s)) << id;
    s.operationRunning = true;
    for (unsigned id : ids)
        EXPECT_FALSE(Enabled(id, s)) << id;
    EXPECT_TRUE(Enabled(viewcmd::ListView, s));
    EXPECT_TRUE(Enabled(viewcmd::DetailsView, s));
    EXPECT_FALSE(ViewCommandEnabled(57664, s).has_value()); // About is not the view's
}

TEST(CommandEnabling, ComparisonNeedsTwoChaptersAndGreysWhatWouldChangeTheArchive)
{
    ViewState s;
    s.archiveMode = true;
    s.chapterCount = 1;
    EXPECT_FALSE(Enabled(viewcmd::CompareChapters, s)) << "one chapter: nothing to compare";
    s.chapterCount = 2;
    EXPECT_TRUE(Enabled(viewcmd::CompareChapters, s));
    s.archiveMode = false;
    EXPECT_FALSE(Enabled(viewcmd::CompareChapters, s)) << "the disk browser";
    s.archiveMode = true;
    const unsigned sides[] = {viewcmd::LeaveComparison, viewcmd::ViewOlder, viewcmd::ViewNewer, viewcmd::ExtractOlder,
                              viewcmd::ExtractNewer};
    ArchiveEntry file = Entry("\\docs\\a.txt");
    s.hitEntry = &file;
    s.selectedCount = 1;
    s.realSelection = true;
    s.filesListHasItems = true;
    s.viewedCopyModified = true;
    for (unsigned id : sides)
        EXPECT_FALSE(Enabled(id, s)) << id << " outside a comparison";

    // The file was added in the second chapter: only that side can be viewed.
    s.comparison = true;
    s.hitInNewer = true;
    for (unsigned id : {viewcmd::Add, viewcmd::Delete, viewcmd::Extract, viewcmd::ExtractTo, viewcmd::AddToFilesList,
                        viewcmd::History, viewcmd::Save, viewcmd::ViewOlder, viewcmd::CopyFiles, viewcmd::PasteFiles})
        EXPECT_FALSE(Enabled(id, s)) << id;
    for (unsigned id : {viewcmd::ViewFile, viewcmd::ViewNewer, viewcmd::ExtractOlder, viewcmd::ExtractNewer,
                        viewcmd::LeaveComparison, viewcmd::CompareChapters, viewcmd::Find, viewcmd::Test})
        EXPECT_TRUE(Enabled(id, s)) << id;
    s.hitInOlder = true;
    s.selectedCount = 2;
    EXPECT_FALSE(Enabled(viewcmd::ViewOlder, s)) << "one file is viewed at a time";
    EXPECT_FALSE(Enabled(viewcmd::ViewFile, s));
    s.operationRunning = true;
    for (unsigned id : sides)
        EXPECT_FALSE(Enabled(id, s)) << id << " while an operation runs";
}

TEST(Selection, ParentRowAloneIsNoSelection)
{
    EXPECT_FALSE(HasRealSelection(0, false, true));
    EXPECT_FALSE(HasRealSelection(1, true, true));
    EXPECT_TRUE(HasRealSelection(1, true, false)); // row 0 of a drive root is a real row
    EXPECT_TRUE(HasRealSelection(1, false, true));
    EXPECT_TRUE(HasRealSelection(2, true, true));
}

TEST(Transfer, DraggedRowsKeepTheirPlaceBelowTheShownFolderAndTheParentRowNeverGoes)
{
    ArchiveEntry top = Entry("\\top.txt"), dir = Entry("\\dir", true), deep = Entry("\\dir\\sub", true),
                 file = Entry("\\dir\\b.txt"), parent = ParentRow();
    const std::string folder = "C:\\temp\\~TDrag7\\1";
    // At the root and one level down: the names in the per-drag folder, as Partial Path puts them.
    EXPECT_EQ(TransferNames({&parent, &top, &dir}, true, "\\", folder),
              (std::vector<std::string>{folder + "\\top.txt", folder + "\\dir"}));
    EXPECT_EQ(TransferNames({&deep, &file}, true, "\\dir", folder),
              (std::vector<std::string>{folder + "\\sub", folder + "\\b.txt"}));
    // The disk browser offers the files themselves.
    ArchiveEntry disk = Entry("C:\\data\\a.txt");
    EXPECT_EQ(TransferNames({&parent, &disk}, false, "\\", folder), (std::vector<std::string>{"C:\\data\\a.txt"}));
    EXPECT_TRUE(TransferNames({&parent}, true, "\\", folder).empty());
}

TEST(Transfer, AnOfferHoldsWhileTheArchiveIsTheSameFileUnchanged)
{
    ArchiveStamp offered{"C:\\x\\a.j", true, 100, 5000};
    ArchiveStamp now = offered;
    EXPECT_TRUE(OfferHolds(offered, now));
    now.path = "c:\\X\\A.J";  // Windows names fold case
    EXPECT_TRUE(OfferHolds(offered, now));
    now.writeTime = 5001;
    EXPECT_FALSE(OfferHolds(offered, now));
    now = offered;
    now.size = 101;
    EXPECT_FALSE(OfferHolds(offered, now));
    now = offered;
    now.exists = false;  // deleted, or renamed away
    EXPECT_FALSE(OfferHolds(offered, now));
    EXPECT_FALSE(OfferHolds(ArchiveStamp(), ArchiveStamp()));
}

TEST(Transfer, PastingFilesIntoTheirOwnFolderRenamesCopies)
{
    EXPECT_TRUE(PasteRenamesOnCollision({"C:\\d\\a.txt", "C:\\D\\b"}, "C:\\d"));
    EXPECT_FALSE(PasteRenamesOnCollision({"C:\\d\\a.txt", "C:\\e\\b"}, "C:\\d"));
    EXPECT_FALSE(PasteRenamesOnCollision({"C:\\d\\sub\\a.txt"}, "C:\\d"));
    EXPECT_FALSE(PasteRenamesOnCollision({}, "C:\\d"));
}

TEST(ParentRow, PresenceImagesAndTitles)
{
    EXPECT_TRUE(HasParentRow(true, "C:"));
    EXPECT_FALSE(HasParentRow(false, "C:"));
    EXPECT_TRUE(HasParentRow(false, "C:\\x"));
    EXPECT_EQ(ParentRowImage(true, "\\"), 2);
    EXPECT_EQ(ParentRowImage(true, "\\docs"), 0);
    EXPECT_EQ(ParentRowImage(false, "\\"), 0);
    EXPECT_EQ(ArchiveTitle("C:\\a.j", "\\"), "Torvex - C:\\a.j --> \\");
    EXPECT_EQ(ArchiveTitle("C:\\data\\a.j", "\\docs"), "Torvex - C:\\data\\a.j --> \\docs");
    EXPECT_EQ(DiskTitle("C:"), "Torvex - C:\\");
    EXPECT_EQ(DiskTitle("C:\\data"), "Torvex - C:\\data\\");
    // A drive letter typed in a setting shows as the drive combo shows it.
    EXPECT_EQ(NormalizeDiskFolder("c:\\"), "C:");
    EXPECT_EQ(NormalizeDiskFolder("c:\\data\\"), "C:\\data");
    EXPECT_EQ(NormalizeDiskFolder("c:"), "C:");
    EXPECT_EQ(NormalizeDiskFolder("D:\\x"), "D:\\x");
    EXPECT_EQ(NormalizeDiskFolder("\\\\server\\share\\"), "\\\\server\\share");
}

TEST(ViewTexts, AStartFolderGoneSinceFallsBackToItsNearestExistingParent)
{
    std::vector<std::string> asked;
    auto existing = [&](std::vector<std::string> there) {
        return [&asked, there](const std::string& f) {
            asked.push_back(f);
            return std::find(there.begin(), there.end(), f) != there.end();
        };
    };
    EXPECT_EQ(StartupDiskFolder("c:\\data\\old\\deeper\\", existing({"C:", "C:\\data"})), "C:\\data");
    EXPECT_EQ(asked, (std::vector<std::string>{"C:\\data\\old\\deeper", "C:\\data\\old", "C:\\data"}));
    EXPECT_EQ(StartupDiskFolder("C:\\data", existing({"C:", "C:\\data"})), "C:\\data");
    EXPECT_EQ(StartupDiskFolder("C:\\gone", existing({"C:"})), "C:");
    // A drive that does not answer is shown as it is (its list is empty).
    EXPECT_EQ(StartupDiskFolder("q:\\gone\\too", existing({})), "Q:");
    EXPECT_EQ(StartupDiskFolder("\\\\server\\share\\x", existing({})), "\\\\server");
}

TEST(Navigation, ArchiveModeDoubleClicks)
{
    NavigationState s;
    s.archiveMode = true;
    s.archivePath = "C:\\data\\a.j";
    s.archiveFolder = "\\docs\\img";
    ClickDecision d = DecideDoubleClick(s, ParentRow());
    EXPECT_EQ(d.action, ClickAction::ArchiveUp);
    EXPECT_EQ(d.target, "\\docs");
    s.archiveFolder = "\\docs";
    EXPECT_EQ(DecideDoubleClick(s, ParentRow()).target, "\\");
    s.archiveFolder = "\\";
    d = DecideDoubleClick(s, ParentRow());
    EXPECT_EQ(d.action, ClickAction::LeaveArchive);
    EXPECT_EQ(d.target, "C:\\data");
    s.archivePath = "C:\\a.j";
    EXPECT_EQ(DecideDoubleClick(s, ParentRow()).target, "C:");
    d = DecideDoubleClick(s, Entry("\\src", true));
    EXPECT_EQ(d.action, ClickAction::ArchiveEnter);
    EXPECT_EQ(d.target, "\\src");
    EXPECT_EQ(DecideDoubleClick(s, Entry("\\b.j")).action, ClickAction::OpenArchiveEntry);
}

TEST(Navigation, DiskModeDoubleClicks)
{
    NavigationState s;
    s.diskFolder = "C:\\data";
    s.archivePath = "C:\\data\\a.j";
    s.archiveLoaded = true;
    ClickDecision d = DecideDoubleClick(s, ParentRow());
    EXPECT_EQ(d.action, ClickAction::DiskUp);
    EXPECT_EQ(d.target, "C:");
    d = DecideDoubleClick(s, Entry("C:\\data\\sub", true));
    EXPECT_EQ(d.action, ClickAction::DiskEnter);
    EXPECT_EQ(d.target, "C:\\data\\sub");
    EXPECT_EQ(DecideDoubleClick(s, Entry("C:\\data\\a.j")).action, ClickAction::ShowLoadedArchive);
    // A modified catalogue, a different archive, or nothing loaded: list it anew.
    s.documentModified = true;
    EXPECT_EQ(DecideDoubleClick(s, Entry("C:\\data\\a.j")).action, ClickAction::OpenArchive);
    s.documentModified = false;
    EXPECT_EQ(DecideDoubleClick(s, Entry("C:\\data\\b.j")).action, ClickAction::OpenArchive);
    s.archiveLoaded = false;
    EXPECT_EQ(DecideDoubleClick(s, Entry("C:\\data\\a.j")).action, ClickAction::OpenArchive);
    EXPECT_EQ(DecideDoubleClick(s, Entry("C:\\data\\A.J")).action, ClickAction::OpenDiskFile);
    EXPECT_EQ(DecideDoubleClick(s, Entry("C:\\data\\t.txt")).action, ClickAction::OpenDiskFile);
}

TEST(ListKeys, ControlLettersByModeDeleteInArchivesAndNothingWhileRunningOrRepeating)
{
    auto key = [](bool archive, bool ctrl, unsigned vk, bool running = false, unsigned repeat = 1) {
        return DecideListKey(archive, running, ctrl, vk, repeat);
    };
    EXPECT_EQ(key(true, true, 'E').command, viewcmd::Extract);
    EXPECT_EQ(key(true, true, 'X').command, viewcmd::ExtractTo);
    EXPECT_EQ(key(true, true, 'A').command, 0u);
    EXPECT_EQ(key(false, true, 'A').command, viewcmd::Add);
    EXPECT_EQ(key(false, true, 'X').command, viewcmd::ExtractArchiveTo);
    EXPECT_EQ(key(false, true, 'E').command, 0u);
    EXPECT_EQ(key(true, false, 'E').command, 0u);
    EXPECT_TRUE(key(true, false, VirtualKeyDelete).quickDelete);
    EXPECT_TRUE(key(true, true, VirtualKeyDelete).quickDelete);
    EXPECT_FALSE(key(false, false, VirtualKeyDelete).quickDelete);
    EXPECT_EQ(key(true, true, 'E', true).command, 0u);
    EXPECT_FALSE(key(true, false, VirtualKeyDelete, true).quickDelete);
    EXPECT_EQ(key(true, true, 'E', false, 2).command, 0u);
}

TEST(ListKeys, TypedCharactersMakeOneNameWithinASecondAndOneCharacterCycles)
{
    TypeAhead typing;
    auto feed = [&](char c, unsigned long tick) {
        TypeAhead::Search s = typing.Feed(c, tick);
        return s.wanted + (s.afterFocus ? "+" : "");
    };
    EXPECT_EQ(feed('n', 100), "n+");
    EXPECT_EQ(feed('o', 600), "no");
    EXPECT_EQ(feed('t', 1500), "not");
    EXPECT_EQ(feed('m', 2600), "m+");  // a pause starts a new name
    EXPECT_EQ(feed('m', 2700), "m+");  // the same letter again: the next row it begins
    EXPECT_EQ(feed('o', 2800), "mmo");
}

TEST(FormatThousands, GroupsOfThreeFromTheRight)
{
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(1234), "1,234");
    EXPECT_EQ(FormatThousands(1234567), "1,234,567");
    EXPECT_EQ(FormatThousands(123456), "123,456");
    EXPECT_EQ(FormatThousands(5000000000LL), "5,000,000,000");
    EXPECT_EQ(FormatThousands(-123), "-123");
    EXPECT_EQ(FormatThousands(-1234), "-1,234");
}

} // namespace
