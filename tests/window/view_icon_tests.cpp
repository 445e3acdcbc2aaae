// File icons: the fixed images, the shell's icons for disk files, registered type icons for files
// inside an archive, and the cache that appends each icon once.
#include "view_test_support.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/icon_cache.h"

using namespace viewtest;

namespace {

void SetClassesDefault(const std::string& key, const std::string& value)
{
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, nullptr, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(k);
}

std::string ExePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

int ImageCount(IconCache& icons)
{
    return ImageList_GetImageCount(icons.ImageList());
}

// The colour pixels of an icon, to tell two icons apart; empty for none. Destroys the icon.
std::vector<BYTE> IconPixels(HICON icon)
{
    std::vector<BYTE> bits;
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return bits;
    BITMAP bm{};
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm)) {
        bits.resize((size_t)bm.bmWidthBytes * bm.bmHeight);
        GetBitmapBits(info.hbmColor, (LONG)bits.size(), bits.data());
    }
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    DestroyIcon(icon);
    return bits;
}

} // namespace

TEST(IconCache, FixedImagesShellIconsAndRegisteredTypesAreAppendedOnce)
{
    std::string folder = MakeScratchFolder("icons");
    WriteFile(folder + "\\a.txt", "a");
    WriteFile(folder + "\\b.txt", "b");
    {
        TorvexWindow w(folder);
        IconCache& icons = w.App().Icons;
        ASSERT_NE(icons.ImageList(), nullptr);
        ASSERT_GE(ImageCount(icons), 5);

        EXPECT_EQ(icons.IndexFor("\\README"), 3);
        EXPECT_EQ(icons.IndexFor("\\tools\\setup.exe"), 4);

        // Two disk files of one type share one image (the rows on screen asked already).
        int count = ImageCount(icons);
        int a = icons.IndexFor(folder + "\\a.txt");
        int b = icons.IndexFor(folder + "\\b.txt");
        EXPECT_EQ(a, b);
        EXPECT_EQ(ImageCount(icons), count);
        EXPECT_EQ(w.Image(w.RowNamed("a.txt")), a);
        if (a != 3) {
            EXPECT_GE(a, 5);
        }

        // A type registered with an icon in a module: loaded from the module, cached by extension
        // whatever the case of the name.
        SetClassesDefault(".tvxicon", "TorvexTest.IconType");
        SetClassesDefault("TorvexTest.IconType\\DefaultIcon", "C:\\no-such-folder\\none.dll,0");
        count = ImageCount(icons);
        EXPECT_EQ(icons.IndexFor("\\x.tvxicon"), 3); // module missing: the file image, nothing cached
        EXPECT_EQ(ImageCount(icons), count);
        SetClassesDefault("TorvexTest.IconType\\DefaultIcon", ExePath() + ",-174");
        int registered = icons.IndexFor("\\docs\\x.tvxicon");
        EXPECT_GE(registered, 5);
        EXPECT_EQ(icons.IndexFor("\\Y.TVXICON"), registered);
        EXPECT_EQ(ImageCount(icons), count + 1);

        // A type nobody registered: the file image, asked again each time, nothing appended.
        count = ImageCount(icons);
        EXPECT_EQ(icons.IndexFor("\\x.tvxnothing"), 3);
        EXPECT_EQ(icons.IndexFor("\\x.tvxnothing"), 3);
        EXPECT_EQ(ImageCount(icons), count);
        // One refill asks for a missing type once; the next refill asks again.
        IconBatch fill(icons);
        EXPECT_EQ(fill.IndexFor("\\a.tvxlater"), 3);
        SetClassesDefault(".tvxlater", "TorvexTest.IconType");
        EXPECT_EQ(fill.IndexFor("\\b.tvxlater"), 3);
        IconBatch nextFill(icons);
        EXPECT_GE(nextFill.IndexFor("\\b.tvxlater"), 5);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".tvxlater");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "TorvexTest.IconType\\DefaultIcon");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "TorvexTest.IconType");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".tvxicon");
    }
    RemoveTree(folder);
}

TEST(IconCache, GroupIconsByPositionOrById)
{
    HMODULE module = LoadLibraryExA(ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HICON byId = LoadGroupIcon(module, "-171");
    EXPECT_NE(byId, nullptr);
    HICON first = LoadGroupIcon(module, "0");
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(LoadGroupIcon(module, "999"), nullptr);
    EXPECT_EQ(LoadGroupIcon(module, "-9999"), nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(byId, &info));
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    DestroyIcon(byId);
    DestroyIcon(first);

    // A position counts the module's groups from 0 in enumeration order: the program icon (128),
    // then 171..175, so position 4 is the group with id 174 (the file page), not 173 or 175.
    std::vector<BYTE> fourth = IconPixels(LoadGroupIcon(module, "4"));
    ASSERT_FALSE(fourth.empty());
    EXPECT_EQ(fourth, IconPixels(LoadGroupIcon(module, "-174")));
    EXPECT_NE(fourth, IconPixels(LoadGroupIcon(module, "-173")));
    EXPECT_NE(fourth, IconPixels(LoadGroupIcon(module, "-175")));
    FreeLibrary(module);
}
