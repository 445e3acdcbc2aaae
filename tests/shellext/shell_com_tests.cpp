// The COM server loaded as the shell loads it, with stand-ins for jar32.exe and torvex.exe that
// record how they were started.
#include "shell_test_support.h"

#include <gtest/gtest.h>

#include <optional>

using namespace shelltest;

namespace {

template <typename T>
class Com {
public:
    explicit Com(T* p = nullptr) : p_(p) {}
    ~Com()
    {
        if (p_)
            p_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    Com(Com&& other) noexcept : p_(other.release()) {}
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T* release()
    {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    template <typename U>
    Com<U> As(REFIID iid) const
    {
        U* other = nullptr;
        p_->QueryInterface(iid, reinterpret_cast<void**>(&other));
        return Com<U>(other);
    }

private:
    T* p_;
};

struct Launch {
    std::string commandLine, folder, config, title;
    int show = -1;
    std::vector<std::string> list;
};

class ShellExtensionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dll.Loaded());
        ASSERT_EQ(GetEnvironmentVariableA("JAR_CFG_FILE", nullptr, 0), 0u);
        standIn = ExeFolder() + "\\shellext-stand-in";
        ASSERT_TRUE(FileExists(standIn + "\\jar32.exe"));
        ASSERT_TRUE(FileExists(standIn + "\\torvex.exe"));
        DeleteFileA((standIn + "\\jar32.record").c_str());
        DeleteFileA((standIn + "\\torvex.record").c_str());
        settings.String("jarEdit", standIn);
        settings.String("torvexEdit", standIn);
        settings.Int("ShExtExtract", 1);
        settings.Int("ShExtCompress", 1);
    }
    void TearDown() override { WaitForChildren(); }

    Com<IContextMenu> NewObject() { return Com<IContextMenu>(dll.Create<IContextMenu>(IID_IContextMenu)); }

    // An object initialised with a selection, its menu built into a fresh pop-up.
    Com<IContextMenu> MenuFor(const std::vector<std::string>& paths, HRESULT* built = nullptr)
    {
        Com<IContextMenu> menu = NewObject();
        Com<IShellExtInit> init = menu.As<IShellExtInit>(IID_IShellExtInit);
        Com<TestDataObject> data(TestDataObject::WithFiles(paths));
        init->Initialize(nullptr, data.get(), nullptr);
        HMENU popup = CreatePopupMenu();
        HRESULT result = menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL);
        DestroyMenu(popup);
        if (built)
            *built = result;
        return menu;
    }

    static HRESULT Invoke(IContextMenu* menu, UINT_PTR offset)
    {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.lpVerb = reinterpret_cast<LPCSTR>(offset);
        info.nShow = SW_SHOWNORMAL;
        return menu->InvokeCommand(&info);
    }

    std::optional<Launch> Started(const char* program)
    {
        EXPECT_TRUE(WaitForChildren());
        std::string path = standIn + "\\" + program + ".record";
        if (!FileExists(path))
            return std::nullopt;
        std::vector<std::string> lines = SplitLines(ReadFile(path));
        DeleteFileA(path.c_str());
        Launch launch;
        if (lines.size() < 5)
            return launch;
        launch.commandLine = lines[0];
        launch.folder = lines[1];
        launch.config = lines[2];
        launch.title = lines[3];
        launch.show = std::stoi(lines[4]);
        for (size_t i = 5; i < lines.size(); ++i)
            launch.list.push_back(lines[i].substr(5));
        return launch;
    }

    ExtensionDll dll;
    ScopedSettings settings;
    TempFolder temp;
    std::string standIn;
};

