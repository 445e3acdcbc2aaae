#include "dialogs/add_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "dialogs/command_line_dialog.h"
#include "dialogs/directories_settings.h"
#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "resources/resource.h"
#include "resources/message_texts.h"

namespace {

const char* const kActions[] = {"Add", "Update", "Freshen", "Add chapter"};
const char* const kCompressions[] = {"Best", "Better", "Normal", "Fast"};
const char* const kVolumeSizes[] = {"AutoDetect", "362 Kb", "730 Kb", "1213 Kb", "1457 Kb", "1714 Kb"};
const int kPathRadios[] = {IDC_ADD_FULL_PATH, IDC_ADD_PARTIAL_PATH, IDC_ADD_NO_PATH};

struct ToolTip {
    int id;
    const char* text;
};
const ToolTip kToolTips[] = {
    {IDC_ADD_VOLUME, "Volume size in thousand bytes"},
    {IDC_ADD_SHOW_TREE, "Toggles the display of the archive tree"},
    {IDC_ADD_LIST_FILE_ONLY, "Don't create an archive, generate a list file"},
    {IDC_ADD_PATH_IN_ARCHIVE, "Directory in the archive where the files will be added"},
    {IDC_ADD_USE_FILES_LIST, "Add the files in the files list"},
    {IDC_ADD_COMPRESSION, "Compression rate"},
    {IDC_ADD_ARCHIVE_NAME, "Name of the archive where the files will be added"},
    {IDC_ADD_SPAN, "Create multiple volumes archive"},
    {IDC_ADD_FORMAT, "Full formats each disk (first disk must be formatted)"},
    {IDC_ADD_WIPE, "Delete all files in each disk"},
    {IDC_ADD_COMMAND_LINE, "Use custom command line"},
    {IDC_ADD_EDIT_LINE, "Define a custom command line"},
    {IDC_ADD_ACTION, "Select the update method"},
    {IDC_ADD_FULL_PATH, "Add files with their full path on disk"},
    {IDC_ADD_PARTIAL_PATH, "Add files with their partial path (see Help)"},
    {IDC_ADD_NO_PATH, "Add files with no path"},
    {IDC_ADD_TREE, "Select the directory in the archive where the files will be added"},
    {IDC_ADD_ARCHIVE_COMMENT, "Enter archive comment, NUL to erase comment, empty for interactive commentting"},
    {IDC_ADD_CHAPTER_COMMENT, "Enter chapter comment, NUL to erase comment, empty for interactive commentting"},
};

UINT DriveType(const std::string& root)
{
    return ::GetDriveTypeW(root.empty() ? nullptr : WideText(root).c_str());
}

void FillCombo(HWND combo, const char* const* items, size_t count)
{
    ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < count; ++i)
        ::SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)items[i]);
}

std::string TreeItemLabel(HWND tree, HTREEITEM item)
{
    // A label is one archive directory's name: a name, not a path, but of any length.
    std::string buffer(32768, '\0');
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buffer.data();
    tv.cchTextMax = (int)buffer.size();
    TreeView_GetItem(tree, &tv);
    return buffer.c_str();
}

HTREEITEM InsertTreeItem(HWND tree, HTREEITEM parent, const std::string& label)
{
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(label.c_str());
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 1;
    return (HTREEITEM)::SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
}

// The subdirectories of `directory`, each with everything below it.
void InsertDirectories(HWND tree, HTREEITEM parent, const DirectoryMap& directories, const std::string& directory)
{
    const EntryList* entries = directories.Find(directory);
    if (!entries)
        return;
    for (const auto& entry : *entries)
        if (entry->IsDirectory())
            InsertDirectories(tree, InsertTreeItem(tree, parent, LeafName(entry->Path)), directories, entry->Path);
}

} // namespace

bool IsFixedDrive(const std::string& root)
{
    return DriveType(root) == DRIVE_FIXED;
}

bool IsRemovableDrive(const std::string& root)
{
    return DriveType(root) == DRIVE_REMOVABLE;
}

AddDialog::AddDialog() : ModalDialog("Add") {}

AddCommandEnvironment AddDialog::Environment() const
{
    AddCommandEnvironment env;
    if (directories) {
        env.tempDir = directories->tempDir;
        env.tempEdit = directories->tempEdit;
    }
    env.systemTemp = SystemTempFolder();
    env.isFixedDrive = IsFixedDrive;
    return env;
}

