// A question box with buttons the system's message box does not have (Yes to All, No to All),
// laid out as a message box is: the icon, the text, a row of buttons. Windows layer only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct QuestionButton {
    int id;             // what the box returns when it is pressed
    const char* label;  // with its "&" mnemonic: the letter alone presses it
};

// Shows the box modally over `owner`; the first button is the default one (Enter), Escape and
// the close box answer IDCANCEL. `icon` is one of the MB_ICON values (0: none).
int ShowQuestionBox(HWND owner, const std::string& text, const std::string& caption, unsigned icon,
                    const std::vector<QuestionButton>& buttons);
