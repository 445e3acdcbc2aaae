#include "dialogs/tip_dialog.h"

#include "framework/dpi_scale.h"
#include "resources/resource.h"

namespace {
// The bulb is 40 pixels at 96 DPI, drawn at 60 and 80 too.
constexpr int kBulbSize = 40;

UINT BulbFor(int size)
{
    if (size >= kBulbSize * 2)
        return IDB_TIP_BULB_80;
    if (size >= kBulbSize * 3 / 2)
        return IDB_TIP_BULB_60;
    return IDB_TIP_BULB;
}
} // namespace

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

HBITMAP TipDialog::Bulb()
{
    // Chosen again after the dialog moved to a screen of another DPI.
    int size = dpi::ImageSizeFor(kBulbSize, WindowDpi(Handle()));
    if (bulb_ && size == bulbSize_)
        return bulb_;
    if (bulb_)
        ::DeleteObject(bulb_);
    // The module the dialog itself was made from holds the bulbs too.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(Handle(), GWLP_HINSTANCE));
    bulb_ = (HBITMAP)::LoadImageA(instance, MAKEINTRESOURCEA(BulbFor(size)), IMAGE_BITMAP, 0, 0, 0);
    bulbSize_ = size;
    return bulb_;
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
    HBITMAP bulb = Bulb();
    if (bulb && ::GetObjectA(bulb, sizeof info, &info)) {
        bulbWidth = info.bmWidth;
        bulbHeight = info.bmHeight;
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(memory, bulb);
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