bool AddDialog::OnInitDialog()
{
    initializing_ = true;
    interactiveComment = false;
    listFileOnly = false;
    useCommandLine = false;
    commandLine.clear();
    commentFiles.clear();
    if (!spanArchive && IsRemovableDrive(DriveRoot(archiveName))) {
        spanArchive = true;
        volumeSize = kAutoDetectVolume;
    }
    commentArchive = false;
    commentChapter = false;

    FillCombo(Item(IDC_ADD_ACTION).Handle(), kActions, std::size(kActions));
    FillCombo(Item(IDC_ADD_COMPRESSION).Handle(), kCompressions, std::size(kCompressions));
    FillCombo(Item(IDC_ADD_VOLUME).Handle(), kVolumeSizes, std::size(kVolumeSizes));
    Item(IDC_ADD_ACTION).Send(CB_SETCURSEL, action);
    Item(IDC_ADD_COMPRESSION).Send(CB_SETCURSEL, compression);
    SetItemText(IDC_ADD_ARCHIVE_NAME, archiveName);
    SetItemText(IDC_ADD_VOLUME, volumeSize);
    for (int i = 0; i < 3; ++i)
        Check(kPathRadios[i], static_cast<int>(pathOption) == i);
    Check(IDC_ADD_USE_FILES_LIST, useFilesList);
    Check(IDC_ADD_SPAN, spanArchive);
    Check(IDC_ADD_FORMAT, formatDisk);
    Check(IDC_ADD_WIPE, wipeDisk);
    Check(IDC_ADD_SHOW_TREE, archiveTree);
    Check(IDC_ADD_LIST_FILE_ONLY, false);
    Check(IDC_ADD_COMMAND_LINE, false);
    Check(IDC_ADD_COMMENT_ARCHIVE, false);
    Check(IDC_ADD_COMMENT_CHAPTER, false);
    SetItemText(IDC_ADD_ARCHIVE_COMMENT, archiveComment);
    SetItemText(IDC_ADD_CHAPTER_COMMENT, chapterComment);
    SetItemText(IDC_ADD_PATH_IN_ARCHIVE, pathInArchive);

    Item(IDC_ADD_USE_FILES_LIST).Enable(filesListAvailable);
    bool archiveShown = document && document->archiveMode;
    if (dropMode && archiveShown) {
        spanArchive = false;
        Check(IDC_ADD_SPAN, false);
        Item(IDC_ADD_SPAN).Enable(false);
    }
    UpdateSpanControls();
    if (smallIcons)
        TreeView_SetImageList(Item(IDC_ADD_TREE).Handle(), smallIcons, TVSIL_NORMAL);
    if (!dropMode) {
        if (archiveTree)
            FillTree(archiveName);
        else
            SetItemText(IDC_ADD_PATH_IN_ARCHIVE, "\\");
    }
    Item(IDC_ADD_EDIT_LINE).Enable(false);
    if (dropMode) {
        if (archiveShown) {
            Item(IDC_ADD_ARCHIVE_NAME).Enable(false);
            Item(IDC_ADD_BROWSE).Enable(false);
        }
        Item(IDC_ADD_USE_FILES_LIST).Enable(false);
    }
    CreateToolTips();
    initializing_ = false;
    return true;
}

void AddDialog::CreateToolTips()
{
    HWND tips = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, nullptr, nullptr);
    tips_ = tips;
    ::GetCursorPos(&cursorAtOpening_);
    if (!tips)
        return;
    for (const ToolTip& tip : kToolTips) {
        TTTOOLINFOA info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = Handle();
        info.uId = (UINT_PTR)Item(tip.id).Handle();
        info.lpszText = const_cast<char*>(tip.text);
        ::SendMessageA(tips, TTM_ADDTOOLA, 0, (LPARAM)&info);
    }
    ::SendMessageA(tips, TTM_ACTIVATE, FALSE, 0);
}

void AddDialog::UpdateSpanControls()
{
    bool span = IsChecked(IDC_ADD_SPAN);
    SpanControls controls = DecideSpanControls(span, IsFixedDrive(DriveRoot(ItemText(IDC_ADD_ARCHIVE_NAME))));
    Item(IDC_ADD_VOLUME).Enable(controls.volumeEnabled);
    for (int id : {IDC_ADD_FORMAT, IDC_ADD_WIPE}) {
        if (!controls.diskOptionsEnabled)
            Check(id, false);
        Item(id).Enable(controls.diskOptionsEnabled);
    }
}

void AddDialog::ApplyTreeRule()
{
    std::string name = ItemText(IDC_ADD_ARCHIVE_NAME);
    if (!NamesAnArchive(name)) {
        TreeView_DeleteAllItems(Item(IDC_ADD_TREE).Handle());
        SetItemText(IDC_ADD_PATH_IN_ARCHIVE, "\\");
    } else if (IsChecked(IDC_ADD_SHOW_TREE)) {
        FillTree(name);
    }
}

