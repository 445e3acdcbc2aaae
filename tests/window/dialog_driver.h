// Drives modal dialogs as a user would: each step waits for a visible dialog of this thread
// with its caption, then reads and sets its controls and presses a button. Steps run from a
// thread timer, which fires inside the dialog's modal loop. A step that opens another modal
// dialog must post its click (PostClick), so that it returns and the next step can run.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace dialogtest {

struct Step {
    std::string caption;
    std::function<void(HWND)> act;
};

// Runs `body` (which opens the dialogs) with the steps armed; dialogs still open after
// `timeoutMs` are cancelled so that a test fails instead of hanging. True when every step ran.
bool Drive(const std::vector<Step>& steps, const std::function<void()>& body, int timeoutMs = 15000);

std::string Text(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::string& text);
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
// A real click (BM_CLICK), run at once: radio groups and check boxes change as for a user.
void Click(HWND dialog, int id);
// The same click, delivered later through the message queue (for buttons that open a dialog).
void PostClick(HWND dialog, int id);
// The combo box's list items.
std::vector<std::string> ComboItems(HWND dialog, int id);
// The list view's item texts (first column).
std::vector<std::string> ListItems(HWND dialog, int id);
// The text of the tool tip registered for a control of the dialog; empty when none.
std::string ToolTipText(HWND dialog, int id);

} // namespace dialogtest
