#include "framework/question_box.h"

#include <algorithm>

#include "framework/modal_dialog.h"

namespace {

// The ids a message box gives its icon and its text, so that whatever reads a message box
// (accessibility tools, our tests) reads this one alike.
constexpr int kIconId = 20;
constexpr int kTextId = 0xFFFF;

// Dialog units.
constexpr short kMargin = 7, kIconSize = 21, kButtonWidth = 54, kButtonHeight = 14, kButtonGap = 4;

// A dialog template written into memory: the header, then each item on a DWORD boundary.
class TemplateWriter {
public:
    void Word(WORD w) { bytes_.push_back(w); }
    void Text(const std::string& text)
    {
        int n = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
        std::wstring wide(n > 0 ? n : 1, L'\0');
        if (n > 0)
            ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), n);
        for (wchar_t c : wide)
            Word(static_cast<WORD>(c));  // the terminating zero included
    }
    void Align()
    {
        if (bytes_.size() % 2)
            Word(0);
    }
    template <typename T>
    void Struct(const T& value)
    {
        const WORD* words = reinterpret_cast<const WORD*>(&value);
        bytes_.insert(bytes_.end(), words, words + sizeof(T) / sizeof(WORD));
    }
    void Item(DWORD style, short x, short y, short cx, short cy, int id, WORD classAtom, const std::string& text)
    {
        Align();
        DLGITEMTEMPLATE item{};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = static_cast<WORD>(id);
        Struct(item);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }
    void Count(WORD items) { reinterpret_cast<DLGTEMPLATE*>(bytes_.data())->cdit = items; }

private:
    std::vector<WORD> bytes_;  // WORD-sized, so the whole template is WORD-aligned
};

LPCSTR IconResource(unsigned icon)
{
    switch (icon & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    default: return nullptr;
    }
}

