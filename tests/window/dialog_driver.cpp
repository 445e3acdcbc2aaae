#include "dialog_driver.h"

#include <commctrl.h>

#include <chrono>
#include <deque>

namespace dialogtest {
namespace {

struct Driver {
    std::deque<Step> steps;
    bool busy = false;
    std::chrono::steady_clock::time_point deadline;
    bool timedOut = false;
};
Driver* current = nullptr;

HWND FindDialog(const std::string& caption)
{
    struct Search {
        const std::string* caption;
        HWND found;
    } search{&caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        char cls[32] = {}, text[256] = {};
        GetClassNameA(w, cls, sizeof cls);
        GetWindowTextA(w, text, sizeof text);
        // The enabled one: a dialog under a nested modal dialog is disabled.
        if (std::string(cls) == "#32770" && *s->caption == text && IsWindowVisible(w) && IsWindowEnabled(w)) {
            s->found = w;
            return FALSE;
        }
        return TRUE;
    }, (LPARAM)&search);
    return search.found;
}

void CancelOpenDialogs()
{
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM) -> BOOL {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (std::string(cls) == "#32770" && IsWindowVisible(w))
            PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }, 0);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Driver* d = current;
    if (!d || d->busy)
        return;
    if (std::chrono::steady_clock::now() > d->deadline) {
        d->timedOut = true;
        CancelOpenDialogs();
        return;
    }
    if (d->steps.empty())
        return;
    HWND box = FindDialog(d->steps.front().caption);
    if (!box)
        return;
    Step step = std::move(d->steps.front());
    d->steps.pop_front();
    d->busy = true;
    step.act(box);
    d->busy = false;
}

} // namespace

bool Drive(const std::vector<Step>& steps, const std::function<void()>& body, int timeoutMs)
{
    Driver driver;
    driver.steps.assign(steps.begin(), steps.end());
    driver.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    Driver* outer = current;
    current = &driver;
    UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
    body();
    KillTimer(nullptr, timer);
    current = outer;
    return driver.steps.empty() && !driver.timedOut;
}

std::string Text(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(item);
    std::string text(length + 1, '\0');
    GetWindowTextA(item, text.data(), length + 1);
    text.resize(length);
    return text;
}

void SetText(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PostClick(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

std::vector<std::string> ComboItems(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    std::vector<std::string> items;
    int count = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        int length = (int)SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
        std::string text(length + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, i, (LPARAM)text.data());
        text.resize(length);
        items.push_back(text);
    }
    return items;
}

std::vector<std::string> ListItems(HWND dialog, int id)
{
    HWND list = GetDlgItem(dialog, id);
    std::vector<std::string> items;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH] = {};
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
        items.push_back(text);
    }
    return items;
}

std::string ToolTipText(HWND dialog, int id)
{
    struct Search {
        HWND dialog;
        HWND tip;
    } search{dialog, nullptr};
    // The tool tip is a window of this thread owned by the dialog.
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (std::string(cls) == TOOLTIPS_CLASSA && GetWindow(w, GW_OWNER) == s->dialog) {
            s->tip = w;
            return FALSE;
        }
        return TRUE;
    }, (LPARAM)&search);
    if (!search.tip)
        return std::string();
    char text[512] = {};
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = dialog;
    info.uFlags = TTF_IDISHWND;
    info.uId = (UINT_PTR)GetDlgItem(dialog, id);
    info.lpszText = text;
    SendMessageA(search.tip, TTM_GETTEXTA, sizeof text, (LPARAM)&info);
    return text;
}

} // namespace dialogtest
