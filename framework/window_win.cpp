#include "framework/controls.h"
#include "framework/dpi_scale.h"
#include "framework/window.h"

#include <vector>

std::string Window::GetText() const
{
    int length = ::GetWindowTextLengthA(hwnd_);
    std::string text(length + 1, '\0');
    int got = ::GetWindowTextA(hwnd_, text.data(), length + 1);
    text.resize(got > 0 ? got : 0);
    return text;
}

RECT Window::GetRectInParent() const
{
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    if (HWND parent = ::GetParent(hwnd_); parent && (GetStyle() & WS_CHILD))
        ::MapWindowPoints(nullptr, parent, (POINT*)&r, 2);
    return r;
}

bool Window::ModifyStyle(LONG_PTR remove, LONG_PTR add) const
{
    LONG_PTR style = GetStyle();
    LONG_PTR changed = (style & ~remove) | add;
    if (changed == style)
        return false;
    SetStyle(changed);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return true;
}

namespace {
// Measures in the window's own font, the way it draws its text.
SIZE MeasureText(HWND hwnd, const std::string& text)
{
    SIZE size{};
    HDC dc = ::GetDC(hwnd);
    if (!dc)
        return size;
    HFONT font = (HFONT)::SendMessageA(hwnd, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    ::GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &size);
    if (old)
        ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    return size;
}
} // namespace

int TextHeightOfZero(HWND hwnd) { return MeasureText(hwnd, "0").cy; }
int TextWidth(HWND hwnd, const std::string& text) { return MeasureText(hwnd, text).cx; }

// ---- DPI

namespace {
// A user32 function of a later Windows than the program needs; null where it is missing.
template <typename F>
F User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

int ScreenDpi(HWND hwnd)
{
    HDC dc = ::GetDC(hwnd);
    if (!dc)
        return dpi::kBase;
    int value = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(hwnd, dc);
    return value > 0 ? value : dpi::kBase;
}
} // namespace

int WindowDpi(HWND hwnd)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && hwnd) {
        if (UINT value = getDpiForWindow(hwnd))
            return (int)value;
    }
    return ScreenDpi(hwnd);
}

int SystemDpi()
{
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const auto getDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
    if (getDpiForSystem) {
        if (UINT value = getDpiForSystem())
            return (int)value;
    }
    return ScreenDpi(nullptr);
}

int SystemMetricForDpi(int index, int dpi)
{
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi && dpi > 0)
        return forDpi(index, (UINT)dpi);
    return ::GetSystemMetrics(index);
}

OwnedFont& OwnedFont::operator=(OwnedFont&& other) noexcept
{
    if (this != &other) {
        Reset(other.font_);
        other.font_ = nullptr;
    }
    return *this;
}

void OwnedFont::Reset(HFONT font)
{
    if (font_ && font_ != font)
        ::DeleteObject(font_);
    font_ = font;
}

HFONT CreateFontForDpi(HFONT font, int fromDpi, int toDpi)
{
    LOGFONTA face{};
    if (!::GetObjectA(font ? (HGDIOBJ)font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face))
        return nullptr;
    face.lfHeight = dpi::Rescale(face.lfHeight, fromDpi, toDpi);
    face.lfWidth = dpi::Rescale(face.lfWidth, fromDpi, toDpi);
    return ::CreateFontIndirectA(&face);
}

// ---- ListCtrl

int ListCtrl::InsertItem(int item, const std::string& text, int image, LPARAM data) const
{
    LVITEMA lv{};
    lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    lv.iItem = item;
    lv.pszText = const_cast<char*>(text.c_str());
    lv.iImage = image;
    lv.lParam = data;
    return (int)Send(LVM_INSERTITEMA, 0, (LPARAM)&lv);
}

bool ListCtrl::SetItemText(int item, int subItem, const std::string& text) const
{
    LVITEMA lv{};
    lv.iSubItem = subItem;
    lv.pszText = const_cast<char*>(text.c_str());
    return Send(LVM_SETITEMTEXTA, item, (LPARAM)&lv) != 0;
}

std::string ListCtrl::GetItemText(int item, int subItem) const
{
    // The control copies at most the buffer; grow until the text fits.
    for (size_t size = 256;; size *= 4) {
        std::vector<char> buffer(size, '\0');
        LVITEMA lv{};
        lv.iSubItem = subItem;
        lv.pszText = buffer.data();
        lv.cchTextMax = (int)size;
        int got = (int)Send(LVM_GETITEMTEXTA, item, (LPARAM)&lv);
        if (got < (int)size - 1 || size >= 65536)
            return std::string(buffer.data());
    }
}

bool ListCtrl::SetItemState(int item, UINT state, UINT mask) const
{
    LVITEMA lv{};
    lv.state = state;
    lv.stateMask = mask;
    return Send(LVM_SETITEMSTATE, item, (LPARAM)&lv) != 0;
}

