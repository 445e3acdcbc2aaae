// A view that is a list control filling its frame's client area (the list window is the view's
// window). Messages of the list window come to typed virtuals first; a handler returns true to
// skip the list's own processing, false to let it run after the handler. Notifications the list
// sends to its parent (LVN_..., NM_...) come back to OnNotify. Timers set on Handle() arrive
// at OnTimer; messages posted to Handle() that no typed virtual covers (WM_APP + n) at OnMessage.
#pragma once

#include "framework/command.h"
#include "framework/controls.h"

#include <cstdint>

class Document;
class FrameWindow;

class ListView : public CommandTarget {
public:
    ListView() = default;
    ~ListView() override;
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    // Creates the list window as the frame's client (id ID_VIEW_PANE). `style` adds to
    // WS_CHILD | WS_VISIBLE | WS_BORDER (LVS_REPORT, LVS_SHOWSELALWAYS, LVS_OWNERDATA ...);
    // PreCreate may change it.
    bool Create(FrameWindow& frame, Document& document, DWORD style = 0);

    HWND Handle() const { return list_.Handle(); }
    ListCtrl& List() { return list_; }
    const ListCtrl& List() const { return list_; }
    Document* GetDocument() const { return document_; }
    FrameWindow* GetParentFrame() const { return frame_; }

    // Window style of the list before it is created.
    virtual DWORD PreCreate(DWORD style) { return style; }
    // After the window exists, before the document first asks for an update. Does nothing here.
    virtual void OnInitialUpdate() {}
    // The document changed (Document::UpdateAllViews).
    virtual void OnUpdate(ListView* sender, intptr_t hint) { (void)sender; (void)hint; }

    // Notifications from the list control; true when handled, with `result` to return.
    virtual bool OnNotify(NMHDR& header, LRESULT& result) { (void)header; (void)result; return false; }

    // Input on the list window (client coordinates; screen coordinates for OnContextMenu,
    // (-1, -1) when the menu was asked for from the keyboard).
    virtual bool OnLButtonDown(UINT flags, POINT pt) { (void)flags; (void)pt; return false; }
    virtual bool OnLButtonDblClk(UINT flags, POINT pt) { (void)flags; (void)pt; return false; }
    virtual bool OnRButtonDown(UINT flags, POINT pt) { (void)flags; (void)pt; return false; }
    virtual bool OnContextMenu(POINT screenPt) { (void)screenPt; return false; }
    // repeat: the repeat count (1 for a first stroke); flags: the lParam's high word.
    virtual bool OnKeyDown(UINT key, UINT repeat, UINT flags) { (void)key; (void)repeat; (void)flags; return false; }
    virtual bool OnTimer(UINT_PTR id) { (void)id; return false; }
    // Any other message of the list window; true when handled, with `result` to return.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
    { (void)msg; (void)wp; (void)lp; (void)result; return false; }
    // The frame moved to a screen of another DPI (its Dpi() is newDpi already).
    virtual void OnDpiChanged(int oldDpi, int newDpi) { (void)oldDpi; (void)newDpi; }
    // The list window is being destroyed (the frame is closing).
    virtual void OnDestroy() {}

    // Runs the list control's own processing of the message now being handled (for a handler
    // that must act after it); the typed virtual should then return true.
    LRESULT DefaultProcessing();

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    ListCtrl list_;
    Document* document_ = nullptr;
    FrameWindow* frame_ = nullptr;
    // The message being handled, for DefaultProcessing.
    UINT curMsg_ = 0;
    WPARAM curWp_ = 0;
    LPARAM curLp_ = 0;
    bool defaultDone_ = false;
};
