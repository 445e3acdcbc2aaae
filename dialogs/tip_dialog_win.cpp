#include "dialogs/tip_dialog.h"

#include "framework/application.h"
#include "resources/resource.h"

TipDialog::TipDialog(SettingsStore& store, const std::string& tipsPath, TipOfTheDay::Texts texts, std::string heading)
    : ModalDialog(IDD_TIP_OF_THE_DAY), tip_(store, tipsPath, std::move(texts)), heading_(std::move(heading))
{
}

TipDialog::~TipDialog()
{
    if (bulb_)
        ::DeleteObject(bulb_);
}

bool TipDialog::OnInitDialog()
{
    HINSTANCE instance = Application::Current() ? Application::Current()->Instance() : ::GetModuleHandleA(nullptr);
    bulb_ = (HBITMAP)::LoadImageA(instance, MAKEINTRESOURCEA(IDB_TIP_BULB), IMAGE_BITMAP, 0, 0, 0);
    Check(IDC_TIP_SHOW_AT_STARTUP, tip_.ShowAtStartup);
    SetItemText(IDC_TIP_TEXT, tip_.TipText);
    if (!tip_.FileOpen())
        ::EnableWindow(Item(IDC_TIP_NEXT).Handle(), FALSE);
    return true;
}

bool TipDialog::OnCommand(UINT id, UINT code)
{
    if (id != IDC_TIP_NEXT || code != BN_CLICKED)
        return false;
    tip_.ShowAtStartup = IsChecked(IDC_TIP_SHOW_AT_STARTUP);
    tip_.NextTip();
    SetItemText(IDC_TIP_TEXT, tip_.TipText);
    return true;
}

void TipDialog::OnOK()
{
    tip_.ShowAtStartup = IsChecked(IDC_TIP_SHOW_AT_STARTUP);
    EndDialog(IDOK);
    tip_.StoreShowAtStartup();
}

bool TipDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result)
{
    if (msg == WM_PAINT) {
        Paint();
        result = 0;
        return true;
    }
    if (msg == WM_CTLCOLORSTATIC && (HWND)lp == Item(IDC_TIP_TEXT).Handle()) {
        ::SetBkColor((HDC)wp, RGB(255, 255, 255));
        result = (INT_PTR)::GetStockObject(WHITE_BRUSH);
        return true;
    }
    return false;
}

void TipDialog::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(Handle(), &ps);
    // The white area of frame 1000, in the dialog's client coordinates.
    RECT area;
    ::GetWindowRect(Item(IDC_TIP_FRAME).Handle(), &area);
    ::MapWindowPoints(nullptr, Handle(), (POINT*)&area, 2);
    ::FillRect(dc, &area, (HBRUSH)::GetStockObject(WHITE_BRUSH));
    ::DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT);
    ::InflateRect(&area, -2, -2);

    BITMAP info{};
    int bulbWidth = 0, bulbHeight = 0;
    if (bulb_ && ::GetObjectA(bulb_, sizeof info, &info)) {
        bulbWidth = info.bmWidth;
        bulbHeight = info.bmHeight;
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(memory, bulb_);
        ::BitBlt(dc, area.left, area.top, bulbWidth, bulbHeight, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
    }

    // The heading beside the bulb, on one line centred in the bulb's height, in a bold
    // version of the dialog's font.
    HFONT dialogFont = (HFONT)::SendMessageA(Handle(), WM_GETFONT, 0, 0);
    LOGFONTA face{};
    ::GetObjectA(dialogFont ? (HGDIOBJ)dialogFont : ::GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    face.lfWeight = FW_BOLD;
    face.lfHeight = face.lfHeight * 3 / 2;
    HFONT headingFont = ::CreateFontIndirectA(&face);
    HGDIOBJ oldFont = ::SelectObject(dc, headingFont);
    ::SetBkMode(dc, TRANSPARENT);
    RECT text = {area.left + bulbWidth, area.top, area.right, area.top + bulbHeight};
    ::DrawTextA(dc, heading_.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    ::SelectObject(dc, oldFont);
    ::DeleteObject(headingFont);
    ::EndPaint(Handle(), &ps);
}

AboutDialog::AboutDialog() : ModalDialog(IDD_ABOUT) {}
