#include "dialogs/extract_dialog.h"

#include <climits>

#include "dialogs/command_line_dialog.h"
#include "engine/path_helpers.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "resources/resource.h"

namespace {
constexpr int kPathRadios[3] = {IDC_EXTRACT_FULL_PATH, IDC_EXTRACT_PARTIAL_PATH, IDC_EXTRACT_NO_PATH};
constexpr int kWhatRadios[3] = {IDC_EXTRACT_ALL, IDC_EXTRACT_SELECTED, IDC_EXTRACT_FILES_LIST};
constexpr int kUpdateRadios[3] = {IDC_EXTRACT_UPDATE_NONE, IDC_EXTRACT_FRESHEN, IDC_EXTRACT_UPDATE};
const char* const kCriteria[3] = {"Newer files", "Older files", "Date or Size Changed"};

struct ToolTip {
    int id;
    const char* text;
};
const ToolTip kToolTips[] = {
    {IDC_EXTRACT_DIRECTORY, "Directory where the files will be extracted"},
    {IDC_EXTRACT_ALL, "Extract all files in the archive"},
    {IDC_EXTRACT_SELECTED, "Extract only selected files"},
    {IDC_EXTRACT_FILES_LIST, "Extract only files in the files list"},
    {IDC_EXTRACT_UPDATE_NONE, "Overwrite all existing files"},
    {IDC_EXTRACT_FRESHEN, "Freshen existing files "},
    {IDC_EXTRACT_UPDATE, "Update existing files"},
    {IDC_EXTRACT_CRITERION, "Select freshen/update method"},
    {IDC_EXTRACT_FULL_PATH, "Extract files with their full path in the archive"},
    {IDC_EXTRACT_PARTIAL_PATH, "Extract files with their partial path in the archive (see Help)"},
    {IDC_EXTRACT_NO_PATH, "Extract files with no path"},
    {IDC_EXTRACT_OVERWRITE, "Overwrite files without prompting"},
    {IDC_EXTRACT_LIST_ONLY, "Don't extract files, generate a list file"},
    {IDC_EXTRACT_COMMAND_LINE, "Use custom command line"},
    {IDC_EXTRACT_EDIT, "Define a custom command line"},
    {IDC_EXTRACT_FROM, "First chapter to be extracted"},
    {IDC_EXTRACT_TO, "Last chapter to be extracted (see Help for details)"},
};

int CheckedOf(const ModalDialog& d, const int (&ids)[3])
{
    for (int i = 0; i < 3; ++i) {
        if (d.IsChecked(ids[i]))
            return i;
    }
    return 0;
}

void CheckOne(const ModalDialog& d, const int (&ids)[3], int which)
{
    for (int i = 0; i < 3; ++i)
        d.Check(ids[i], i == which);
}

// "From" as the standard integer check reads it; false when refused.
bool ReadChapterFrom(const std::string& text, int& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        PromptUser("Please enter an integer.", prompt::IconExclamation);
        return false;
    }
    long long n = ChapterNumber(text);
    if (n < 1 || n > INT_MAX) {
        PromptUser(kChapterRangeMessage, prompt::IconExclamation);
        return false;
    }
    value = static_cast<int>(n);
    return true;
}
} // namespace

ExtractDialog::ExtractDialog() : ModalDialog(IDD_EXTRACT) {}

std::string ExtractDialog::BuildSwitches(bool recurse) const
{
    ExtractSwitchOptions o;
    o.pathOption = pathOption;
    o.directory = directory;
    o.overwriteWithoutPrompting = overwriteWithoutPrompting;
    o.updateMode = updateMode;
    o.updateCriterion = updateCriterion;
    o.extractChapters = extractChapters;
    o.chapterFrom = chapterFrom;
    o.chapterTo = chapterTo;
    o.currentChapter = currentChapter;
    o.wholeArchiveMode = wholeArchiveMode;
    o.recurse = recurse;
    return BuildExtractSwitches(o);
}

