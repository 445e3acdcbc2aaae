// Whole commands of the extension against our jar32.exe: real archives extracted, created and
// extended, checked with jar32's own listing.
#include "shell_test_support.h"
#include "tests/support/jar_runner.h"

#include "shellext/wide_text_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

using namespace shelltest;
using shellext::Utf8;
using shellext::Wide;

namespace {

// Runs jar32.exe from the test folder and returns what it printed; arguments in UTF-8, as jar32
// reads them.
std::string RunJar(const std::string& arguments, const std::string& folder)
{
    return testsupport::RunJar(arguments, testsupport::InFolder(folder)).merged();
}

// The stored paths of the newest chapter, as "v" lists them.
std::set<std::string> StoredPaths(const std::string& archive)
{
    std::string listing = RunJar("v \"" + archive + "\"", ExeFolder());
    std::set<std::string> paths;
    static const std::regex entry(R"(^\d+\) (.*)$)");
    for (const std::string& line : SplitLines(listing)) {
        std::smatch match;
        if (std::regex_match(line, match, entry))
            paths.insert(match[1]);
    }
    EXPECT_FALSE(paths.empty()) << listing;
    return paths;
}

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dll.Loaded());
        standIn = ExeFolder() + "\\shellext-stand-in";
        settings.String("jarEdit", ExeFolder());
        settings.String("torvexEdit", standIn);
        settings.Int("ShExtExtract", 1);
        settings.Int("ShExtCompress", 1);

        // A small tree to archive: notes.txt, photos\a.jpg, photos\trip\day1.jpg.
        source = temp.MakeFolder("source");
        temp.Make("source\\notes.txt", "some notes");
        temp.MakeFolder("source\\photos");
        temp.Make("source\\photos\\a.jpg", "picture a");
        temp.MakeFolder("source\\photos\\trip");
        temp.Make("source\\photos\\trip\\day1.jpg", "first day");
    }
    void TearDown() override { WaitForChildren(); }

    // Builds a menu for the selection and picks the item at offset; returns what QueryContextMenu said.
    HRESULT Choose(const std::vector<std::string>& selection, UINT offset)
    {
        return Choose(TestDataObject::WithFiles(selection), offset);
    }
    HRESULT Choose(const std::vector<std::wstring>& selection, UINT offset)
    {
        return Choose(TestDataObject::WithFiles(selection), offset);
    }
    HRESULT Choose(TestDataObject* data, UINT offset)
    {
        IContextMenu* menu = dll.Create<IContextMenu>(IID_IContextMenu);
        if (!menu)
            return E_FAIL;
        IShellExtInit* init = nullptr;
        menu->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init));
        init->Initialize(nullptr, data, nullptr);
        HMENU popup = CreatePopupMenu();
        HRESULT built = menu->QueryContextMenu(popup, 0, 1, 100, CMF_NORMAL);
        DestroyMenu(popup);
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.lpVerb = MAKEINTRESOURCEA(offset);
        HRESULT invoked = menu->InvokeCommand(&info);
        init->Release();
        data->Release();
        menu->Release();
        EXPECT_EQ(invoked, S_OK);
        EXPECT_TRUE(WaitForChildren(60000));
        return built;
    }

    // An archive of the source tree made by jar32 itself.
    std::string MakeArchive(const std::string& name)
    {
        std::string list = temp.Make("make.lst", source + "\\.\\notes.txt\r\n" + source + "\\.\\photos\r\n" + source +
                                                     "\\.\\photos\\a.jpg\r\n" + source + "\\.\\photos\\trip\r\n" +
                                                     source + "\\.\\photos\\trip\\day1.jpg\r\n");
        std::string folder = temp.MakeFolder("archives");
        std::string archive = folder + "\\" + name;
        std::string output = RunJar("a -y -r- -jf \"" + archive + "\" !\"" + list + "\"", folder);
        EXPECT_TRUE(FileExists(archive)) << output;
        return archive;
    }

    ExtensionDll dll;
    ScopedSettings settings;
    TempFolder temp;
    std::string standIn, source;
};