TEST_F(ShellExtensionTest, ServerEntryPointsAndLiveCount)
{
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);

    void* object = reinterpret_cast<void*>(1);
    CLSID other = kClassId;
    other.Data1 ^= 1;
    EXPECT_EQ(dll.GetClassObject(other, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);

    // A factory nobody could query does not keep the library loaded.
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.GetClassObject(kClassId, IID_IDropTarget, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);

    IClassFactory* rawFactory = nullptr;
    ASSERT_EQ(dll.GetClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&rawFactory)), S_OK);
    Com<IClassFactory> factory(rawFactory);
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    Com<IUnknown> factoryUnknown = factory.As<IUnknown>(IID_IUnknown);
    EXPECT_EQ(static_cast<void*>(factoryUnknown.get()), static_cast<void*>(factory.get()));

    Com<IUnknown> outer(NewObject().release());
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    IContextMenu* menu = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, reinterpret_cast<void**>(&menu)), S_OK);
    factory.release()->Release();
    factoryUnknown.release()->Release();
    outer.release()->Release();
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(menu->Release(), 0u);
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST_F(ShellExtensionTest, FourInterfacesShareOneIdentityAndOneCount)
{
    Com<IContextMenu> menu = NewObject();
    ASSERT_NE(menu.get(), nullptr);
    IUnknown* unknown = nullptr;
    IShellExtInit* init = nullptr;
    IDropTarget* drop = nullptr;
    IPersistFile* persist = nullptr;
    IContextMenu* menuAgain = nullptr;
    ASSERT_EQ(menu->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    ASSERT_EQ(menu->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init)), S_OK);
    ASSERT_EQ(init->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&drop)), S_OK);
    ASSERT_EQ(drop->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)), S_OK);
    ASSERT_EQ(persist->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menuAgain)), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(init));
    EXPECT_EQ(menuAgain, menu.get());
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(persist->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    // Six references now (the first and five queries); each pointer counts the same number.
    EXPECT_EQ(menu->AddRef(), 7u);
    EXPECT_EQ(init->AddRef(), 8u);
    EXPECT_EQ(drop->AddRef(), 9u);
    EXPECT_EQ(persist->AddRef(), 10u);
    EXPECT_EQ(persist->Release(), 9u);
    EXPECT_EQ(drop->Release(), 8u);
    EXPECT_EQ(init->Release(), 7u);
    EXPECT_EQ(menu->Release(), 6u);
    for (IUnknown* p : {static_cast<IUnknown*>(unknown), static_cast<IUnknown*>(init), static_cast<IUnknown*>(drop),
                        static_cast<IUnknown*>(persist), static_cast<IUnknown*>(menuAgain)})
        p->Release();

    CLSID classId = {};
    Com<IPersistFile> file = menu.As<IPersistFile>(IID_IPersistFile);
    EXPECT_EQ(file->GetClassID(&classId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(classId, kClassId));
    LPOLESTR current = reinterpret_cast<LPOLESTR>(1);
    EXPECT_EQ(file->GetCurFile(&current), S_OK);
    EXPECT_EQ(current, nullptr);
    char text[8] = "garbage";
    EXPECT_EQ(menu->GetCommandString(0, GCS_HELPTEXTA, nullptr, text, sizeof(text)), S_OK);
    EXPECT_EQ(text[0], '\0');
}

TEST_F(ShellExtensionTest, InitializeHoldsOnlyTheLatestDataObject)
{
    Com<TestDataObject> first(TestDataObject::WithFiles({"C:\\a.txt"}));
    Com<TestDataObject> second(TestDataObject::WithFiles({"C:\\b.txt"}));
    {
        Com<IContextMenu> menu = NewObject();
        Com<IShellExtInit> init = menu.As<IShellExtInit>(IID_IShellExtInit);
        EXPECT_EQ(init->Initialize(nullptr, first.get(), nullptr), S_OK);
        EXPECT_EQ(first->References(), 2u);
        EXPECT_EQ(init->Initialize(nullptr, second.get(), nullptr), S_OK);
        EXPECT_EQ(first->References(), 1u);
        EXPECT_EQ(second->References(), 2u);

        // The menu follows the data object held now.
        HMENU popup = CreatePopupMenu();
        EXPECT_EQ(menu->QueryContextMenu(popup, 0, 1, 100, CMF_NORMAL), 1);
        char text[64] = {};
        GetMenuStringA(popup, 0, text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ(text, "Add to b.j");
        EXPECT_EQ(GetMenuItemID(popup, 0), 1u);
        // Unlike the extract items, the add item has no picture.
        MENUITEMINFOA item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_CHECKMARKS;
        ASSERT_TRUE(GetMenuItemInfoA(popup, 0, TRUE, &item));
        EXPECT_EQ(item.hbmpChecked, nullptr);
        EXPECT_EQ(item.hbmpUnchecked, nullptr);
        DestroyMenu(popup);
    }
    EXPECT_EQ(second->References(), 1u);
}

TEST_F(ShellExtensionTest, ArchiveMenuTextsIdsPositionsAndBitmap)
{
    Com<IContextMenu> menu = NewObject();
    Com<IShellExtInit> init = menu.As<IShellExtInit>(IID_IShellExtInit);
    Com<TestDataObject> data(TestDataObject::WithFiles({"C:\\data\\backup.j"}));
    init->Initialize(nullptr, data.get(), nullptr);

    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 1, "Open");
    AppendMenuA(popup, MF_STRING, 2, "Properties");
    EXPECT_EQ(menu->QueryContextMenu(popup, 1, 500, 600, CMF_EXPLORE), 3);
    ASSERT_EQ(GetMenuItemCount(popup), 5);
    const char* expected[] = {"Open", "Extract Here", "Extract to C:\\data\\backup", "Extract to ...", "Properties"};
    const UINT ids[] = {1, 500, 501, 502, 2};
    for (int i = 0; i < 5; ++i) {
        char text[128] = {};
        GetMenuStringA(popup, i, text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ(text, expected[i]);
        EXPECT_EQ(GetMenuItemID(popup, i), ids[i]);
    }
    for (int i = 1; i <= 3; ++i) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_CHECKMARKS;
        ASSERT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &item));
        ASSERT_NE(item.hbmpChecked, nullptr);
        EXPECT_EQ(item.hbmpChecked, item.hbmpUnchecked);
        BITMAP bitmap = {};
        ASSERT_TRUE(GetObjectA(item.hbmpChecked, sizeof(bitmap), &bitmap));
        EXPECT_EQ(bitmap.bmWidth, 13);
        EXPECT_EQ(bitmap.bmHeight, 13);
    }
    DestroyMenu(popup);

    // The resource itself is the 16-colour picture.
    HRSRC resource = FindResourceA(dll.Module(), MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    ASSERT_NE(resource, nullptr);
    auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(dll.Module(), resource)));
    EXPECT_EQ(header->biWidth, 13);
    EXPECT_EQ(header->biHeight, 13);
    EXPECT_EQ(header->biBitCount, 4);
}

