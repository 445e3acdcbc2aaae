#include "framework/tool_bar.h"

namespace {
// Combo boxes placed on the toolbar report to it; the frame routes their notifications.
LRESULT CALLBACK ForwardChildCommands(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR)
{
    if (msg == WM_COMMAND && lp != 0)
        return ::SendMessageA(::GetParent(hwnd), msg, wp, lp);
    if (msg == WM_NCDESTROY)
        ::RemoveWindowSubclass(hwnd, ForwardChildCommands, 1);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

TBBUTTON Separator(int width)
{
    TBBUTTON b{};
    b.iBitmap = width;
    b.fsStyle = BTNS_SEP;
    return b;
}
} // namespace

bool ToolBar::Create(HWND parent, DWORD style, UINT id)
{
    hwnd_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "", style | WS_CHILD, 0, 0, 0, 0, parent, (HMENU)(UINT_PTR)id,
                              (HINSTANCE)::GetWindowLongPtrA(parent, GWLP_HINSTANCE), nullptr);
    if (!hwnd_)
        return false;
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    ::SetWindowSubclass(hwnd_, ForwardChildCommands, 1, 0);
    return true;
}

bool ToolBar::LoadButtons(HINSTANCE instance, UINT bitmapId, const std::vector<UINT>& ids, SIZE imageSize)
{
    HBITMAP bitmap = (HBITMAP)::LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!bitmap)
        return false;
    ImageList images;
    bool made = images.Create(imageSize.cx, imageSize.cy, ILC_COLOR24 | ILC_MASK, 0, 4)
                && ImageList_AddMasked(images.Handle(), bitmap, RGB(255, 0, 255)) >= 0;
    ::DeleteObject(bitmap);
    if (!made)
        return false;

    while (GetButtonCount() > 0)
        Send(TB_DELETEBUTTON, 0);
    Send(TB_SETBITMAPSIZE, 0, MAKELONG(imageSize.cx, imageSize.cy));
    Send(TB_SETIMAGELIST, 0, (LPARAM)images.Handle());
    images_ = std::move(images);  // the old strip goes only after the toolbar stopped using it

    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (UINT id : ids) {
        if (id == 0) {
            buttons.push_back(Separator(separatorWidth_));
            continue;
        }
        TBBUTTON b{};
        b.iBitmap = image++;
        b.idCommand = (int)id;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON;
        buttons.push_back(b);
    }
    Send(TB_ADDBUTTONSA, buttons.size(), (LPARAM)buttons.data());
    AutoSize();
    return true;
}

void ToolBar::SetSizes(SIZE button, SIZE image)
{
    Send(TB_SETBITMAPSIZE, 0, MAKELONG(image.cx, image.cy));
    Send(TB_SETBUTTONSIZE, 0, MAKELONG(button.cx, button.cy));
    AutoSize();
}

UINT ToolBar::GetItemId(int index) const
{
    TBBUTTON b{};
    return Send(TB_GETBUTTON, index, (LPARAM)&b) ? (UINT)b.idCommand : 0;
}

bool ToolBar::IsSeparator(int index) const
{
    TBBUTTON b{};
    return Send(TB_GETBUTTON, index, (LPARAM)&b) && (b.fsStyle & BTNS_SEP);
}

void ToolBar::SetSeparator(int index, int width) const
{
    // A separator's width is fixed when it is inserted, so the button is replaced.
    TBBUTTON b = Separator(width);
    Send(TB_DELETEBUTTON, index);
    Send(TB_INSERTBUTTONA, index, (LPARAM)&b);
}

RECT ToolBar::GetItemRect(int index) const
{
    RECT r{};
    Send(TB_GETITEMRECT, index, (LPARAM)&r);
    return r;
}

int ToolBar::Height() const
{
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return r.bottom - r.top;
}
