#include "ui/find_dialog.h"

#include <commctrl.h>

#include "framework/controls.h"
#include "framework/message_box.h"

namespace {
constexpr UINT kSearchDone = WM_APP + 40;
constexpr UINT_PTR kShowTimer = 1;
} // namespace

FindDialog::FindDialog() : ModalDialog(IDD_FIND) {}

FindDialog::~FindDialog()
{
    stop_ = true;
    if (worker_.joinable())
        worker_.join();
}

bool FindDialog::OnInitDialog()
{
    SetItemText(IDC_FIND_PATTERN, pattern);
    Check(allChapters ? IDC_FIND_ALL : IDC_FIND_SHOWN, true);
    ListCtrl list(Results());
    list.SetUpReport({{"Path", 180, LVCFMT_LEFT}, {"Chapters", 65, LVCFMT_LEFT}, {"Size", 70, LVCFMT_RIGHT},
                      {"Modified", 140, LVCFMT_RIGHT}});
    Item(IDC_FIND_HELP).Enable(static_cast<bool>(help));
    SetRunning(false);
    return true;
}

void FindDialog::SetRunning(bool running)
{
    Item(IDC_FIND_START).Enable(!running);
    Item(IDC_FIND_STOP).Enable(running);
    Item(IDC_FIND_GOTO).Enable(!shown_.empty());
}

void FindDialog::Start()
{
    FindQuery query;
    std::string error;
    int chapter = IsChecked(IDC_FIND_ALL) ? 0 : shownChapter;
    if (!ReadFindQuery(ItemText(IDC_FIND_PATTERN), ItemText(IDC_FIND_MIN_SIZE), ItemText(IDC_FIND_MAX_SIZE),
                       ItemText(IDC_FIND_SINCE), chapter, query, error)) {
        PromptUser(error);
        return;
    }
    if (worker_.joinable())
        worker_.join();
    pattern = query.pattern;
    allChapters = chapter == 0;
    shown_.clear();
    pending_.clear();
    ListCtrl(Results()).DeleteAllItems();
    stop_ = false;
    finished_ = false;
    stopped_ = false;
    SetItemText(IDC_FIND_STATUS, "Searching ...");
    SetRunning(true);
    HWND dialog = Handle();
    worker_ = std::thread([this, query, dialog] {
        // A failure the search reports is a question of this dialog.
        SetThreadPromptOwner(dialog);
        FindSink sink(query, [this](FoundEntry found) {
            std::lock_guard<std::mutex> hold(mutex_);
            pending_.push_back(std::move(found));
        }, stop_);
        bool done = search && search(query, sink);
        finished_ = true;
        ::PostMessageA(dialog, kSearchDone, done ? 1 : 0, 0);
    });
    ::SetTimer(Handle(), kShowTimer, 100, nullptr);
}

void FindDialog::Stop()
{
    stop_ = true;
    stopped_ = true;
}

void FindDialog::ShowFound()
{
    std::vector<FoundEntry> found;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        found.swap(pending_);
    }
    ListCtrl list(Results());
    for (FoundEntry& entry : found) {
        int row = list.InsertItem(int(shown_.size()), entry.path, -1, LPARAM(shown_.size()));
        list.SetItemText(row, 1, entry.chapters);
        list.SetItemText(row, 2, entry.size);
        list.SetItemText(row, 3, entry.modified);
        shown_.push_back(std::move(entry));
    }
    if (!found.empty() && list.GetNextItem(-1, LVNI_SELECTED) < 0)
        list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (Searching())
        SetItemText(IDC_FIND_STATUS, "Searching ... " + std::to_string(shown_.size()) + " found");
}

void FindDialog::GoTo()
{
    int row = ListCtrl(Results()).GetNextItem(-1, LVNI_SELECTED);
    if (row < 0 || size_t(row) >= shown_.size())
        return;
    chosen = shown_[size_t(row)];
    Stop();
    EndDialog(IDOK);
}

bool FindDialog::OnCommand(UINT id, UINT code)
{
    (void)code;
    switch (id) {
    case IDC_FIND_START:
        // Enter in the results goes to the chosen one; elsewhere it searches.
        if (::GetFocus() == Results() && !shown_.empty())
            GoTo();
        else if (!Searching())
            Start();
        return true;
    case IDC_FIND_STOP:
        Stop();
        return true;
    case IDC_FIND_GOTO:
        GoTo();
        return true;
    case IDC_FIND_HELP:
        if (help)
            help();
        return true;
    default:
        return false;
    }
}

void FindDialog::OnCancel()
{
    Stop();
    EndDialog(IDCANCEL);
}

bool FindDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result)
{
    switch (msg) {
    case WM_TIMER:
        if (wp != kShowTimer)
            return false;
        ShowFound();
        return true;
    case kSearchDone:
        ::KillTimer(Handle(), kShowTimer);
        if (worker_.joinable())
            worker_.join();
        ShowFound();
        SetItemText(IDC_FIND_STATUS, std::string(stopped_ ? "Stopped: " : wp ? "Done: " : "The search failed: ") +
                                         std::to_string(shown_.size()) + " found");
        SetRunning(false);
        return true;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header->idFrom == IDC_FIND_RESULTS && header->code == NM_DBLCLK) {
            GoTo();
            result = TRUE;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}
