#include "engine/path_helpers.h"

#include <gtest/gtest.h>
#include <windows.h>

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

    RemoveDirectoryA((base + "\\a\\b\\c").c_str());
    RemoveDirectoryA((base + "\\a\\b").c_str());
    RemoveDirectoryA((base + "\\a").c_str());
    RemoveDirectoryA(base.c_str());
}

} // namespace
