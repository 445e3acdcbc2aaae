// What a dialog is handed by its owner instead of reaching for the window parts itself.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Picks a folder starting at `folder`; true with the chosen folder in `folder`.
using FolderPicker = std::function<bool(HWND owner, std::string& folder)>;
// Opens the manual at a topic (the dialog's Help button).
using HelpOpener = std::function<void(const std::string& anchor)>;
