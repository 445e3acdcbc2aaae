#include "framework/modal_dialog.h"

#include <exception>

#include "framework/application.h"
#include "framework/framework_ids.h"
#include "framework/message_box.h"

namespace {

// What the user was doing when a handler failed: the pressed control's caption ("Edit ..."),
// else the dialog's own caption.
std::string ActionName(HWND dialog, UINT msg, WPARAM wp)
{
    HWND source = msg == WM_COMMAND ? ::GetDlgItem(dialog, LOWORD(wp)) : nullptr;
    std::string name = Window(source ? source : dialog).GetText();
    // Keyboard mnemonics are not part of the name.
    std::erase(name, '&');
    return name.empty() ? Window(dialog).GetText() : name;
}

} // namespace

INT_PTR ModalDialog::DoModal(HWND parent)
{
    HINSTANCE instance = Application::Current() ? Application::Current()->Instance() : ::GetModuleHandleA(nullptr);
    if (template_)
        return ::DialogBoxIndirectParamA(instance, template_, parent, DialogProc, (LPARAM)this);
    LPCSTR name = resourceName_ ? resourceName_ : MAKEINTRESOURCEA(resourceId_);
    return ::DialogBoxParamA(instance, name, parent, DialogProc, (LPARAM)this);
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<ModalDialog*>(lp);
        dialog->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lp);
    }
    auto* dialog = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!dialog)
        return FALSE;
    // Nothing thrown may cross into the system's dialog code. The dialog stays open with what
    // the user typed, and the user learns which action failed instead of seeing a silent Cancel.
    std::string failure;
    try {
        return dialog->Dispatch(msg, wp, lp);
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "unexpected error";
    }
    PromptUser("\"" + ActionName(hwnd, msg, wp) + "\" failed: " + failure, prompt::Ok | prompt::IconStop);
    return TRUE;
}

INT_PTR ModalDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
        UINT id = LOWORD(wp), code = HIWORD(wp);
        if (id == IDOK && code == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && code == BN_CLICKED) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(id, code) ? TRUE : FALSE;
    }
    case WM_NCDESTROY:
        hwnd_ = nullptr;
        return FALSE;
    default: {
        INT_PTR result = 0;
        if (OnMessage(msg, wp, lp, result)) {
            // The colour messages take their brush as the procedure's own return value.
            if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC)
                return result;
            ::SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, result);
            return TRUE;
        }
        // F1 in a dialog is the owner's Help command, which knows the dialog's topic.
        if (msg == WM_HELP) {
            if (HWND owner = ::GetWindow(hwnd_, GW_OWNER))
                ::SendMessageA(owner, WM_COMMAND, ID_HELP, 0);
            return TRUE;
        }
        return FALSE;
    }
    }
}
