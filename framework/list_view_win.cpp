#include "framework/list_view.h"

#include "framework/application.h"
#include "framework/document.h"
#include "framework/frame_window.h"
#include "framework/framework_ids.h"

#include <windowsx.h>

ListView::~ListView()
{
    if (document_)
        document_->RemoveView(this);
    if (list_.IsWindow())
        ::RemoveWindowSubclass(list_.Handle(), SubclassProc, 1);
}

bool ListView::Create(FrameWindow& frame, Document& document, DWORD style)
{
    frame_ = &frame;
    document_ = &document;
    DWORD full = PreCreate(WS_CHILD | WS_VISIBLE | WS_BORDER | style);
    HWND hwnd = ::CreateWindowExA(0, WC_LISTVIEWA, "", full, 0, 0, 0, 0, frame.Handle(), (HMENU)(UINT_PTR)ID_VIEW_PANE,
                                  (HINSTANCE)::GetWindowLongPtrA(frame.Handle(), GWLP_HINSTANCE), nullptr);
    if (!hwnd)
        return false;
    list_.Attach(hwnd);
    ::SetWindowSubclass(hwnd, SubclassProc, 1, (DWORD_PTR)this);
    document.AddView(this);
    frame.SetActiveView(this);
    return true;
}

LRESULT CALLBACK ListView::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    auto* view = reinterpret_cast<ListView*>(data);
    try {
        return view->Dispatch(hwnd, msg, wp, lp);
    } catch (...) {
        // Nothing thrown may cross into the system's window code.
        return 0;
    }
}

LRESULT ListView::DefaultProcessing()
{
    defaultDone_ = true;
    return ::DefSubclassProc(list_.Handle(), curMsg_, curWp_, curLp_);
}

LRESULT ListView::Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    // Handlers may cause nested messages: keep the outer message for DefaultProcessing.
    UINT outerMsg = curMsg_;
    WPARAM outerWp = curWp_;
    LPARAM outerLp = curLp_;
    bool outerDone = defaultDone_;
    curMsg_ = msg;
    curWp_ = wp;
    curLp_ = lp;
    defaultDone_ = false;

    bool handled = false;
    LRESULT result = 0;
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
    case WM_LBUTTONDOWN: handled = OnLButtonDown((UINT)wp, pt); break;
    case WM_LBUTTONDBLCLK: handled = OnLButtonDblClk((UINT)wp, pt); break;
    case WM_RBUTTONDOWN: handled = OnRButtonDown((UINT)wp, pt); break;
    case WM_CONTEXTMENU: handled = OnContextMenu(pt); break;
    case WM_KEYDOWN: handled = OnKeyDown((UINT)wp, LOWORD(lp), HIWORD(lp)); break;
    case WM_TIMER: handled = OnTimer((UINT_PTR)wp); break;
    case WM_SETCURSOR:
        if (Application::Current() && Application::Current()->WaitCursorShown()) {
            ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
            handled = true;
            result = TRUE;
        }
        break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, SubclassProc, 1);
        list_.Attach(nullptr);
        break;
    default: handled = OnMessage(msg, wp, lp, result); break;
    }
    if (!handled && !defaultDone_)
        result = ::DefSubclassProc(hwnd, msg, wp, lp);

    curMsg_ = outerMsg;
    curWp_ = outerWp;
    curLp_ = outerLp;
    defaultDone_ = outerDone;
    return result;
}
