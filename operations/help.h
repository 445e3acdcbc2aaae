// The manual in the user's browser, opened at the topic of the dialog in use.
//
// The application owns the one HelpDesk and hands its ShowHelp to the parts that open the manual.
// Around a dialog, the topic F1 opens:
//   HelpTopic topic(view.helpAnchor, "#Extract");
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class HelpDesk {
public:
    // `programFolder` names the folder of the manuals (torvexEdit) at each request; `owner` the
    // window that owns the browser start.
    HelpDesk(std::function<std::string()> programFolder, std::function<HWND()> owner);

    // Opens the manual followed by `anchor` (possibly empty). The first request of the run
    // starts the browser; later ones hand the address to the running browser by DDE when its
    // file type says how, and start it again otherwise.
    void ShowHelp(const std::string& anchor);

private:
    // The program that opens `manual`, started with `address`; told when there is none.
    void StartBrowser(const std::string& manual, const std::string& address);
    enum class Dde { Sent, Failed, NoBrowser };
    Dde SendToRunningBrowser(const std::string& address);

    std::function<std::string()> programFolder_;
    std::function<HWND()> owner_;
    bool firstHelpRequest_ = true;
};

// Sets the help topic for the life of a dialog, and clears it whatever way the dialog ends.
class HelpTopic {
public:
    HelpTopic(std::string& anchorSlot, const std::string& anchor) : slot_(anchorSlot) { slot_ = anchor; }
    ~HelpTopic() { slot_.clear(); }
    HelpTopic(const HelpTopic&) = delete;
    HelpTopic& operator=(const HelpTopic&) = delete;

private:
    std::string& slot_;
};
