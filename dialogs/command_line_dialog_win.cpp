#include "dialogs/command_line_dialog.h"

#include "framework/controls.h"
#include "resources/resource.h"

CommandLineDialog::CommandLineDialog() : ModalDialog(IDD_COMMAND_LINE) {}

bool CommandLineDialog::OnInitDialog()
{
    ComboBox combo(Item(IDC_COMMAND_LINE_COMBO).Handle());
    if (pool) {
        for (const std::string& line : CommandLineChoices(*pool))
            combo.AddString(line);
    }
    combo.SetText(editText);
    return true;
}

bool CommandLineDialog::OnCommand(UINT id, UINT code)
{
    if (id == IDC_COMMAND_LINE_RESET && code == BN_CLICKED) {
        SetItemText(IDC_COMMAND_LINE_COMBO, resetText);
        return true;
    }
    return false;
}

void CommandLineDialog::OnOK()
{
    // Any text is taken as it stands, even an empty one: the user owns a custom line.
    editText = ItemText(IDC_COMMAND_LINE_COMBO);
    EndDialog(IDOK);
}

bool EditCommandLine(HWND owner, HistoryPool& pool, std::string& line)
{
    CommandLineDialog editor;
    editor.pool = &pool;
    editor.resetText = editor.editText = line;
    if (editor.DoModal(owner) != IDOK)
        return false;
    line = editor.editText;
    pool.Insert(line);
    return true;
}
