// A modal dialog from a dialog resource. The derived class's public fields are its inputs and
// results: OnInitDialog copies them into the controls, OnOK checks and copies them back, then
// ends the dialog. One static procedure forwards to the virtuals; nothing thrown leaves it.
#pragma once

#include "framework/window.h"

#include <string>

class ModalDialog {
public:
    explicit ModalDialog(UINT resourceId) : resourceId_(resourceId) {}
    // A dialog resource named by a string.
    explicit ModalDialog(const char* resourceName) : resourceName_(resourceName) {}
    // A dialog from a template built in memory.
    explicit ModalDialog(const DLGTEMPLATE* dialogTemplate) : template_(dialogTemplate) {}
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Shows the dialog until it ends; the value given to EndDialog (IDOK, IDCANCEL ...), or -1
    // when it could not be created.
    INT_PTR DoModal(HWND parent);
    HWND Handle() const { return hwnd_; }

    Window Item(int id) const { return Window(::GetDlgItem(hwnd_, id)); }
    std::string ItemText(int id) const { return Item(id).GetText(); }
    void SetItemText(int id, const std::string& text) const { Item(id).SetText(text); }
    bool IsChecked(int id) const { return ::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }
    void Check(int id, bool check) const { ::CheckDlgButton(hwnd_, id, check ? BST_CHECKED : BST_UNCHECKED); }

protected:
    // Fields to controls; true lets the system put the focus on the first control.
    virtual bool OnInitDialog() { return true; }
    // Buttons and control notifications other than OK and Cancel; true when handled.
    virtual bool OnCommand(UINT id, UINT code) { (void)id; (void)code; return false; }
    // Controls to fields, then EndDialog(IDOK); a check that fails leaves the dialog open.
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Any other message; true when handled, with `result` for the system.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result)
    { (void)msg; (void)wp; (void)lp; (void)result; return false; }

    void EndDialog(INT_PTR result) { ::EndDialog(hwnd_, result); }

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    UINT resourceId_ = 0;
    const char* resourceName_ = nullptr;
    const DLGTEMPLATE* template_ = nullptr;
    HWND hwnd_ = nullptr;
};