bool ExtractDialog::OnInitDialog()
{
    initialising_ = true;
    listFileOnly = false;
    useCommandLine = false;
    commandLine.clear();

    CheckOne(*this, kWhatRadios, extractWhat);
    CheckOne(*this, kUpdateRadios, updateMode);
    CheckOne(*this, kPathRadios, static_cast<int>(pathOption));
    Check(IDC_EXTRACT_OVERWRITE, overwriteWithoutPrompting);
    Check(IDC_EXTRACT_LIST_ONLY, listFileOnly);
    Check(IDC_EXTRACT_COMMAND_LINE, useCommandLine);
    Check(IDC_EXTRACT_CHAPTERS, extractChapters);
    SetItemText(IDC_EXTRACT_FROM, std::to_string(chapterFrom));
    SetItemText(IDC_EXTRACT_TO, chapterTo);

    Item(IDC_EXTRACT_SELECTED).Enable(selectionAvailable);
    Item(IDC_EXTRACT_FILES_LIST).Enable(filesListAvailable);
    if (helpDisabledOnce)
        Item(IDC_EXTRACT_HELP).Enable(false);
    helpDisabledOnce = false;

    ComboBox criteria(Item(IDC_EXTRACT_CRITERION).Handle());
    for (const char* text : kCriteria)
        criteria.AddString(text);
    criteria.Enable(updateMode != extractopt::UpdateNone);
    criteria.SetCurSel(updateCriterion);

    ComboBox directories(Item(IDC_EXTRACT_DIRECTORY).Handle());
    for (const std::string& folder : directoryPool.ComboEntries())
        directories.AddString(folder);
    directories.SetText(directory);

    UpdateEditButton();
    if (wholeArchiveMode) {
        for (int id : {IDC_EXTRACT_SELECTED, IDC_EXTRACT_FILES_LIST, IDC_EXTRACT_PARTIAL_PATH, IDC_EXTRACT_LIST_ONLY})
            Item(id).Enable(false);
    }
    ApplyPathOptionRule();
    initialising_ = false;
    RunChapterRules(false);
    CreateToolTips();
    return true;
}

void ExtractDialog::CreateToolTips()
{
    // TTF_SUBCLASS: the tool tip sees the controls' mouse messages itself.
    HWND tip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, nullptr, nullptr);
    if (!tip)
        return;
    for (const ToolTip& t : kToolTips) {
        TOOLINFOA info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = Handle();
        info.uId = (UINT_PTR)Item(t.id).Handle();
        info.lpszText = const_cast<char*>(t.text);
        ::SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&info);
    }
    ::SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
}

void ExtractDialog::UpdateEditButton()
{
    Item(IDC_EXTRACT_EDIT).Enable(IsChecked(IDC_EXTRACT_COMMAND_LINE));
}

void ExtractDialog::ApplyPathOptionRule()
{
    // A custom line cannot be combined with partial paths, which this program carries out.
    if (IsChecked(IDC_EXTRACT_PARTIAL_PATH)) {
        Check(IDC_EXTRACT_COMMAND_LINE, false);
        Item(IDC_EXTRACT_COMMAND_LINE).Enable(false);
    } else {
        Item(IDC_EXTRACT_COMMAND_LINE).Enable(true);
    }
    UpdateEditButton();
}

void ExtractDialog::RunChapterRules(bool fromChanged)
{
    if (initialising_)
        return;
    std::string from = ItemText(IDC_EXTRACT_FROM);
    ChapterRuleResult r = ApplyChapterRules(from, ItemText(IDC_EXTRACT_TO), IsChecked(IDC_EXTRACT_CHAPTERS), fromChanged);
    if (r.toReplaced)
        SetItemText(IDC_EXTRACT_TO, from);
    if (!r.partialPathAllowed) {
        Item(IDC_EXTRACT_PARTIAL_PATH).Enable(false);
        if (IsChecked(IDC_EXTRACT_PARTIAL_PATH)) {
            CheckOne(*this, kPathRadios, static_cast<int>(PathOption::Full));
            ApplyPathOptionRule();
        }
    } else {
        // A whole archive is extracted by the archiver alone, with its stored paths: partial
        // paths are not offered then.
        Item(IDC_EXTRACT_PARTIAL_PATH).Enable(!wholeArchiveMode);
    }
}

PathOption ExtractDialog::CheckedPathOption() const { return static_cast<PathOption>(CheckedOf(*this, kPathRadios)); }
int ExtractDialog::CheckedUpdateMode() const { return CheckedOf(*this, kUpdateRadios); }

bool ExtractDialog::OnCommand(UINT id, UINT code)
{
    switch (id) {
    case IDC_EXTRACT_FROM:
    case IDC_EXTRACT_TO:
        if (code == EN_CHANGE)
            RunChapterRules(id == IDC_EXTRACT_FROM);
        return true;
    case IDC_EXTRACT_CHAPTERS:
        if (code == BN_CLICKED)
            RunChapterRules(false);
        return true;
    case IDC_EXTRACT_COMMAND_LINE:
        if (code == BN_CLICKED)
            UpdateEditButton();
        return true;
    case IDC_EXTRACT_FULL_PATH:
    case IDC_EXTRACT_PARTIAL_PATH:
    case IDC_EXTRACT_NO_PATH:
        if (code == BN_CLICKED)
            ApplyPathOptionRule();
        return true;
    case IDC_EXTRACT_UPDATE_NONE:
    case IDC_EXTRACT_FRESHEN:
    case IDC_EXTRACT_UPDATE:
        if (code == BN_CLICKED)
            Item(IDC_EXTRACT_CRITERION).Enable(id != IDC_EXTRACT_UPDATE_NONE);
        return true;
    case IDC_EXTRACT_BROWSE:
        if (code == BN_CLICKED)
            OnBrowse();
        return true;
    case IDC_EXTRACT_EDIT:
        if (code == BN_CLICKED)
            OnEditCommandLine();
        return true;
    case IDC_EXTRACT_HELP:
        if (code == BN_CLICKED) {
            if (onHelp)
                onHelp(Handle());
            else if (HWND owner = ::GetWindow(Handle(), GW_OWNER))
                ::SendMessageA(owner, WM_COMMAND, ID_HELP, 0);
        }
        return true;
    default:
        return false;
    }
}