void AddDialog::FillTree(const std::string& archive)
{
    HWND tree = Item(IDC_ADD_TREE).Handle();
    TreeView_DeleteAllItems(tree);
    // Listed into a catalogue of its own: the archive the window shows stays as it is.
    std::optional<ArchiveCatalogue> listed;
    if (document && !archive.empty() && PathExists(archive))
        listed = document->ListArchive(archive);
    HTREEITEM root = InsertTreeItem(tree, TVI_ROOT, "\\");
    const ChapterInfo* chapter = listed ? listed->Chapter(listed->LastChapter) : nullptr;
    if (chapter)
        InsertDirectories(tree, root, chapter->Directories, "\\");
    TreeView_SelectItem(tree, root);
    TreeView_Expand(tree, root, TVE_EXPAND);
    SetItemText(IDC_ADD_PATH_IN_ARCHIVE, "\\");
}

bool AddDialog::OnMessage(UINT msg, WPARAM, LPARAM lp, INT_PTR& result)
{
    if (msg == WM_SETCURSOR && tips_) {
        POINT now{};
        if (::GetCursorPos(&now) && (now.x != cursorAtOpening_.x || now.y != cursorAtOpening_.y)) {
            ::SendMessageA(tips_, TTM_ACTIVATE, TRUE, 0);
            tips_ = nullptr;
        }
        return false;
    }
    if (msg != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(lp);
    if (header->idFrom != IDC_ADD_TREE || header->code != TVN_SELCHANGEDA)
        return false;
    HWND tree = header->hwndFrom;
    std::vector<std::string> labels;
    for (HTREEITEM item = reinterpret_cast<NMTREEVIEWA*>(lp)->itemNew.hItem; item; item = TreeView_GetParent(tree, item))
        labels.insert(labels.begin(), TreeItemLabel(tree, item));
    SetItemText(IDC_ADD_PATH_IN_ARCHIVE, PathInArchiveFromLabels(labels));
    result = 0;
    return true;
}

bool AddDialog::OnCommand(UINT id, UINT code)
{
    switch (id) {
    case IDC_ADD_BROWSE:
        if (code == BN_CLICKED)
            OnBrowse();
        return true;
    case IDC_ADD_SPAN:
        if (code == BN_CLICKED)
            UpdateSpanControls();
        return true;
    case IDC_ADD_FORMAT:
    case IDC_ADD_WIPE:
        // Formatting and wiping each prepare the disk: one of them at most.
        if (code == BN_CLICKED && IsChecked(id))
            Check(id == IDC_ADD_FORMAT ? IDC_ADD_WIPE : IDC_ADD_FORMAT, false);
        return true;
    case IDC_ADD_ARCHIVE_NAME:
        if (code == EN_CHANGE && !initializing_) {
            // A name cut below three characters names no archive: its tree must not linger.
            if (ItemText(IDC_ADD_ARCHIVE_NAME).size() >= 3)
                UpdateSpanControls();
            ApplyTreeRule();
        }
        return true;
    case IDC_ADD_SHOW_TREE:
        if (code == BN_CLICKED)
            ApplyTreeRule();
        return true;
    case IDC_ADD_COMMAND_LINE:
        if (code == BN_CLICKED)
            Item(IDC_ADD_EDIT_LINE).Enable(IsChecked(IDC_ADD_COMMAND_LINE));
        return true;
    case IDC_ADD_EDIT_LINE:
        if (code == BN_CLICKED)
            OnEditCommandLine();
        return true;
    case IDC_ADD_HELP:
        if (code == BN_CLICKED && showHelp)
            showHelp();
        return true;
    default:
        return false;
    }
}

void AddDialog::OnBrowse()
{
    std::string current = ItemText(IDC_ADD_ARCHIVE_NAME);
    std::string folder;
    ParentPath(current, folder);
    std::string start = "c:";
    if (!folder.empty() && PathExists(folder))
        start = folder;
    else if (directories && PathExists(directories->addLast))
        start = directories->addLast;
    std::vector<char> file(32768, '\0');
    std::string leaf = LeafName(current);
    if (leaf.size() < file.size())
        leaf.copy(file.data(), leaf.size());
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = "Jar Archive(*.j)\0*.j\0\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = (DWORD)file.size();
    ofn.lpstrInitialDir = start.c_str();
    ofn.lpstrTitle = "Select an Archive";
    ofn.lpstrDefExt = "j";
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!::GetOpenFileNameA(&ofn))
        return;
    std::string chosen = file.data();
    initializing_ = true;
    SetItemText(IDC_ADD_ARCHIVE_NAME, chosen);
    initializing_ = false;
    if (!IsChecked(IDC_ADD_SPAN) && IsRemovableDrive(DriveRoot(chosen))) {
        Check(IDC_ADD_SPAN, true);
        SetItemText(IDC_ADD_VOLUME, kAutoDetectVolume);
    }
    UpdateSpanControls();
    if (IsChecked(IDC_ADD_SHOW_TREE))
        FillTree(chosen);
}

