// "Compare Chapters": the two chapters the main list is to compare, and whether entries that did
// not change are listed too.
#pragma once

#include <functional>
#include <vector>

#include "framework/modal_dialog.h"
#include "resources/resource.h"

class CompareDialog : public ModalDialog {
public:
    CompareDialog() : ModalDialog(IDD_COMPARE) {}

    // Inputs: the archive's chapters in order. In and out: the two chosen, first side first.
    std::vector<int> chapters;
    int older = 0;
    int newer = 0;
    bool withUnchanged = false;
    std::function<void()> help;

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;
};