void ExtractDialog::RememberDirectoryInList(const std::string& folder)
{
    ComboBox combo(Item(IDC_EXTRACT_DIRECTORY).Handle());
    if (combo.FindStringExact(folder) != CB_ERR)
        return;
    directoryPool.PushFront(folder);
    combo.DeleteString(HistoryPool::kSlots - 1);
    combo.InsertString(0, folder);
    FitComboDropHeight(combo);
}

void ExtractDialog::OnBrowse()
{
    if (!pickFolder)
        return;
    std::string folder = BrowseStartFolder(ItemText(IDC_EXTRACT_DIRECTORY), extractLast ? *extractLast : std::string(),
                                           [](const std::string& f) { return PathExists(f); });
    if (!pickFolder(Handle(), folder))
        return;
    SetItemText(IDC_EXTRACT_DIRECTORY, folder);
    RememberDirectoryInList(folder);
}

void ExtractDialog::OnEditCommandLine()
{
    // The line is built from what the controls show now, not from the fields.
    if (IsChecked(IDC_EXTRACT_CHAPTERS)) {
        std::string refusal = ChapterRangeRefusal(ItemText(IDC_EXTRACT_FROM), ItemText(IDC_EXTRACT_TO));
        if (!refusal.empty()) {
            PromptUser(refusal, prompt::IconExclamation);
            return;
        }
    }
    ExtractSwitchOptions o;
    o.pathOption = CheckedPathOption();
    o.directory = ItemText(IDC_EXTRACT_DIRECTORY);
    o.overwriteWithoutPrompting = IsChecked(IDC_EXTRACT_OVERWRITE);
    o.updateMode = CheckedUpdateMode();
    int criterion = ComboBox(Item(IDC_EXTRACT_CRITERION).Handle()).GetCurSel();
    o.updateCriterion = criterion < 0 ? 0 : criterion;
    o.extractChapters = IsChecked(IDC_EXTRACT_CHAPTERS);
    o.chapterFrom = static_cast<int>(ChapterNumber(ItemText(IDC_EXTRACT_FROM)));
    o.chapterTo = ItemText(IDC_EXTRACT_TO);
    o.currentChapter = currentChapter;
    o.wholeArchiveMode = wholeArchiveMode;
    commandLine = BuildExtractSwitches(o);

    EditCommandLine(Handle(), commandLinePool, commandLine);
}

void ExtractDialog::OnOK()
{
    std::string folder = ItemText(IDC_EXTRACT_DIRECTORY);
    std::string from = ItemText(IDC_EXTRACT_FROM);
    std::string refusal = ExtractOkRefusal(folder, IsChecked(IDC_EXTRACT_CHAPTERS), from, ItemText(IDC_EXTRACT_TO));
    if (!refusal.empty()) {
        PromptUser(refusal, prompt::IconExclamation);
        return;
    }
    // Checked before anything is recorded, so a refused OK changes nothing.
    int fromValue = 0;
    if (!ReadChapterFrom(from, fromValue)) {
        ::SetFocus(Item(IDC_EXTRACT_FROM).Handle());
        return;
    }
    if (ComboBox(Item(IDC_EXTRACT_DIRECTORY).Handle()).FindStringExact(folder) == CB_ERR)
        directoryPool.PushFront(folder);
    if (extractLast)
        *extractLast = folder;

    directory = folder;
    extractWhat = CheckedOf(*this, kWhatRadios);
    updateMode = CheckedUpdateMode();
    pathOption = CheckedPathOption();
    overwriteWithoutPrompting = IsChecked(IDC_EXTRACT_OVERWRITE);
    listFileOnly = IsChecked(IDC_EXTRACT_LIST_ONLY);
    useCommandLine = IsChecked(IDC_EXTRACT_COMMAND_LINE);
    int criterion = ComboBox(Item(IDC_EXTRACT_CRITERION).Handle()).GetCurSel();
    updateCriterion = criterion < 0 ? 0 : criterion;
    extractChapters = IsChecked(IDC_EXTRACT_CHAPTERS);
    chapterFrom = fromValue;
    chapterTo = ItemText(IDC_EXTRACT_TO);
    EndDialog(IDOK);

    if (!(useCommandLine && !commandLine.empty()))
        commandLine = BuildSwitches();
}
