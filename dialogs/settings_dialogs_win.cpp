#include "dialogs/settings_dialogs_win.h"

#include <commdlg.h>

#include "dialogs/directories_checks.h"
#include "engine/path_helpers.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "resources/resource.h"

namespace {
constexpr int kHelpDirectories = 3;
constexpr int kHelpMiscellaneous = 4;

void CheckOne(const ModalDialog& dialog, std::initializer_list<int> group, int checked)
{
    for (int id : group)
        dialog.Check(id, id == checked);
}

const std::initializer_list<int> kStartupRadios{IDC_DIRS_STARTUP_LAST, IDC_DIRS_STARTUP_FIXED};
const std::initializer_list<int> kAddRadios{IDC_DIRS_ADD_LAST, IDC_DIRS_ADD_CURRENT, IDC_DIRS_ADD_FIXED};
const std::initializer_list<int> kExtractRadios{IDC_DIRS_EXTRACT_LAST, IDC_DIRS_EXTRACT_CURRENT, IDC_DIRS_EXTRACT_FIXED};
const std::initializer_list<int> kTempRadios{IDC_DIRS_TEMP_ARCHIVE, IDC_DIRS_TEMP_FIXED};

// The four groups with radios: typing into the edit, or browsing for it, checks "Directory".
struct RadioGroup {
    int edit;
    const std::initializer_list<int>* radios;
    int directory;
};
const RadioGroup kRadioGroups[] = {
    {IDC_DIRS_ADD_EDIT, &kAddRadios, IDC_DIRS_ADD_FIXED},
    {IDC_DIRS_EXTRACT_EDIT, &kExtractRadios, IDC_DIRS_EXTRACT_FIXED},
    {IDC_DIRS_STARTUP_EDIT, &kStartupRadios, IDC_DIRS_STARTUP_FIXED},
    {IDC_DIRS_TEMP_EDIT, &kTempRadios, IDC_DIRS_TEMP_FIXED},
};

// Checks the "Directory" radio of the edit's group; false for an edit without radios.
bool CheckDirectoryRadio(const ModalDialog& dialog, int edit)
{
    for (const RadioGroup& g : kRadioGroups) {
        if (g.edit == edit) {
            CheckOne(dialog, *g.radios, g.directory);
            return true;
        }
    }
    return false;
}

int CheckedIndex(const ModalDialog& dialog, std::initializer_list<int> group)
{
    int index = 0;
    for (int id : group) {
        if (dialog.IsChecked(id))
            return index;
        ++index;
    }
    return 0;
}

int ClampIndex(int value, int count)
{
    return value < 0 ? 0 : value >= count ? count - 1 : value;
}

bool FolderExists(const std::string& folder)
{
    // A bare drive exists when its free space can be read.
    if (folder.size() == 2 && folder[1] == ':') {
        ULARGE_INTEGER free;
        return GetDiskFreeSpaceExW(WideText(folder + "\\").c_str(), &free, nullptr, nullptr) != 0;
    }
    DWORD attributes = GetFileAttributesW(FileSystemPath(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& file)
{
    DWORD attributes = GetFileAttributesW(FileSystemPath(file).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
} // namespace

DirectoriesDialog::DirectoriesDialog(DirectoriesSettings& settings)
    : ModalDialog(IDD_DIRECTORIES), settings_(settings)
{
}

bool DirectoriesDialog::OnInitDialog()
{
    const DirectoriesSettings& s = settings_;
    CheckOne(*this, kStartupRadios, *(kStartupRadios.begin() + ClampIndex(s.startupDir, 2)));
    CheckOne(*this, kAddRadios, *(kAddRadios.begin() + ClampIndex(s.addDir, 3)));
    CheckOne(*this, kExtractRadios, *(kExtractRadios.begin() + ClampIndex(s.extractDir, 3)));
    CheckOne(*this, kTempRadios, *(kTempRadios.begin() + ClampIndex(s.tempDir, 2)));
    SetItemText(IDC_DIRS_STARTUP_EDIT, s.startupEdit);
    SetItemText(IDC_DIRS_ADD_EDIT, s.addEdit);
    SetItemText(IDC_DIRS_EXTRACT_EDIT, s.extractEdit);
    SetItemText(IDC_DIRS_TEMP_EDIT, s.tempEdit);
    SetItemText(IDC_DIRS_JAR_EDIT, s.jarEdit);
    SetItemText(IDC_DIRS_TORVEX_EDIT, s.torvexEdit);
    if (settings_.firstRunMode || !openHelp) {
        EnableWindow(Item(kHelpDirectories).Handle(), FALSE);
        settings_.firstRunMode = false;
    }
    return true;
}

bool DirectoriesDialog::OnCommand(UINT id, UINT code)
{
    if (code == EN_SETFOCUS)
        return CheckDirectoryRadio(*this, (int)id);
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_DIRS_ADD_BROWSE: Browse(IDC_DIRS_ADD_EDIT, settings_.addLast); return true;
    case IDC_DIRS_EXTRACT_BROWSE: Browse(IDC_DIRS_EXTRACT_EDIT, settings_.extractLast); return true;
    case IDC_DIRS_STARTUP_BROWSE: Browse(IDC_DIRS_STARTUP_EDIT, settings_.startupLast); return true;
    case IDC_DIRS_TEMP_BROWSE: Browse(IDC_DIRS_TEMP_EDIT, "c:"); return true;
    case IDC_DIRS_JAR_BROWSE: Browse(IDC_DIRS_JAR_EDIT, "c:"); return true;
    case IDC_DIRS_TORVEX_BROWSE: Browse(IDC_DIRS_TORVEX_EDIT, "c:"); return true;
    case kHelpDirectories:
        if (openHelp)
            openHelp("#ConfigureTorvex");
        return true;
    default: return false;
    }
}

void DirectoriesDialog::Browse(int editId, const std::string& fallback)
{
    if (!pickFolder)
        return;
    std::string folder = ItemText(editId);
    if (folder.empty() || !PathExists(folder))
        folder = fallback;
    if (!pickFolder(Handle(), folder))
        return;
    SetItemText(editId, folder);
    CheckDirectoryRadio(*this, editId);
}

void DirectoriesDialog::OnOK()
{
    DirectoriesInput in;
    in.addDir = CheckedIndex(*this, kAddRadios);
    in.addEdit = ItemText(IDC_DIRS_ADD_EDIT);
    in.extractDir = CheckedIndex(*this, kExtractRadios);
    in.extractEdit = ItemText(IDC_DIRS_EXTRACT_EDIT);
    in.startupDir = CheckedIndex(*this, kStartupRadios);
    in.startupEdit = ItemText(IDC_DIRS_STARTUP_EDIT);
    in.tempDir = CheckedIndex(*this, kTempRadios);
    in.tempEdit = ItemText(IDC_DIRS_TEMP_EDIT);
    in.jarEdit = ItemText(IDC_DIRS_JAR_EDIT);
    in.torvexEdit = ItemText(IDC_DIRS_TORVEX_EDIT);

    DirectoriesCheck check = CheckDirectories(in, {FolderExists, FileExists});
    // The folders that passed go back into their edits stripped, as the user will see them stored.
    SetItemText(IDC_DIRS_ADD_EDIT, in.addEdit);
    SetItemText(IDC_DIRS_EXTRACT_EDIT, in.extractEdit);
    SetItemText(IDC_DIRS_STARTUP_EDIT, in.startupEdit);
    SetItemText(IDC_DIRS_TEMP_EDIT, in.tempEdit);
    SetItemText(IDC_DIRS_JAR_EDIT, in.jarEdit);
    SetItemText(IDC_DIRS_TORVEX_EDIT, in.torvexEdit);
    if (!check.message.empty()) {
        PromptUser(check.message, prompt::Ok | prompt::IconExclamation);
        return;
    }
    DirectoriesSettings& s = settings_;
    s.addDir = in.addDir;
    s.addEdit = in.addEdit;
    s.extractDir = in.extractDir;
    s.extractEdit = in.extractEdit;
    s.startupDir = in.startupDir;
    s.startupEdit = in.startupEdit;
    s.tempDir = in.tempDir;
    s.tempEdit = in.tempEdit;
    s.jarEdit = in.jarEdit;
    s.torvexEdit = in.torvexEdit;
    EndDialog(IDOK);
}

MiscellaneousDialog::MiscellaneousDialog(MiscellaneousSettings& settings)
    : ModalDialog(IDD_MISCELLANEOUS), settings_(settings)
{
}

bool MiscellaneousDialog::OnInitDialog()
{
    Check(IDC_BEEP_WHEN_FINISHED, settings_.beepWhenFinished != 0);
    SetItemText(IDC_BEEP_MINUTES, std::to_string(settings_.beepMinutes));
    ComboBox rates(Item(IDC_EDITED_COMPRESSION).Handle());
    for (const char* rate : {"Best", "Better", "Normal", "Fast"})
        rates.AddString(rate);
    rates.SetCurSel(ClampIndex(settings_.editedFilesCompression, 4));
    SetItemText(IDC_VIEWER_PATH, settings_.viewerPath);
    Check(IDC_LAUNCH_ASSOCIATED, settings_.doubleClickLaunches != 1);
    Check(IDC_LAUNCH_VIEWER, settings_.doubleClickLaunches == 1);
    if (!openHelp)
        EnableWindow(Item(kHelpMiscellaneous).Handle(), FALSE);
    return true;
}

bool MiscellaneousDialog::OnCommand(UINT id, UINT code)
{
    if (code != BN_CLICKED)
        return false;
    if (id == kHelpMiscellaneous) {
        if (openHelp)
            openHelp("#SetMisc");
        return true;
    }
    if (id != IDC_VIEWER_BROWSE)
        return false;
    std::string file(32768, '\0');  // the longest path the system knows
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = "Executables (*.exe)\0*.exe\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = (DWORD)file.size();
    ofn.lpstrDefExt = "exe";
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (GetOpenFileNameA(&ofn))
        SetItemText(IDC_VIEWER_PATH, file.c_str());
    return true;
}

void MiscellaneousDialog::OnOK()
{
    std::optional<int> minutes = ParseBeepMinutes(ItemText(IDC_BEEP_MINUTES));
    if (!minutes) {
        PromptUser("Please enter an integer between 0 and 32000.", prompt::Ok | prompt::IconExclamation);
        SetFocus(Item(IDC_BEEP_MINUTES).Handle());
        SendMessageA(Item(IDC_BEEP_MINUTES).Handle(), EM_SETSEL, 0, -1);
        return;
    }
    settings_.beepWhenFinished = IsChecked(IDC_BEEP_WHEN_FINISHED) ? 1 : 0;
    settings_.beepMinutes = *minutes;
    settings_.editedFilesCompression =
        ClampIndex(ComboBox(Item(IDC_EDITED_COMPRESSION).Handle()).GetCurSel(), 4);
    settings_.viewerPath = ItemText(IDC_VIEWER_PATH);
    settings_.doubleClickLaunches = IsChecked(IDC_LAUNCH_VIEWER) ? 1 : 0;
    EndDialog(IDOK);
}
