#include "dialog_driver.h"

namespace viewtest {

namespace {

DialogDriver* gDriver = nullptr;

struct Search {
    std::string caption;  // empty: any dialog
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND w, LPARAM lp)
{
    auto& search = *reinterpret_cast<Search*>(lp);
    char cls[32] = {}, caption[256] = {};
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, caption, sizeof caption);
    if (std::string(cls) == "#32770" && IsWindowVisible(w) && (search.caption.empty() || search.caption == caption))
        search.found.push_back(w);
    return TRUE;
}

std::vector<HWND> ThreadDialogs(const std::string& caption)
{
    Search search{caption, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, (LPARAM)&search);
    return search.found;
}

} // namespace

DialogDriver::DialogDriver(int deadlineMs) : deadline_(GetTickCount() + deadlineMs)
{
    gDriver = this;
    timer_ = SetTimer(nullptr, 0, 40, Tick);
}

DialogDriver::~DialogDriver()
{
    KillTimer(nullptr, timer_);
    gDriver = nullptr;
}

DialogDriver& DialogDriver::Then(const std::string& caption, Act act, std::function<bool()> ready)
{
    steps_.push_back({caption, std::move(act), std::move(ready)});
    return *this;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (gDriver)
        gDriver->Step();
}

void DialogDriver::Step()
{
    if ((LONG)(GetTickCount() - deadline_) > 0) {
        for (HWND dialog : ThreadDialogs(""))
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (AllDone() || (steps_[done_].ready && !steps_[done_].ready()))
        return;
    std::vector<HWND> dialogs = ThreadDialogs(steps_[done_].caption);
    if (dialogs.empty())
        return;
    Act act = steps_[done_].act;
    ++done_;
    act(dialogs.front());
}

void DialogDriver::Click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

std::string DialogDriver::Text(HWND dialog, int id)
{
    char text[2048] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool DialogDriver::Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

} // namespace viewtest