TEST_F(ShellExtensionTest, MenuDependsOnFlagsSettingsAndIdRange)
{
    auto itemsFor = [&](const std::vector<std::string>& paths, UINT flags, UINT lastId = 200) {
        Com<IContextMenu> menu = NewObject();
        Com<IShellExtInit> init = menu.As<IShellExtInit>(IID_IShellExtInit);
        Com<TestDataObject> data(TestDataObject::WithFiles(paths));
        init->Initialize(nullptr, data.get(), nullptr);
        HMENU popup = CreatePopupMenu();
        HRESULT result = menu->QueryContextMenu(popup, 0, 100, lastId, flags);
        EXPECT_EQ(GetMenuItemCount(popup), static_cast<int>(result));
        DestroyMenu(popup);
        return result;
    };
    EXPECT_EQ(itemsFor({"C:\\a.j"}, CMF_DEFAULTONLY), 0);
    EXPECT_EQ(itemsFor({"C:\\a.txt"}, CMF_VERBSONLY), 0);
    EXPECT_EQ(itemsFor({"C:\\a.j"}, CMF_NORMAL, 101), 0);  // three ids do not fit
    EXPECT_EQ(itemsFor({"C:\\a.j", "C:\\b.j"}, CMF_NORMAL), 1);

    // Settings are read at every use, and a missing switch is off.
    settings.Remove("ShExtExtract");
    EXPECT_EQ(itemsFor({"C:\\a.j"}, CMF_NORMAL), 0);
    EXPECT_EQ(itemsFor({"C:\\a.txt"}, CMF_NORMAL), 1);
    settings.Remove("ShExtCompress");
    EXPECT_EQ(itemsFor({"C:\\a.txt"}, CMF_NORMAL), 0);
    settings.Int("ShExtExtract", 1);
    EXPECT_EQ(itemsFor({"C:\\a.j"}, CMF_NORMAL), 3);

    // Without a drop list there is nothing to offer.
    Com<IContextMenu> menu = NewObject();
    Com<IShellExtInit> init = menu.As<IShellExtInit>(IID_IShellExtInit);
    Com<TestDataObject> stream(TestDataObject::StreamOnly());
    init->Initialize(nullptr, stream.get(), nullptr);
    HMENU popup = CreatePopupMenu();
    EXPECT_EQ(menu->QueryContextMenu(popup, 0, 1, 100, CMF_NORMAL), 0);
    DestroyMenu(popup);
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    EXPECT_TRUE(FAILED(menu->InvokeCommand(&info)));
}

