// Modal dialogs of the framework, driven as a user would: fields go into the controls when the
// dialog opens and come back only on OK.
#include "framework/modal_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "framework/message_box.h"

namespace {

// A dialog template with one edit (id 100), OK and Cancel, built in memory.
class TemplateBuilder {
public:
    TemplateBuilder()
    {
        DLGTEMPLATE head{};
        head.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_SETFONT;
        head.cdit = 3;
        head.cx = 160;
        head.cy = 60;
        Append(&head, sizeof head);
        Word(0);  // no menu
        Word(0);  // standard class
        Text("Framework test");
        Word(8);
        Text("MS Shell Dlg");
        Item(100, 0x0081, "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 5, 5, 150, 14);
        Item(IDOK, 0x0080, "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP, 40, 35, 50, 14);
        Item(IDCANCEL, 0x0080, "Cancel", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 100, 35, 50, 14);
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

private:
    void Append(const void* p, size_t n) { bytes_.insert(bytes_.end(), (const char*)p, (const char*)p + n); }
    void Word(WORD w) { Append(&w, 2); }
    void Text(const char* s)
    {
        for (; *s; ++s)
            Word((WORD)(unsigned char)*s);
        Word(0);
    }
    void Item(WORD id, WORD atom, const char* text, DWORD style, short x, short y, short cx, short cy)
    {
        while (bytes_.size() % 4)
            bytes_.push_back(0);
        DLGITEMTEMPLATE item{};
        item.style = style;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        Append(&item, sizeof item);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);
    }
    std::vector<char> bytes_;
};

class NameDialog : public ModalDialog {
public:
    using ModalDialog::ModalDialog;
    std::string name;
    int okPresses = 0;
    bool throwOnOk = false;

protected:
    bool OnInitDialog() override
    {
        SetItemText(100, name);
        return true;
    }
    void OnOK() override
    {
        ++okPresses;
        if (throwOnOk)
            throw std::out_of_range("stoull");
        std::string typed = ItemText(100);
        if (typed.empty())
            return;  // refused: the dialog stays open
        name = typed;
        EndDialog(IDOK);
    }
};

// Runs `step` from a timer inside the modal loop once the dialog is there.
std::function<void(HWND)> pendingStep;
void CALLBACK StepTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM out) -> BOOL {
        char text[64] = {};
        GetWindowTextA(w, text, sizeof text);
        if (std::string(text) == "Framework test" && IsWindowVisible(w)) {
            *reinterpret_cast<HWND*>(out) = w;
            return FALSE;
        }
        return TRUE;
    }, (LPARAM)&box);
    if (box && pendingStep) {
        KillTimer(nullptr, id);
        auto step = std::move(pendingStep);
        pendingStep = nullptr;
        step(box);
    }
}

INT_PTR RunWith(NameDialog& dialog, std::function<void(HWND)> step)
{
    pendingStep = std::move(step);
    UINT_PTR timer = SetTimer(nullptr, 0, 30, StepTimer);
    INT_PTR result = dialog.DoModal(nullptr);
    KillTimer(nullptr, timer);
    return result;
}

} // namespace

TEST(FrameDialog, FieldsGoInOnOpeningAndComeBackOnlyOnOk)
{
    TemplateBuilder layout;
    NameDialog dialog(layout.Get());
    dialog.name = "start";
    std::string shown;
    INT_PTR result = RunWith(dialog, [&](HWND box) {
        char text[64] = {};
        GetDlgItemTextA(box, 100, text, sizeof text);
        shown = text;
        SetDlgItemTextA(box, 100, "typed");
        SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shown, "start");
    EXPECT_EQ(dialog.name, "typed");
    EXPECT_EQ(dialog.Handle(), nullptr);

    result = RunWith(dialog, [](HWND box) {
        SetDlgItemTextA(box, 100, "thrown away");
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.name, "typed");
}

TEST(FrameDialog, ARefusedOkKeepsTheDialogOpen)
{
    TemplateBuilder layout;
    NameDialog dialog(layout.Get());
    INT_PTR result = RunWith(dialog, [&](HWND box) {
        SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);  // empty: refused
        EXPECT_TRUE(IsWindow(box));
        SetDlgItemTextA(box, 100, "second try");
        SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.okPresses, 2);
    EXPECT_EQ(dialog.name, "second try");
}

TEST(FrameDialog, AFailingHandlerIsReportedByItsActionAndTheDialogStays)
{
    TemplateBuilder layout;
    NameDialog dialog(layout.Get());
    dialog.throwOnOk = true;
    std::vector<std::string> told;
    SetPromptScript([&](const PromptRequest& r) {
        told.push_back(r.text);
        return prompt::IdOk;
    });
    bool stayed = false;
    INT_PTR result = RunWith(dialog, [&](HWND box) {
        SetDlgItemTextA(box, 100, "kept");
        SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        stayed = IsWindow(box) && IsWindowVisible(box);
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
    SetPromptScript({});
    EXPECT_TRUE(stayed);
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "\"OK\" failed: stoull");
}
