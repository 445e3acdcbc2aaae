#include "ui/compare_dialog.h"

#include "engine/archive_catalogue.h"
#include "framework/controls.h"
#include "framework/message_box.h"

namespace {

void FillChapters(ComboBox combo, const std::vector<int>& chapters, int chosen)
{
    for (int n : chapters) {
        int item = combo.AddString(ChapterLabel(n));
        combo.SetItemData(item, n);
        if (n == chosen)
            combo.SetCurSel(item);
    }
    FitComboDropHeight(combo);
}

int ChosenChapter(ComboBox combo)
{
    int item = combo.GetCurSel();
    return item < 0 ? 0 : int(combo.GetItemData(item));
}

} // namespace

bool CompareDialog::OnInitDialog()
{
    FillChapters(ComboBox(Item(IDC_COMPARE_OLDER).Handle()), chapters, older);
    FillChapters(ComboBox(Item(IDC_COMPARE_NEWER).Handle()), chapters, newer);
    Check(IDC_COMPARE_UNCHANGED, withUnchanged);
    Item(IDC_COMPARE_HELP).Enable(static_cast<bool>(help));
    return true;
}

bool CompareDialog::OnCommand(UINT id, UINT)
{
    if (id != IDC_COMPARE_HELP)
        return false;
    if (help)
        help();
    return true;
}

void CompareDialog::OnOK()
{
    int first = ChosenChapter(ComboBox(Item(IDC_COMPARE_OLDER).Handle()));
    int second = ChosenChapter(ComboBox(Item(IDC_COMPARE_NEWER).Handle()));
    if (first == 0 || second == 0 || first == second) {
        // A chapter compared with itself shows nothing: the dialog stays for another choice.
        PromptUser("Choose two different chapters to compare.", prompt::Ok | prompt::IconExclamation);
        return;
    }
    older = first;
    newer = second;
    withUnchanged = IsChecked(IDC_COMPARE_UNCHANGED);
    EndDialog(IDOK);
}