class QuestionBox : public ModalDialog {
public:
    QuestionBox(const DLGTEMPLATE* dialogTemplate, const std::string& text, unsigned icon,
                const std::vector<QuestionButton>& buttons)
        : ModalDialog(dialogTemplate), text_(text), icon_(icon), buttons_(buttons)
    {
    }

protected:
    bool OnInitDialog() override
    {
        if (LPCSTR icon = IconResource(icon_))
            Item(kIconId).Send(STM_SETICON, (WPARAM)::LoadIconA(nullptr, icon));
        SetItemText(kTextId, text_);
        FitToText();
        ::SendMessageA(Handle(), DM_SETDEFID, buttons_.front().id, 0);
        // In front and active, so that the keyboard answers it, also when it is raised by a
        // thread that has no window of its own.
        ::SetForegroundWindow(Handle());
        ::SetFocus(::GetDlgItem(Handle(), buttons_.front().id));
        return false;
    }
    bool OnCommand(UINT id, UINT code) override
    {
        if (code != BN_CLICKED)
            return false;
        for (const QuestionButton& b : buttons_) {
            if (static_cast<UINT>(b.id) == id) {
                EndDialog(id);
                return true;
            }
        }
        return false;
    }
    // Enter on no button in particular: the default one.
    void OnOK() override { EndDialog(buttons_.front().id); }

private:
    // The text's height decides where the buttons go and how tall the box is.
    void FitToText()
    {
        HWND box = Handle();
        Window text = Item(kTextId);
        RECT area = text.GetRectInParent();
        HDC dc = ::GetDC(text.Handle());
        HGDIOBJ old = ::SelectObject(dc, (HFONT)text.Send(WM_GETFONT));
        RECT need{0, 0, area.right - area.left, 0};
        ::DrawTextA(dc, text_.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        ::SelectObject(dc, old);
        ::ReleaseDC(text.Handle(), dc);
        RECT units{kMargin, kIconSize, kButtonWidth, kButtonHeight};
        ::MapDialogRect(box, &units);
        int width = std::max<int>(need.right, area.right - area.left);
        text.Move({area.left, area.top, area.left + width, area.top + need.bottom});
        RECT icon = Item(kIconId).GetRectInParent();
        int buttonsTop = std::max<int>(area.top + need.bottom, icon.bottom) + units.left * 2;
        int buttonsWidth = 0;
        for (const QuestionButton& b : buttons_)
            buttonsWidth += Item(b.id).GetRectInParent().right - Item(b.id).GetRectInParent().left;
        int clientWidth = std::max<int>(area.left + width + units.left, 0);
        RECT client = Window(box).GetClientRect();
        clientWidth = std::max<int>(clientWidth, client.right);
        int gap = buttons_.size() > 1 ? (clientWidth - 2 * units.left - buttonsWidth) / int(buttons_.size() - 1) : 0;
        gap = std::min<int>(std::max<int>(gap, 0), units.left);
        int rowWidth = buttonsWidth + gap * int(buttons_.size() - 1);
        int x = (clientWidth - rowWidth) / 2;
        for (const QuestionButton& b : buttons_) {
            Window button = Item(b.id);
            RECT r = button.GetRectInParent();
            int w = r.right - r.left;
            button.Move({x, buttonsTop, x + w, buttonsTop + units.bottom});
            x += w + gap;
        }
        RECT frame{0, 0, clientWidth, buttonsTop + units.bottom + units.left};
        ::AdjustWindowRectEx(&frame, (DWORD)::GetWindowLongPtrA(box, GWL_STYLE), FALSE,
                             (DWORD)::GetWindowLongPtrA(box, GWL_EXSTYLE));
        int fw = frame.right - frame.left, fh = frame.bottom - frame.top;
        // Centred on its owner, as a message box is, and kept on the owner's screen.
        RECT over{};
        HWND owner = ::GetWindow(box, GW_OWNER);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoA(::MonitorFromWindow(owner ? owner : box, MONITOR_DEFAULTTOPRIMARY), &monitor);
        if (!owner || !::GetWindowRect(owner, &over) || ::IsIconic(owner))
            over = monitor.rcWork;
        int boxX = (over.left + over.right - fw) / 2, boxY = (over.top + over.bottom - fh) / 2;
        boxX = std::clamp<int>(boxX, monitor.rcWork.left, std::max<int>(monitor.rcWork.left, monitor.rcWork.right - fw));
        boxY = std::clamp<int>(boxY, monitor.rcWork.top, std::max<int>(monitor.rcWork.top, monitor.rcWork.bottom - fh));
        ::SetWindowPos(box, nullptr, boxX, boxY, fw, fh, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    std::string text_;
    unsigned icon_;
    std::vector<QuestionButton> buttons_;
};

} // namespace

int ShowQuestionBox(HWND owner, const std::string& text, const std::string& caption, unsigned icon,
                    const std::vector<QuestionButton>& buttons)
{
    if (buttons.empty())
        return IDCANCEL;
    const short count = static_cast<short>(buttons.size());
    const short rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    const short width = std::max<short>(rowWidth + 2 * kMargin, 200);
    const short textLeft = kMargin + kIconSize + kMargin;
    const short textHeight = 8;
    const short buttonsTop = kMargin + std::max<short>(kIconSize, textHeight) + kMargin;

    TemplateWriter t;
    DLGTEMPLATE head{};
    head.style = DS_MODALFRAME | DS_SETFONT | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    head.cx = width;
    head.cy = buttonsTop + kButtonHeight + kMargin;
    t.Struct(head);
    t.Word(0);  // no menu
    t.Word(0);  // the dialog class
    t.Text(caption);
    t.Word(8);
    t.Text("MS Shell Dlg");
    WORD items = 0;
    t.Item(SS_ICON, kMargin, kMargin, kIconSize, kIconSize, kIconId, 0x0082, std::string());
    ++items;
    t.Item(SS_LEFT | SS_NOPREFIX, textLeft, kMargin, width - textLeft - kMargin, textHeight, kTextId, 0x0082, std::string());
    ++items;
    short x = (width - rowWidth) / 2;
    for (size_t i = 0; i < buttons.size(); ++i) {
        DWORD style = (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | (i == 0 ? WS_GROUP : 0);
        t.Item(style, x, buttonsTop, kButtonWidth, kButtonHeight, buttons[i].id, 0x0080, buttons[i].label);
        ++items;
        x += kButtonWidth + kButtonGap;
    }
    t.Count(items);
    QuestionBox box(t.Get(), text, icon, buttons);
    INT_PTR answer = box.DoModal(owner);
    return answer < 0 ? IDCANCEL : static_cast<int>(answer);
}
