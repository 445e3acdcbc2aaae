#include "dialogs/history_pool.h"

#include "dialogs/settings_store.h"

#include <algorithm>

bool HistoryPool::Insert(const std::string& text)
{
    // An entry already present keeps its place: the pool records first use, not last use.
    if (std::find(slots_.begin(), slots_.end(), text) != slots_.end())
        return false;
    PushFront(text);
    return true;
}

void HistoryPool::PushFront(const std::string& text)
{
    std::move_backward(slots_.begin(), slots_.end() - 1, slots_.end());
    slots_[0] = text;
}

std::vector<std::string> HistoryPool::ComboEntries() const
{
    std::vector<std::string> entries;
    for (const std::string& slot : slots_) {
        if (slot.empty())
            break;
        entries.push_back(slot);
    }
    return entries;
}

void HistoryPool::Load(SettingsStore& store, const std::string& prefix)
{
    for (int i = 0; i < kSlots; ++i)
        slots_[i] = store.GetProfileString(kSettingsSection, prefix + std::to_string(i), "");
}

void HistoryPool::Save(SettingsStore& store, const std::string& prefix) const
{
    for (int i = 0; i < kSlots; ++i)
        store.WriteProfileString(kSettingsSection, prefix + std::to_string(i), slots_[i]);
}