AddChoices AddDialog::ChoicesFromControls() const
{
    AddChoices c;
    // A combo with nothing chosen counts as its first item.
    c.action = std::max(0, (int)Item(IDC_ADD_ACTION).Send(CB_GETCURSEL));
    c.compression = std::max(0, (int)Item(IDC_ADD_COMPRESSION).Send(CB_GETCURSEL));
    c.archiveName = ItemText(IDC_ADD_ARCHIVE_NAME);
    c.pathOption = IsChecked(IDC_ADD_FULL_PATH) ? PathOption::Full
                   : IsChecked(IDC_ADD_NO_PATH) ? PathOption::None
                                                : PathOption::Partial;
    c.spanArchive = IsChecked(IDC_ADD_SPAN);
    c.formatDisk = IsChecked(IDC_ADD_FORMAT);
    c.wipeDisk = IsChecked(IDC_ADD_WIPE);
    c.volumeSize = ItemText(IDC_ADD_VOLUME);
    c.pathInArchive = ItemText(IDC_ADD_PATH_IN_ARCHIVE);
    c.commentArchive = IsChecked(IDC_ADD_COMMENT_ARCHIVE);
    c.archiveComment = ItemText(IDC_ADD_ARCHIVE_COMMENT);
    c.commentChapter = IsChecked(IDC_ADD_COMMENT_CHAPTER);
    c.chapterComment = ItemText(IDC_ADD_CHAPTER_COMMENT);
    return c;
}

void AddDialog::OnEditCommandLine()
{
    AddChoices choices = ChoicesFromControls();
    if (choices.spanArchive && !VolumeSizeValid(choices.volumeSize)) {
        PromptUser(kVolumeSizeMessage);
        return;
    }
    AddCommand built = BuildAddCommand(choices, Environment());
    RememberCommentFiles(built);
    if (!built.failedFile.empty()) {
        PromptUser(msg::CantCreate(built.failedFile));
        return;
    }
    // The editor's line counts only when the editor says OK: a Cancel keeps what was in force.
    std::string line = built.commandLine;
    if (!EditCommandLine(Handle(), commandLinePool, line))
        return;
    commandLine = line;
    interactiveComment = built.interactiveComment;
}

void AddDialog::RememberCommentFiles(const AddCommand& built)
{
    for (const std::string& file : built.commentFiles) {
        if (std::find(commentFiles.begin(), commentFiles.end(), file) == commentFiles.end())
            commentFiles.push_back(file);
    }
}

void AddDialog::OnCancel()
{
    // Nothing will read them.
    for (const std::string& file : commentFiles)
        ::DeleteFileW(FileSystemPath(file).c_str());
    commentFiles.clear();
    EndDialog(IDCANCEL);
}

void AddDialog::OnOK()
{
    AddChoices c = ChoicesFromControls();
    std::string folder;
    if (!ParentPath(c.archiveName, folder) && folder.empty()) {
        PromptUser(msg::CantCreate(c.archiveName));
        return;
    }
    if (c.spanArchive && !VolumeSizeValid(c.volumeSize)) {
        PromptUser(kVolumeSizeMessage);
        return;
    }
    if (c.pathInArchive.empty())
        c.pathInArchive = "\\";
    bool keepCustomLine = IsChecked(IDC_ADD_COMMAND_LINE) && !commandLine.empty();
    AddCommand built;
    if (!keepCustomLine) {
        built = BuildAddCommand(c, Environment());
        RememberCommentFiles(built);
        if (!built.failedFile.empty()) {
            PromptUser(msg::CantCreate(built.failedFile));
            return;
        }
    }
    // Only an accepted OK leaves a folder behind.
    if (!PathExists(folder) && !CreateDirectoryTree(folder)) {
        PromptUser(msg::CantCreate(folder));
        return;
    }
    if (directories)
        directories->addLast = folder;

    archiveName = c.archiveName;
    action = c.action;
    compression = c.compression;
    pathOption = c.pathOption;
    spanArchive = c.spanArchive;
    formatDisk = c.formatDisk;
    wipeDisk = c.wipeDisk;
    volumeSize = c.volumeSize;
    pathInArchive = c.pathInArchive;
    commentArchive = c.commentArchive;
    archiveComment = c.archiveComment;
    commentChapter = c.commentChapter;
    chapterComment = c.chapterComment;
    useFilesList = IsChecked(IDC_ADD_USE_FILES_LIST);
    listFileOnly = IsChecked(IDC_ADD_LIST_FILE_ONLY);
    archiveTree = IsChecked(IDC_ADD_SHOW_TREE);
    useCommandLine = IsChecked(IDC_ADD_COMMAND_LINE);
    if (!keepCustomLine) {
        commandLine = built.commandLine;
        interactiveComment = built.interactiveComment;
    }
    EndDialog(IDOK);
}
