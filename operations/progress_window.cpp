#include "operations/progress_window.h"

#include "resources/resource.h"

void CentreWindowOn(HWND window, HWND parent)
{
    RECT own{};
    ::GetWindowRect(window, &own);
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT around = area;
    // The view is a child: centre on the top-level window it belongs to.
    HWND top = parent ? ::GetAncestor(parent, GA_ROOT) : nullptr;
    if (top && ::IsWindowVisible(top) && !::IsIconic(top))
        ::GetWindowRect(top, &around);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = around.left + ((around.right - around.left) - width) / 2;
    int y = around.top + ((around.bottom - around.top) - height) / 2;
    if (x + width > area.right)
        x = area.right - width;
    if (y + height > area.bottom)
        y = area.bottom - height;
    if (x < area.left)
        x = area.left;
    if (y < area.top)
        y = area.top;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ProgressWindow::Create(HINSTANCE instance, HWND parent)
{
    Destroy();
    hwnd_ = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), parent, DialogProc, 0);
    return hwnd_ != nullptr;
}

void ProgressWindow::Destroy()
{
    if (hwnd_ && ::IsWindow(hwnd_))
        ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

INT_PTR CALLBACK ProgressWindow::DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_INITDIALOG) {
        CentreWindowOn(hwnd, ::GetParent(hwnd));
        return TRUE;
    }
    return FALSE;
}
