// Non-owning wrappers over window handles. A wrapper is a value holding an HWND; each method is
// one message or one call. Child windows belong to their parent: nothing here destroys a window.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

class Window {
public:
    Window() = default;
    explicit Window(HWND hwnd) : hwnd_(hwnd) {}

    HWND Handle() const { return hwnd_; }
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_); }
    explicit operator bool() const { return hwnd_ != nullptr; }

    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(hwnd_, msg, wp, lp); }

    void Show(int cmd) const { ::ShowWindow(hwnd_, cmd); }
    bool IsVisible() const { return ::IsWindowVisible(hwnd_) != 0; }
    void Enable(bool enable) const { ::EnableWindow(hwnd_, enable); }
    bool IsEnabled() const { return ::IsWindowEnabled(hwnd_) != 0; }
    void SetText(const std::string& text) const { ::SetWindowTextA(hwnd_, text.c_str()); }
    std::string GetText() const;
    int GetId() const { return ::GetDlgCtrlID(hwnd_); }
    HWND GetParent() const { return ::GetParent(hwnd_); }

    RECT GetClientRect() const { RECT r{}; ::GetClientRect(hwnd_, &r); return r; }
    // The window rectangle in its parent's client coordinates (screen coordinates for a top-level window).
    RECT GetRectInParent() const;
    void Move(const RECT& r, bool repaint = true) const
    { ::MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint); }
    void SetSize(int width, int height) const
    { ::SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); }
    void Invalidate(bool erase = true) const { ::InvalidateRect(hwnd_, nullptr, erase); }
    void SetFont(HFONT font, bool redraw = true) const { Send(WM_SETFONT, (WPARAM)font, redraw); }

    LONG_PTR GetStyle() const { return ::GetWindowLongPtrA(hwnd_, GWL_STYLE); }
    void SetStyle(LONG_PTR style) const { ::SetWindowLongPtrA(hwnd_, GWL_STYLE, style); }
    // Changes the style bits in `remove` to those in `add`; true when something changed.
    bool ModifyStyle(LONG_PTR remove, LONG_PTR add) const;

protected:
    HWND hwnd_ = nullptr;
};

// Turns drawing off for a refill and back on (with a repaint) at the end of the scope: rows
// inserted while a list redraws cost milliseconds each.
class RedrawOff {
public:
    explicit RedrawOff(HWND hwnd) : hwnd_(hwnd) { ::SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawOff()
    {
        ::SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    HWND hwnd_;
};

// The text height of "0" in a window's current font, in device units.
int TextHeightOfZero(HWND hwnd);
// The width of a text in a window's current font, in device units.
int TextWidth(HWND hwnd, const std::string& text);

// The DPI a window is shown at: GetDpiForWindow where the system has it (looked up at run time,
// so the program still starts where it is missing), else the screen's LOGPIXELSY.
int WindowDpi(HWND hwnd);
// The DPI of the whole screen, for what exists before any window (the application's icons).
int SystemDpi();
// A system metric (SM_CXVSCROLL ...) for a window at `dpi`; the system's own value where the
// system cannot give it per DPI.
int SystemMetricForDpi(int index, int dpi);

// Owner of a font (deleted with it); move-only.
class OwnedFont {
public:
    OwnedFont() = default;
    explicit OwnedFont(HFONT font) : font_(font) {}
    ~OwnedFont() { Reset(); }
    OwnedFont(OwnedFont&& other) noexcept : font_(other.font_) { other.font_ = nullptr; }
    OwnedFont& operator=(OwnedFont&& other) noexcept;
    OwnedFont(const OwnedFont&) = delete;
    OwnedFont& operator=(const OwnedFont&) = delete;

    HFONT Handle() const { return font_; }
    void Reset(HFONT font = nullptr);

private:
    HFONT font_ = nullptr;
};

// A copy of `font` (the stock GUI font when null) whose height was chosen at `fromDpi`, for a
// window at `toDpi`; null on failure.
HFONT CreateFontForDpi(HFONT font, int fromDpi, int toDpi);