int ListCtrl::HitTest(POINT pt, UINT* flags) const
{
    LVHITTESTINFO hit{};
    hit.pt = pt;
    int item = (int)Send(LVM_HITTEST, 0, (LPARAM)&hit);
    if (flags)
        *flags = hit.flags;
    return item;
}

bool ListCtrl::GetItemRect(int item, RECT& r, int code) const
{
    r.left = code;
    return Send(LVM_GETITEMRECT, item, (LPARAM)&r) != 0;
}

int ListCtrl::InsertColumn(int column, const std::string& caption, int format, int width) const
{
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = width;
    col.pszText = const_cast<char*>(caption.c_str());
    col.iSubItem = column;
    return (int)Send(LVM_INSERTCOLUMNA, column, (LPARAM)&col);
}

void ListCtrl::SetUpReport(std::initializer_list<ListColumn> columns) const
{
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    int dpi = WindowDpi(Handle());
    int c = 0;
    for (const ListColumn& column : columns)
        InsertColumn(c++, column.caption, column.format, dpi::Scale(column.width, dpi));
}

// ---- ComboBox

void FitComboDropHeight(ComboBox combo)
{
    // The height that counts is the dropped-down one, from the top of the box to the bottom of
    // its list (the closed box is only one line high): one row per item and one for the box.
    RECT box{}, dropped{};
    ::GetWindowRect(combo.Handle(), &box);
    combo.Send(CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&dropped);
    int current = dropped.bottom - box.top;
    int wanted = (combo.GetCount() + 1) * (TextHeightOfZero(combo.Handle()) + 5);
    if (wanted > current)
        combo.SetSize(box.right - box.left, wanted);
}

std::string ComboBox::GetLBText(int index) const
{
    int length = (int)Send(CB_GETLBTEXTLEN, index);
    if (length == CB_ERR)
        return std::string();
    std::string text(length + 1, '\0');
    int got = (int)Send(CB_GETLBTEXT, index, (LPARAM)text.data());
    text.resize(got == CB_ERR ? 0 : got);
    return text;
}

// ---- StatusBar

bool StatusBar::Create(HWND parent, DWORD style, UINT id)
{
    hwnd_ = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", style | WS_CHILD, 0, 0, 0, 0, parent, (HMENU)(UINT_PTR)id,
                              (HINSTANCE)::GetWindowLongPtrA(parent, GWLP_HINSTANCE), nullptr);
    return hwnd_ != nullptr;
}

void StatusBar::SetIndicators(const UINT* ids, int count)
{
    paneCount_ = count < kMaxPanes ? count : kMaxPanes;
    std::string message = paneCount_ > 0 && texts_[0].size() ? texts_[0] : std::string();
    for (int i = 0; i < kMaxPanes; ++i) {
        ids_[i] = i < paneCount_ ? ids[i] : 0;
        widths_[i] = 0;
        styles_[i] = 0;
        texts_[i].clear();
    }
    // The message pane keeps what it showed.
    if (paneCount_ > 0)
        texts_[0] = message;
    Layout();
}

void StatusBar::SetPaneInfo(int index, UINT id, UINT style, int width)
{
    if (index < 0 || index >= paneCount_)
        return;
    ids_[index] = id;
    styles_[index] = style;
    widths_[index] = width;
    Layout();
}

UINT StatusBar::GetPaneId(int index) const { return index >= 0 && index < paneCount_ ? ids_[index] : 0; }
int StatusBar::GetPaneWidth(int index) const { return index >= 0 && index < paneCount_ ? widths_[index] : 0; }

void StatusBar::SetPaneText(int index, const std::string& text)
{
    if (index < 0 || index >= paneCount_)
        return;
    texts_[index] = text;
    Send(SB_SETTEXTA, index | styles_[index], (LPARAM)texts_[index].c_str());
}

std::string StatusBar::GetPaneText(int index) const
{
    return index >= 0 && index < paneCount_ ? texts_[index] : std::string();
}

void StatusBar::Layout()
{
    if (!hwnd_)
        return;
    int count = paneCount_ > 0 ? paneCount_ : 1;
    RECT client = GetClientRect();
    int edges[kMaxPanes] = {};
    // Fixed panes from the right (with room for the borders); the message pane takes the rest.
    int right = client.right - SystemMetricForDpi(SM_CXVSCROLL, dpi_);
    for (int i = count - 1; i >= 1; --i) {
        edges[i] = right;
        right -= widths_[i] + dpi::Scale(6, dpi_);
    }
    edges[0] = right;
    edges[count - 1] = -1;
    Send(SB_SETPARTS, count, (LPARAM)edges);
    for (int i = 0; i < paneCount_; ++i)
        Send(SB_SETTEXTA, i | styles_[i], (LPARAM)texts_[i].c_str());
}

int StatusBar::Height() const
{
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return r.bottom - r.top;
}
