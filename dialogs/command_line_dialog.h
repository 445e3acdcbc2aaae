// The command-line editor: the switch line the Add or Extract dialog has just built, to be
// changed as text or replaced by a line used before. The caller sets `pool`, `resetText` and
// `editText` (both the built line), runs it and, on OK, takes `editText` and records it in its
// own pool; the editor never changes the pool.
#pragma once

#include <string>
#include <vector>

#include "dialogs/history_pool.h"

// What the editor's list offers: slots 0 to 4 in order, empty ones skipped (slot 5 never).
std::vector<std::string> CommandLineChoices(const HistoryPool& pool);

#ifdef _WIN32
#include "framework/modal_dialog.h"

class CommandLineDialog : public ModalDialog {
public:
    CommandLineDialog();

    const HistoryPool* pool = nullptr;
    std::string resetText;
    std::string editText;

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;
};

// Opens the editor over `owner` on `line`; on OK the edited text becomes `line` and goes into
// the caller's `pool`. False when the user cancelled (nothing changes).
bool EditCommandLine(HWND owner, HistoryPool& pool, std::string& line);
#endif
