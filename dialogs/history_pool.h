// Six most-recent-first strings (recent folders, command lines), stored as the values
// <prefix>0 .. <prefix>5 of section "Settings". Empty slots hold the empty string.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "dialogs/settings_store.h"

class HistoryPool {
public:
    static constexpr int kSlots = 6;

    // A string already in the pool (exact, case-sensitive) leaves it unchanged, without moving
    // to the front; otherwise it goes first, the others move down and slot 5 drops out.
    // True when the pool changed.
    bool Insert(const std::string& text);
    // Slot 0 takes the text whether or not it is present elsewhere; slot 5 drops out.
    void PushFront(const std::string& text);

    const std::string& operator[](int slot) const { return slots_[slot]; }
    std::string& operator[](int slot) { return slots_[slot]; }

    // What a combo box list shows: slots 0, 1, ... up to the first empty one.
    std::vector<std::string> ComboEntries() const;

    void Load(SettingsStore& store, const std::string& prefix);
    void Save(SettingsStore& store, const std::string& prefix) const;

private:
    std::array<std::string, kSlots> slots_;
};
