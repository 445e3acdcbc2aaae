// The command-line editor, opened and driven as a user would.
#include "dialogs/command_line_dialog.h"

#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "resources/resource.h"

using namespace dialogtest;

TEST(CommandLineDialog, ListsFiveSlotsEditsResetsAndReturnsTheText)
{
    HistoryPool pool;
    pool[0] = " x -y";
    pool[2] = " e -jb2";
    pool[5] = " never listed";
    CommandLineDialog dialog;
    dialog.pool = &pool;
    dialog.resetText = dialog.editText = " x -jb1 -y -o\"c:\\out\" -r-";

    std::vector<std::string> listed;
    std::string shown, afterReset;
    INT_PTR result = 0;
    bool ran = Drive({{"Command Line", [&](HWND box) {
        listed = ComboItems(box, IDC_COMMAND_LINE_COMBO);
        shown = Text(box, IDC_COMMAND_LINE_COMBO);
        SetText(box, IDC_COMMAND_LINE_COMBO, " x -typed");
        Click(box, IDC_COMMAND_LINE_RESET);
        afterReset = Text(box, IDC_COMMAND_LINE_COMBO);
        SetText(box, IDC_COMMAND_LINE_COMBO, " x -y -edited");
        Click(box, IDOK);
    }}}, [&] { result = dialog.DoModal(nullptr); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(listed, (std::vector<std::string>{" x -y", " e -jb2"}));
    EXPECT_EQ(shown, " x -jb1 -y -o\"c:\\out\" -r-");
    EXPECT_EQ(afterReset, " x -jb1 -y -o\"c:\\out\" -r-");
    EXPECT_EQ(dialog.editText, " x -y -edited");
    EXPECT_EQ(pool[5], " never listed");  // the editor never changes the pool
    EXPECT_EQ(pool[1], "");

    // Cancel leaves the text as it was; an empty text is a valid answer.
    ASSERT_TRUE(Drive({{"Command Line", [&](HWND box) {
        SetText(box, IDC_COMMAND_LINE_COMBO, "thrown away");
        Click(box, IDCANCEL);
    }}}, [&] { result = dialog.DoModal(nullptr); }));
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.editText, " x -y -edited");
    ASSERT_TRUE(Drive({{"Command Line", [&](HWND box) {
        SetText(box, IDC_COMMAND_LINE_COMBO, "");
        Click(box, IDOK);
    }}}, [&] { result = dialog.DoModal(nullptr); }));
    EXPECT_EQ(dialog.editText, "");
}