const std::set<std::string> kWholeTree = {"notes.txt", "photos", "photos\\a.jpg", "photos\\trip",
                                          "photos\\trip\\day1.jpg"};

TEST_F(EndToEndTest, ExtractHereAndExtractToFolderUnpackTheArchive)
{
    std::string archive = MakeArchive("backup.j");
    ASSERT_EQ(StoredPaths(archive), kWholeTree);
    std::string folder = temp.Path() + "\\archives";

    ASSERT_EQ(Choose({archive}, 0), 3);
    EXPECT_EQ(ReadFile(folder + "\\notes.txt"), "some notes");
    EXPECT_EQ(ReadFile(folder + "\\photos\\trip\\day1.jpg"), "first day");

    ASSERT_EQ(Choose({archive}, 1), 3);
    EXPECT_EQ(ReadFile(folder + "\\backup\\notes.txt"), "some notes");
    EXPECT_EQ(ReadFile(folder + "\\backup\\photos\\a.jpg"), "picture a");
    EXPECT_EQ(ReadFile(folder + "\\backup\\photos\\trip\\day1.jpg"), "first day");
}

TEST_F(EndToEndTest, ExtractToProgramHandsTheArchiveToTorvex)
{
    std::string archive = MakeArchive("hand over.j");
    DeleteFileA((standIn + "\\torvex.record").c_str());
    ASSERT_EQ(Choose({archive}, 2), 3);
    EXPECT_EQ(ScopedSettings::ReadInt("ExtractDirect"), 1);
    std::vector<std::string> record = SplitLines(ReadFile(standIn + "\\torvex.record"));
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record[0], "\"" + standIn + "\\torvex.exe\" \"" + archive + "\"");
    DeleteFileA((standIn + "\\torvex.record").c_str());
}

TEST_F(EndToEndTest, AddToStoresPathsBelowTheSelectionsFolder)
{
    settings.Int("ShExtCompression", 3);
    ASSERT_EQ(Choose({source + "\\notes.txt", source + "\\photos"}, 0), 1);
    EXPECT_EQ(StoredPaths(source + "\\notes.j"), kWholeTree);

    // One folder: the archive is named after it and holds it.
    ASSERT_EQ(Choose({source + "\\photos"}, 0), 1);
    EXPECT_EQ(StoredPaths(source + "\\photos.j"),
              (std::set<std::string>{"photos", "photos\\a.jpg", "photos\\trip", "photos\\trip\\day1.jpg"}));
}

TEST_F(EndToEndTest, SkipTopmostDirectoryStoresTheFoldersContentsOnly)
{
    settings.Int("ShExtSkipDir", 1);
    ASSERT_EQ(Choose({source + "\\photos"}, 0), 1);
    EXPECT_EQ(StoredPaths(source + "\\photos.j"), (std::set<std::string>{"a.jpg", "trip", "trip\\day1.jpg"}));
}

