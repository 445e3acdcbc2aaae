#include "app/shell_extensions_dialog.h"

#include "app/shell_registration_win.h"
#include "dialogs/setting_names.h"
#include "framework/controls.h"
#include "resources/resource.h"

ShellExtensionsDialog::ShellExtensionsDialog(SettingsStore& store)
    : ModalDialog(IDD_SHELL_EXTENSIONS), store_(store)
{
    std::string owner = shellreg::ReadDotJOwner();
    if (owner.size() > 79)
        owner.resize(79);  // read as the 80-byte value it has always been
    previousAssociation = shellreg::PreviousAssociation(owner, ReadSetting(store_, setting::ShExtPrevAssoc));
}

void ShellExtensionsDialog::Load()
{
    compressionRate = ReadSetting(store_, setting::ShExtCompression);
    associate = ReadSetting(store_, setting::ShExtAssociate) != 0;
    enableExtraction = ReadSetting(store_, setting::ShExtExtract) != 0;
    enableCompression = ReadSetting(store_, setting::ShExtCompress) != 0;
    skipTopmostDirectory = ReadSetting(store_, setting::ShExtSkipDir) != 0;
}

void ShellExtensionsDialog::Save()
{
    WriteSetting(store_, setting::ShExtCompression, compressionRate);
    WriteSetting(store_, setting::ShExtAssociate, associate ? 1 : 0);
    WriteSetting(store_, setting::ShExtExtract, enableExtraction ? 1 : 0);
    WriteSetting(store_, setting::ShExtCompress, enableCompression ? 1 : 0);
    WriteSetting(store_, setting::ShExtSkipDir, skipTopmostDirectory ? 1 : 0);
    WriteSetting(store_, setting::ShExtPrevAssoc, previousAssociation);
}

bool ShellExtensionsDialog::Register(const std::string& folder, bool associateJ, bool compression, bool extraction)
{
    return shellreg::ApplyRegistration(
        shellreg::PlanRegistration(associateJ, compression, extraction, folder, previousAssociation));
}

bool ShellExtensionsDialog::OnInitDialog()
{
    ComboBox rates(Item(IDC_SHEXT_COMPRESSION).Handle());
    for (const char* rate : {"Best", "Better", "Normal", "Fast"})
        rates.AddString(rate);
    rates.SetCurSel(compressionRate >= 0 && compressionRate <= 3 ? compressionRate : 0);
    Check(IDC_SHEXT_ASSOCIATE, associate);
    Check(IDC_SHEXT_COMPRESS, enableCompression);
    Check(IDC_SHEXT_EXTRACT, enableExtraction);
    Check(IDC_SHEXT_SKIP_DIR, skipTopmostDirectory);
    if (firstRunMode) {
        ::EnableWindow(Item(IDHELP_SHEXT).Handle(), FALSE);
        firstRunMode = false;
    }
    EnableCompressionOptions();
    return true;
}

void ShellExtensionsDialog::EnableCompressionOptions()
{
    bool on = IsChecked(IDC_SHEXT_COMPRESS);
    ::EnableWindow(Item(IDC_SHEXT_COMPRESSION).Handle(), on);
    ::EnableWindow(Item(IDC_SHEXT_SKIP_DIR).Handle(), on);
}

bool ShellExtensionsDialog::OnCommand(UINT id, UINT code)
{
    if (id == IDC_SHEXT_COMPRESS && code == BN_CLICKED) {
        EnableCompressionOptions();
        return true;
    }
    if (id == IDHELP_SHEXT && code == BN_CLICKED) {
        if (openHelp)
            openHelp("#Associate");
        return true;
    }
    return false;
}

void ShellExtensionsDialog::OnOK()
{
    int rate = ComboBox(Item(IDC_SHEXT_COMPRESSION).Handle()).GetCurSel();
    compressionRate = rate >= 0 ? rate : 0;
    associate = IsChecked(IDC_SHEXT_ASSOCIATE);
    enableCompression = IsChecked(IDC_SHEXT_COMPRESS);
    enableExtraction = IsChecked(IDC_SHEXT_EXTRACT);
    skipTopmostDirectory = IsChecked(IDC_SHEXT_SKIP_DIR);
    EndDialog(IDOK);
}
