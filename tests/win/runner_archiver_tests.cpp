// The runner and the parsers against our own jar32.exe: the command texts Torvex builds are
// accepted, and the listings come back as the catalogue expects them.
#include "engine/jar_commands.h"
#include "engine/jar_runner_win.h"
#include "framework/message_box.h"
#include "tests/support/file_tree.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

namespace {

std::string ModuleFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.rfind('\\'));
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class WithArchiver : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int instance = 0;
        folder = std::string(temp) + "torvex-archiver-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++instance);
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\src").c_str(), nullptr);
        CreateDirectoryA((folder + "\\src\\docs").c_str(), nullptr);
        WriteFile(folder + "\\src\\docs\\read me.txt", std::string(3000, 'r'));
        WriteFile(folder + "\\src\\top.txt", "top\r\n");
        WriteFile(folder + "\\src\\later.txt", "added in chapter 2\r\n");
        archive = folder + "\\project.j";
        DeleteFileA(archive.c_str());

        session.jarFolder = ModuleFolder();
        session.programFolder = ModuleFolder();
        session.workingFolder = folder;
        catalogue.ArchivePath = archive;
        SetPromptScript([this](const PromptRequest& request) {
            prompts.push_back(request.text);
            return prompt::IdOk;
        });
    }

    void TearDown() override
    {
        SetPromptScript(nullptr);
        testsupport::RemoveTree(folder);
    }

    // Adds disk files; "\.\" marks where the stored path begins.
    bool Add(const std::string& commandWord, const std::vector<std::string>& stored)
    {
        std::string list;
        for (const std::string& path : stored)
            list += folder + "\\src\\.\\" + path + "\r\n";
        WriteFile(folder + "\\list.txt", list);
        return session.RunConsole(ListFileArguments(commandWord + " -y -r- -jf -m4", archive, folder + "\\list.txt"),
                                  ConsoleShow::Hidden);
    }

    bool Open()
    {
        return session.ListChapters(catalogue) && session.ListChapter(catalogue, catalogue.LastChapter);
    }

    std::string folder;
    std::string archive;
    WinJarRunner session;
    ArchiveCatalogue catalogue;
    std::vector<std::string> prompts;
};

TEST_F(WithArchiver, AddListTestAndDeleteChapters)
{
    ASSERT_TRUE(Add(AddCommandWord(0), {"docs\\read me.txt", "top.txt"}));
    ASSERT_TRUE(Open()) << (prompts.empty() ? "" : prompts[0]);
    EXPECT_EQ(catalogue.LastChapter, 1);
    const ChapterInfo* first = catalogue.Chapter(1);
    ASSERT_NE(first, nullptr);
    const EntryList* docs = first->Directories.Find("\\docs");
    ASSERT_NE(docs, nullptr);
    ASSERT_EQ(docs->size(), 1u);
    EXPECT_EQ((*docs)[0].Path, "\\docs\\read me.txt");
    EXPECT_EQ((*docs)[0].Columns[ArchiveEntry::Size], "3000");
    EXPECT_EQ((*docs)[0].Columns[ArchiveEntry::Modified].size(), 19u); // "YYYY-MM-DD HH:MM:SS"
    const EntryList* root = first->Directories.Find("\\");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->size(), 2u); // docs and top.txt
    EXPECT_FALSE(catalogue.Ratio.empty());

    ASSERT_TRUE(Add(AddCommandWord(3), {"later.txt"}));
    ASSERT_TRUE(Open());
    EXPECT_EQ(catalogue.LastChapter, 2);
    EXPECT_NE(catalogue.Chapter(2)->Directories.Find("\\"), nullptr);

    EXPECT_TRUE(session.RunConsole(TestArguments(archive), ConsoleShow::Hidden)) << (prompts.empty() ? "" : prompts.back());

    ASSERT_TRUE(session.RunConsole(DeleteChaptersArguments(archive, {"1"}), ConsoleShow::Hidden));
    ASSERT_TRUE(session.ListChapters(catalogue));
    EXPECT_EQ(catalogue.LastChapter, 2);
    EXPECT_EQ(catalogue.Chapter(1), nullptr);
    EXPECT_NE(catalogue.Chapter(2), nullptr);
    EXPECT_TRUE(prompts.empty()) << prompts.front();
}

TEST_F(WithArchiver, ArchiverErrorsReachTheUser)
{
    WriteFile(archive, "this is not an archive");
    EXPECT_FALSE(session.ListChapters(catalogue));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].rfind("JAR ERROR", 0), 0u) << prompts[0];
    EXPECT_EQ(catalogue.LastChapter, 0);
}

} // namespace
