// The registry settings store under Wine: values land where the shell extension reads them,
// with the types it expects.
#include "dialogs/registry_settings_store.h"
#include "framework/registry_key.h"

#include <gtest/gtest.h>

namespace {
// A company name of its own, so the test never touches the program's real settings.
struct ScratchStore : ::testing::Test {
    std::string company = "QuendalTest" + std::to_string(GetCurrentProcessId());
    RegistrySettingsStore store{company, "Torvex"};
    ~ScratchStore() override { RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + company).c_str()); }

    DWORD TypeOf(const std::string& section, const std::string& name)
    {
        RegistryKey key;
        DWORD type = REG_NONE;
        if (key.Open(HKEY_CURRENT_USER, store.RootPath() + "\\" + section))
            RegQueryValueExA(key.Handle(), name.c_str(), nullptr, &type, nullptr, nullptr);
        return type;
    }
};
} // namespace

TEST_F(ScratchStore, IntegersAreDwordsAndStringsAreTextUnderTheirSection)
{
    EXPECT_EQ(store.RootPath(), "Software\\" + company + "\\Torvex");
    store.WriteProfileInt("Settings", "addDir", 2);
    store.WriteProfileString("Settings", "jarEdit", "C:\\Program Files\\Jar");
    store.WriteProfileInt("Tip", "FilePos", 1234);
    store.WriteProfileString("Recent File List", "File1", "C:\\a.j");

    EXPECT_EQ(TypeOf("Settings", "addDir"), (DWORD)REG_DWORD);
    EXPECT_EQ(TypeOf("Settings", "jarEdit"), (DWORD)REG_SZ);
    EXPECT_EQ(TypeOf("Tip", "FilePos"), (DWORD)REG_DWORD);
    EXPECT_EQ(TypeOf("Recent File List", "File1"), (DWORD)REG_SZ);

    EXPECT_EQ(store.GetProfileInt("Settings", "addDir", 1), 2);
    EXPECT_EQ(store.GetProfileString("Settings", "jarEdit", "c:"), "C:\\Program Files\\Jar");
    EXPECT_EQ(store.GetProfileInt("Tip", "FilePos", 0), 1234);
    EXPECT_EQ(store.GetProfileString("Recent File List", "File1"), "C:\\a.j");
}

TEST_F(ScratchStore, MissingWrongTypeAndMissingSectionReadAsTheDefault)
{
    EXPECT_EQ(store.GetProfileInt("Settings", "FirstRun", 1), 1);  // no key at all yet
    EXPECT_EQ(store.GetProfileString("Settings", "startupEdit", "c:"), "c:");
    store.WriteProfileString("Settings", "ViewType", "0");
    store.WriteProfileInt("Settings", "tempEdit", 7);
    EXPECT_EQ(store.GetProfileInt("Settings", "ViewType", 1), 1);
    EXPECT_EQ(store.GetProfileString("Settings", "tempEdit", "c:"), "c:");
    EXPECT_EQ(store.GetProfileInt("NoSuchSection", "x", -3), -3);
}

TEST_F(ScratchStore, LongTextsNegativeNumbersAndEmptyStringsSurvive)
{
    std::string longText(5000, 'x');
    store.WriteProfileString("Settings", "AddLine Pool0", longText);
    store.WriteProfileString("Settings", "FileViewer", "");
    store.WriteProfileInt("Settings", "Compression", -1);
    EXPECT_EQ(store.GetProfileString("Settings", "AddLine Pool0"), longText);
    EXPECT_EQ(store.GetProfileString("Settings", "FileViewer", "default"), "");
    EXPECT_EQ(store.GetProfileInt("Settings", "Compression", 0), -1);
    // Overwriting replaces a longer text completely.
    store.WriteProfileString("Settings", "AddLine Pool0", "-m1");
    EXPECT_EQ(store.GetProfileString("Settings", "AddLine Pool0"), "-m1");
}

TEST_F(ScratchStore, TheShellExtensionsFixedPathSeesTheProgramsValues)
{
    store.WriteProfileInt("Settings", "ExtractDirect", 1);
    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, "Software\\" + company + "\\Torvex\\Settings", KEY_ALL_ACCESS));
    DWORD value = 0;
    ASSERT_TRUE(key.QueryDword("ExtractDirect", value));
    EXPECT_EQ(value, 1u);
    ASSERT_TRUE(key.SetDword("ExtractDirect", 0));
    EXPECT_EQ(store.GetProfileInt("Settings", "ExtractDirect", 5), 0);
}