TEST_F(ShellExtensionTest, ExtractCommandsStartJarInTheArchiveFolderWithItsOwnEnvironment)
{
    std::string archive = temp.Make("backup.j");
    HRESULT built = 0;
    Com<IContextMenu> menu = MenuFor({archive}, &built);
    ASSERT_EQ(built, 3);

    EXPECT_EQ(Invoke(menu.get(), reinterpret_cast<UINT_PTR>("x")), E_INVALIDARG);
    EXPECT_FALSE(Started("jar32"));

    ULONGLONG before = GetTickCount64();
    EXPECT_EQ(Invoke(menu.get(), 0), S_OK);
    // The shell's thread is back at once, and its own environment is untouched.
    EXPECT_LT(GetTickCount64() - before, 1500u);
    EXPECT_EQ(GetEnvironmentVariableA("JAR_CFG_FILE", nullptr, 0), 0u);
    std::optional<Launch> here = Started("jar32");
    ASSERT_TRUE(here);
    EXPECT_EQ(here->commandLine, standIn + "\\jar32.exe  x -r -jf -y  \"" + archive + "\"");
    EXPECT_STRCASEEQ(here->folder.c_str(), temp.Path().c_str());
    EXPECT_EQ(here->config, standIn + "\\Torvex.cfg");
    EXPECT_EQ(here->title, "Torvex running Jar");
    EXPECT_EQ(here->show, SW_MINIMIZE);

    EXPECT_EQ(Invoke(menu.get(), 1), S_OK);
    std::optional<Launch> toFolder = Started("jar32");
    ASSERT_TRUE(toFolder);
    EXPECT_EQ(toFolder->commandLine, standIn + "\\jar32.exe  x -r -jf -y -o\"" + temp.Path() + "\\backup\"  \"" +
                                         archive + "\"");
    EXPECT_EQ(toFolder->config, standIn + "\\Torvex.cfg");
}

TEST_F(ShellExtensionTest, ExtractToProgramRequestsExtractModeAndStartsTheProgram)
{
    std::string archive = temp.Make("my archive.j");
    Com<IContextMenu> menu = MenuFor({archive});
    settings.Remove("ExtractDirect");
    EXPECT_EQ(Invoke(menu.get(), 2), S_OK);
    std::optional<Launch> program = Started("torvex");
    ASSERT_TRUE(program);
    EXPECT_EQ(program->commandLine, "\"" + standIn + "\\torvex.exe\" \"" + archive + "\"");
    EXPECT_EQ(program->config, "<unset>");
    EXPECT_EQ(ScopedSettings::ReadInt("ExtractDirect"), 1);
    EXPECT_FALSE(Started("jar32"));

    // When the program cannot be started, no request is left behind for its next start.
    settings.String("torvexEdit", temp.Path());
    EXPECT_EQ(Invoke(menu.get(), 2), S_OK);
    EXPECT_EQ(ScopedSettings::ReadInt("ExtractDirect"), 0);
    EXPECT_FALSE(Started("torvex"));
}

TEST_F(ShellExtensionTest, AddToRunsJarWithAListFileOfItsOwn)
{
    std::string notes = temp.Make("notes.txt", "n");
    std::string folder = temp.MakeFolder("photos");
    temp.Make("photos\\a.jpg", "a");
    settings.Int("ShExtCompression", 3);
    settings.Int("tempDir", 1);
    settings.String("tempEdit", "c:");

    HRESULT built = 0;
    Com<IContextMenu> menu = MenuFor({notes, folder}, &built);
    ASSERT_EQ(built, 1);
    EXPECT_EQ(Invoke(menu.get(), 1), E_INVALIDARG);
    EXPECT_EQ(Invoke(menu.get(), reinterpret_cast<UINT_PTR>("add")), E_INVALIDARG);
    EXPECT_FALSE(Started("jar32"));

    EXPECT_EQ(Invoke(menu.get(), 0), S_OK);
    std::optional<Launch> add = Started("jar32");
    ASSERT_TRUE(add);
    std::string prefix = standIn + "\\jar32.exe a -y -r- -jf -m1 -w\"c:\\\" \"" + temp.Path() + "\\notes.j\" !\"";
    EXPECT_EQ(add->commandLine.substr(0, prefix.size()), prefix);
    EXPECT_EQ(add->config, standIn + "\\Torvex.cfg");
    EXPECT_EQ(add->list, (std::vector<std::string>{temp.Path() + "\\.\\notes.txt", temp.Path() + "\\.\\photos",
                                                   temp.Path() + "\\.\\photos\\a.jpg"}));

    // The list belongs to that run and goes once JAR has ended.
    std::string listFile = add->commandLine.substr(prefix.size());
    listFile.pop_back();
    EXPECT_NE(listFile.find("~TorvexAdd"), std::string::npos);
    for (int i = 0; i < 100 && FileExists(listFile); ++i)
        Sleep(50);
    EXPECT_FALSE(FileExists(listFile));
}