TEST_F(EndToEndTest, NamesOutsideTheShellsCodePageReachJarIntact)
{
    // This process, like the shell, runs in a code page that holds none of these names.
    auto writeFile = [](const std::wstring& path, const std::string& content) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    };
    auto readFile = [](const std::wstring& path) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        char buffer[64] = {};
        DWORD got = 0;
        ReadFile(file, buffer, sizeof(buffer), &got, nullptr);
        CloseHandle(file);
        return std::string(buffer, got);
    };
    std::wstring folder = Wide(temp.MakeFolder("wide"));
    std::wstring named = folder + L"\\caf\u00e9 \u65e5\u672c.txt";
    std::wstring beetle = folder + L"\\\u0416\u0443\u043a";
    writeFile(named, "wide name");
    CreateDirectoryW(beetle.c_str(), nullptr);
    writeFile(beetle + L"\\in.txt", "inside");

    ASSERT_EQ(Choose(std::vector<std::wstring>{named, beetle}, 0), 1);
    std::wstring archive = folder + L"\\caf\u00e9 \u65e5\u672c.j";
    ASSERT_NE(GetFileAttributesW(archive.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(StoredPaths(Utf8(archive.c_str())),
              (std::set<std::string>{"café 日本.txt", "Жук", "Жук\\in.txt"}));

    ASSERT_EQ(Choose(std::vector<std::wstring>{archive}, 1), 3);
    EXPECT_EQ(readFile(folder + L"\\caf\u00e9 \u65e5\u672c\\caf\u00e9 \u65e5\u672c.txt"), "wide name");
    EXPECT_EQ(readFile(folder + L"\\caf\u00e9 \u65e5\u672c\\\u0416\u0443\u043a\\in.txt"), "inside");
}

// A tree whose paths pass 260 characters, in a folder too long for JAR to run in: Add to, then
// Extract Here and Extract to folder.
TEST_F(EndToEndTest, ATreePast260CharactersIsAddedAndExtracted)
{
    std::string deep = "deep";
    temp.MakeFolder(deep);
    for (int level = 0; (temp.Path() + "\\" + deep).size() < 300; ++level)
        temp.MakeFolder(deep += "\\level" + std::to_string(level) + std::string(40, 'x'));
    temp.MakeFolder(deep + "\\tree");
    temp.MakeFolder(deep + "\\tree\\sub");
    temp.Make(deep + "\\tree\\a.txt", "long a");
    temp.Make(deep + "\\tree\\sub\\b.txt", "long b");
    std::string folder = temp.Path() + "\\" + deep;

    ASSERT_EQ(Choose({folder + "\\tree"}, 0), 1);
    const std::set<std::string> tree = {"tree", "tree\\a.txt", "tree\\sub", "tree\\sub\\b.txt"};
    EXPECT_EQ(StoredPaths(folder + "\\tree.j"), tree);

    ASSERT_EQ(Choose({folder + "\\tree.j"}, 1), 3);
    EXPECT_EQ(ReadFile(folder + "\\tree\\tree\\sub\\b.txt"), "long b");
    testsupport::RemoveTree(folder + "\\tree");
    ASSERT_EQ(Choose({folder + "\\tree.j"}, 0), 3);
    EXPECT_EQ(ReadFile(folder + "\\tree\\a.txt"), "long a");
    EXPECT_EQ(ReadFile(folder + "\\tree\\sub\\b.txt"), "long b");
}

TEST_F(EndToEndTest, DropOntoAnArchiveExtendsIt)
{
    std::string archive = MakeArchive("target.j");
    std::string extra = temp.Make("extra.txt", "dropped");
    std::string more = temp.MakeFolder("more");
    temp.Make("more\\inside.txt", "inside");

    IDropTarget* drop = dll.Create<IDropTarget>(IID_IDropTarget);
    ASSERT_NE(drop, nullptr);
    IPersistFile* file = nullptr;
    drop->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    std::wstring wide(archive.begin(), archive.end());
    EXPECT_EQ(file->Load(wide.c_str(), STGM_READ), S_OK);
    TestDataObject* data = TestDataObject::WithFiles({extra, more});
    POINTL point = {0, 0};
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(drop->DragEnter(data, 0, point, &effect), S_OK);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(drop->Drop(data, 0, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    file->Release();
    drop->Release();
    data->Release();
    ASSERT_TRUE(WaitForChildren(60000));

    std::set<std::string> expected = kWholeTree;
    expected.insert({"extra.txt", "more", "more\\inside.txt"});
    EXPECT_EQ(StoredPaths(archive), expected);
    // What was dropped is still where it was.
    EXPECT_EQ(ReadFile(extra), "dropped");
}

} // namespace
