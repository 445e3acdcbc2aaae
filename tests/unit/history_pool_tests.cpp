#include "dialogs/history_pool.h"
#include "dialogs/settings_store.h"

#include <gtest/gtest.h>

namespace {
HistoryPool PoolOf(std::initializer_list<const char*> slots)
{
    HistoryPool pool;
    int i = 0;
    for (const char* s : slots)
        pool[i++] = s;
    return pool;
}

std::vector<std::string> Slots(const HistoryPool& pool)
{
    std::vector<std::string> out;
    for (int i = 0; i < HistoryPool::kSlots; ++i)
        out.push_back(pool[i]);
    return out;
}
} // namespace

TEST(HistoryPool, NewEntriesGoFirstAndTheOldestDropsOut)
{
    HistoryPool pool;
    for (const char* s : {"a", "b", "c", "d", "e", "f"})
        EXPECT_TRUE(pool.Insert(s));
    EXPECT_EQ(Slots(pool), (std::vector<std::string>{"f", "e", "d", "c", "b", "a"}));
    EXPECT_TRUE(pool.Insert("g"));
    EXPECT_EQ(Slots(pool), (std::vector<std::string>{"g", "f", "e", "d", "c", "b"}));
}

TEST(HistoryPool, AKnownEntryStaysWhereItIsAndCaseCounts)
{
    HistoryPool pool = PoolOf({"-r -y", "-m4", "x", "y", "-jf", "z"});
    EXPECT_FALSE(pool.Insert("-jf"));  // in slot 4: not moved to the front
    EXPECT_EQ(Slots(pool), (std::vector<std::string>{"-r -y", "-m4", "x", "y", "-jf", "z"}));
    EXPECT_TRUE(pool.Insert("-JF"));
    EXPECT_EQ(pool[0], "-JF");
    EXPECT_EQ(pool[5], "-jf");
}

TEST(HistoryPool, PushFrontAddsEvenWhenPresent)
{
    HistoryPool pool = PoolOf({"c:\\a", "c:\\b"});
    pool.PushFront("c:\\b");
    EXPECT_EQ(Slots(pool), (std::vector<std::string>{"c:\\b", "c:\\a", "c:\\b", "", "", ""}));
}

TEST(HistoryPool, ComboShowsUpToTheFirstGapButAllSlotsAreSaved)
{
    HistoryPool pool = PoolOf({"one", "two", "", "four", "five", "six"});
    EXPECT_EQ(pool.ComboEntries(), (std::vector<std::string>{"one", "two"}));

    MemorySettingsStore store;
    pool.Save(store, "AddLine Pool");
    EXPECT_EQ(store.GetProfileString("Settings", "AddLine Pool3", "?"), "four");
    EXPECT_EQ(store.GetProfileString("Settings", "AddLine Pool2", "?"), "");
    EXPECT_FALSE(store.Has("Settings", "AddLine Pool6"));

    HistoryPool loaded;
    loaded.Load(store, "AddLine Pool");
    EXPECT_EQ(Slots(loaded), Slots(pool));
}

TEST(HistoryPool, MissingValuesLoadEmptyAndPoolsDoNotShareNames)
{
    MemorySettingsStore store;
    PoolOf({"d:\\out"}).Save(store, "Extract Pool");
    HistoryPool lines = PoolOf({"stale"});
    lines.Load(store, "ExtractLine Pool");
    EXPECT_TRUE(lines.ComboEntries().empty());
    EXPECT_EQ(lines[0], "");
    HistoryPool dirs;
    dirs.Load(store, "Extract Pool");
    EXPECT_EQ(dirs.ComboEntries(), (std::vector<std::string>{"d:\\out"}));
}