TEST_F(ShellExtensionTest, DragEffectsFollowTheOfferedMedium)
{
    Com<IContextMenu> menu = NewObject();
    Com<IDropTarget> target = menu.As<IDropTarget>(IID_IDropTarget);
    Com<TestDataObject> files(TestDataObject::WithFiles({"C:\\a.txt"}));
    Com<TestDataObject> stream(TestDataObject::StreamOnly());
    POINTL point = {0, 0};

    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(target->DragEnter(files.get(), 0, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(0, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));

    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(stream.get(), 0, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->DragOver(0, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->DragLeave(), S_OK);
    // Dragging over holds nothing: only the test's own references remain.
    EXPECT_EQ(files->References(), 1u);
    EXPECT_EQ(stream->References(), 1u);
}

TEST_F(ShellExtensionTest, LoadThenDropAddsToThatArchive)
{
    std::string target = temp.Make("target.j");
    std::string a = temp.Make("a.txt", "a");
    std::string b = temp.Make("b.txt", "b");
    Com<IContextMenu> menu = NewObject();
    Com<IPersistFile> file = menu.As<IPersistFile>(IID_IPersistFile);
    Com<IDropTarget> drop = menu.As<IDropTarget>(IID_IDropTarget);
    std::wstring wideTarget(target.begin(), target.end());
    ASSERT_EQ(file->Load(wideTarget.c_str(), STGM_READ), S_OK);

    Com<TestDataObject> files(TestDataObject::WithFiles({a, b}));
    POINTL point = {0, 0};
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(drop->DragEnter(files.get(), 0, point, &effect), S_OK);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(drop->Drop(files.get(), 0, point, &effect), S_OK);
    // A copy: the source must not delete what it dragged.
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(files->References(), 2u);
    std::optional<Launch> add = Started("jar32");
    ASSERT_TRUE(add);
    EXPECT_EQ(add->commandLine.substr(0, add->commandLine.find(" !\"")),
              standIn + "\\jar32.exe a -y -r- -jf -m4 \"" + target + "\"");
    EXPECT_EQ(add->list, (std::vector<std::string>{temp.Path() + "\\.\\a.txt", temp.Path() + "\\.\\b.txt"}));
    EXPECT_STRCASEEQ(add->folder.c_str(), temp.Path().c_str());

    // Settings are read again for the next drop.
    settings.Int("ShExtCompression", 2);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(drop->Drop(files.get(), 0, point, &effect), S_OK);
    add = Started("jar32");
    ASSERT_TRUE(add);
    EXPECT_NE(add->commandLine.find(" -m2 \""), std::string::npos);
}

TEST_F(ShellExtensionTest, DropWithoutAUsableArchiveNameStartsNothing)
{
    Com<IContextMenu> menu = NewObject();
    Com<IPersistFile> file = menu.As<IPersistFile>(IID_IPersistFile);
    Com<IDropTarget> drop = menu.As<IDropTarget>(IID_IDropTarget);
    Com<TestDataObject> files(TestDataObject::WithFiles({temp.Make("a.txt", "a")}));
    POINTL point = {0, 0};
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(drop->Drop(files.get(), 0, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(file->Load(nullptr, STGM_READ), E_INVALIDARG);

    // Broken UTF-16 is refused rather than turned into another name.
    EXPECT_EQ(file->Load(L"C:\\x\xD800.j", STGM_READ), E_INVALIDARG);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(drop->Drop(files.get(), 0, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_FALSE(Started("jar32"));
}

} // namespace
