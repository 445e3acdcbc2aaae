// The Tip of the Day's state, apart from its window: whether tips show at start-up, the tip on
// show, and the tips file held open from construction to destruction. Construction reads one
// tip, so every start-up moves one tip further; destruction stores where reading stopped.
#pragma once

#include "dialogs/settings_store.h"
#include "dialogs/tips_file.h"

#include <string>

class TipOfTheDay {
public:
    struct Texts {
        std::string fileAbsent;   // shown as the tip when the file cannot be opened
        std::string fileTrouble;  // message box when the stored position cannot be reached
    };

    // `tipsPath`: "tips.txt" in the current folder for the program.
    TipOfTheDay(SettingsStore& store, const std::string& tipsPath, Texts texts);
    ~TipOfTheDay();
    TipOfTheDay(const TipOfTheDay&) = delete;
    TipOfTheDay& operator=(const TipOfTheDay&) = delete;

    bool ShowAtStartup = true;
    std::string TipText;

    bool FileOpen() const { return file_.IsOpen(); }
    // "&Next Tip".
    void NextTip() { TipText = file_.NextTip(); }
    // "&Close": the check box's state is stored inverted as StartUp.
    void StoreShowAtStartup();

private:
    SettingsStore& store_;
    TipsFile file_;
};
