// The Tip of the Day dialog (resource 103) over TipOfTheDay: constructing it reads the next
// tip, destroying it stores the file position, shown or not.
#pragma once

#include "dialogs/tip_of_the_day.h"
#include "framework/modal_dialog.h"

#include <windows.h>

class TipDialog : public ModalDialog {
public:
    // `heading` is "Did you know..."; the texts are the file-absent and file-trouble messages.
    TipDialog(SettingsStore& store, const std::string& tipsPath, TipOfTheDay::Texts texts, std::string heading);
    ~TipDialog() override;

    TipOfTheDay& Tip() { return tip_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    void Paint();
    // The bulb drawn for the dialog's DPI, loaded when first needed.
    HBITMAP Bulb();

    TipOfTheDay tip_;
    std::string heading_;
    HBITMAP bulb_ = nullptr;
    int bulbSize_ = 0;
};

// The About box (resource 100): icon, "Torvex version 1.4", OK.
class AboutDialog : public ModalDialog {
public:
    AboutDialog();
};
