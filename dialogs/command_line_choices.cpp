#include "dialogs/command_line_dialog.h"

std::vector<std::string> CommandLineChoices(const HistoryPool& pool)
{
    std::vector<std::string> choices;
    for (int slot = 0; slot < HistoryPool::kSlots - 1; ++slot) {
        if (!pool[slot].empty())
            choices.push_back(pool[slot]);
    }
    return choices;
}
