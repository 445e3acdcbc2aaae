#include "engine/path_helpers.h"
#include "framework/wide_text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/file_tree.h"

namespace {

std::string TempFolder(const char* leaf)
{
    char buffer[MAX_PATH];
    GetTempPathA(MAX_PATH, buffer);
    std::string path = buffer;
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path + "\\" + leaf;
}

TEST(DiskPaths, DrivesAndFilesExist)
{
    EXPECT_TRUE(PathExists("c:"));
    EXPECT_TRUE(PathExists("c:\\"));
    EXPECT_FALSE(PathExists("q:"));
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    EXPECT_TRUE(PathExists(exe));
    EXPECT_FALSE(PathExists(std::string(exe) + ".missing"));
}

TEST(DiskPaths, CreateDirectoryTreeCreatesEveryMissingLevel)
{
    std::string base = TempFolder("torvex-tree-test");
    RemoveDirectoryA((base + "\\a\\b\\c").c_str());
    RemoveDirectoryA((base + "\\a\\b").c_str());
    RemoveDirectoryA((base + "\\a").c_str());
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA((base + "\\a").c_str(), nullptr);

    EXPECT_TRUE(CreateDirectoryTree(base + "\\a\\b\\c"));
    EXPECT_TRUE(PathExists(base + "\\a\\b"));
    EXPECT_TRUE(PathExists(base + "\\a\\b\\c"));
    EXPECT_TRUE(CreateDirectoryTree(base + "\\a\\b\\c")); // already there
    EXPECT_FALSE(CreateDirectoryTree("q:"));

    // Past 260 characters, and a name ending in a dot (which the plain form would drop).
    std::string deep = base + "\\a";
    while (deep.size() < 300)
        deep += "\\" + std::string(60, 'x');
    deep += "\\dot.";
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(PathExists(deep));
    EXPECT_FALSE(PathExists(deep.substr(0, deep.size() - 1)));
    testsupport::RemoveTree(base);
    EXPECT_FALSE(PathExists(base));
}

TEST(DiskPaths, TheWideCallsGetTheLongFormOnlyWhereThePlainOneFails)
{
    std::string longFolder = "C:\\" + std::string(250, 'x');
    EXPECT_EQ(FileSystemPath("C:\\data\\a.txt"), L"C:\\data\\a.txt");
    EXPECT_EQ(FileSystemPath("C:\\data\\R\u00e9sum\u00e9"), L"C:\\data\\R\u00e9sum\u00e9");
    EXPECT_EQ(FileSystemPath(longFolder), L"\\\\?\\C:\\" + std::wstring(250, L'x'));
    EXPECT_EQ(FileSystemPath("\\\\server\\share\\" + std::string(250, 'x')),
              L"\\\\?\\UNC\\server\\share\\" + std::wstring(250, L'x'));
    EXPECT_EQ(FileSystemPath("C:\\data\\dot.\\a"), L"\\\\?\\C:\\data\\dot.\\a");
    EXPECT_EQ(FileSystemPath("C:\\data\\blank "), L"\\\\?\\C:\\data\\blank ");
    // The long form is taken literally: what needs resolving stays plain.
    EXPECT_EQ(FileSystemPath(longFolder + "\\..\\a"), L"C:\\" + std::wstring(250, L'x') + L"\\..\\a");
    EXPECT_EQ(FileSystemPath("relative\\" + std::string(250, 'x')), L"relative\\" + std::wstring(250, L'x'));
    EXPECT_EQ(FileSystemPath("\\\\?\\C:\\a"), L"\\\\?\\C:\\a");
}

} // namespace
