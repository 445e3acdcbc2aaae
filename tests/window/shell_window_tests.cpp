// Shell registration, first start, uninstall, help, Tip of the Day and About, driven through the
// real window and dialogs; registry results are read back from the registry itself.
#include "app/shell_registration_win.h"
#include "dialog_driver.h"
#include "dialogs/setting_names.h"
#include "framework/message_box.h"
#include "framework/registry_key.h"
#include "resources/resource.h"
#include "view_test_support.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>

using namespace viewtest;
using dialogtest::Drive;

namespace {

// The default (or named) value of a key; "<missing>" when the key or value is not there.
std::string RegValue(HKEY root, const std::string& path, const std::string& name = "")
{
    RegistryKey key;
    std::string value;
    if (!key.Open(root, path, KEY_READ) || !key.QueryString(name, value))
        return "<missing>";
    return value;
}

const std::string kUserClasses = "Software\\Classes\\";

bool KeyExists(HKEY root, const std::string& path)
{
    RegistryKey key;
    return key.Open(root, path, KEY_READ);
}

void SetValue(HKEY root, const std::string& path, const std::string& value, const std::string& name = "")
{
    RegistryKey key;
    ASSERT_TRUE(key.Create(root, path));
    ASSERT_TRUE(key.SetString(name, value));
}

// Leaves the class registry as a machine without Torvex has it, ".j" owned by `owner` (or absent).
void ResetClasses(const std::string& owner)
{
    for (const auto& key : shellreg::UninstallKeys())
        if (key.root == shellreg::Root::ClassesRoot) {
            RegDeleteKeyA(HKEY_CURRENT_USER, (kUserClasses + key.path).c_str());
            RegDeleteKeyA(HKEY_CLASSES_ROOT, key.path.c_str());
        }
    RegDeleteKeyA(HKEY_CURRENT_USER, (kUserClasses + ".j").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".j");
    if (!owner.empty())
        SetValue(HKEY_CLASSES_ROOT, ".j", owner);
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The application started as a user starts it (first-run dialog and tip included), on an
// in-memory store; closed and destroyed with the object.
class AttendedApp {
public:
    explicit AttendedApp(std::function<void(SettingsStore&)> settings)
    {
        auto store = std::make_unique<MemorySettingsStore>();
        store->WriteProfileString(kSettingsSection, "jarEdit", ProgramFolder());
        store->WriteProfileString(kSettingsSection, "torvexEdit", ProgramFolder());
        settings(*store);
        app_ = std::make_unique<CTorvexApp>();
        app_->SetSettingsStore(std::move(store));
        started = app_->InitInstance();
    }
    ~AttendedApp()
    {
        if (app_->MainWindow() && app_->MainWindow()->Handle())
            DestroyWindow(app_->MainWindow()->Handle());
        app_->PumpMessages();
        app_->CloseAll();
    }
    CTorvexApp& App() { return *app_; }
    bool started = false;

private:
    std::unique_ptr<CTorvexApp> app_;
};

} // namespace

TEST(ShellWindow, ShellExtensionsDialogWritesTheLayoutAndHandsDotJBack)
{
    ResetClasses("TestOwner.Archive");
    std::string folder = MakeScratchFolder("shellreg");
    {
        TorvexWindow w(folder);
        EXPECT_TRUE(Drive({{"Shell Extensions", [](HWND d) {
                                EXPECT_TRUE(dialogtest::Enabled(d, IDHELP_SHEXT));
                                EXPECT_EQ(dialogtest::Text(d, IDC_SHEXT_COMPRESSION), "Best");
                                dialogtest::PostClick(d, IDOK);
                            }}},
                          [&] { w.Command(ID_SHELL_EXTENSIONS); }));
        const std::string program = ProgramFolder();
        // Per user, and seen through HKEY_CLASSES_ROOT (Wine does not merge the user's classes into it).
        for (const auto& write : shellreg::PlanRegistration(true, true, true, program, "TestOwner.Archive").writes) {
            EXPECT_EQ(RegValue(HKEY_CURRENT_USER, kUserClasses + write.key, write.valueName), write.data) << write.key;
            EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, write.key, write.valueName), write.data) << write.key;
        }
        // A ".j" file opens Torvex by its association.
        WriteFile(folder + "\\opened.j", "");
        char opener[MAX_PATH] = {};
        EXPECT_GT((INT_PTR)FindExecutableA((folder + "\\opened.j").c_str(), nullptr, opener), 32);
        EXPECT_EQ(lstrcmpiA(opener, (program + "\\torvex.exe").c_str()), 0) << opener;
        SettingsStore& store = w.App().Settings();
        EXPECT_EQ(ReadSetting(store, setting::ShExtPrevAssoc), "TestOwner.Archive");
        EXPECT_EQ(store.GetProfileInt("Settings", "ShExtAssociate", -1), 1);

        // Registering again keeps the first owner; then the association is unticked, the
        // compression extension too (its options follow it), and the rate was changed.
        EXPECT_TRUE(Drive({{"Shell Extensions", [](HWND d) {
                                SendMessageA(GetDlgItem(d, IDC_SHEXT_COMPRESSION), CB_SETCURSEL, 2, 0);
                                CheckDlgButton(d, IDC_SHEXT_ASSOCIATE, BST_UNCHECKED);
                                dialogtest::Click(d, IDC_SHEXT_COMPRESS);
                                EXPECT_FALSE(dialogtest::Enabled(d, IDC_SHEXT_COMPRESSION));
                                EXPECT_FALSE(dialogtest::Enabled(d, IDC_SHEXT_SKIP_DIR));
                                dialogtest::PostClick(d, IDOK);
                            }}},
                          [&] { w.Command(ID_SHELL_EXTENSIONS); }));
        EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".j"), "TestOwner.Archive");
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Torvex"));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Directory\\shellex\\ContextMenuHandlers\\Torvex"));
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Torvex.Document\\shellex\\ContextMenuHandlers\\TorvexMenu"));
        EXPECT_EQ(ReadSetting(store, setting::ShExtPrevAssoc), "TestOwner.Archive");
        EXPECT_EQ(store.GetProfileInt("Settings", "ShExtCompress", -1), 0);
        EXPECT_EQ(store.GetProfileInt("Settings", "ShExtCompression", -1), 2);

        // Cancel changes nothing.
        EXPECT_TRUE(Drive({{"Shell Extensions", [](HWND d) {
                                CheckDlgButton(d, IDC_SHEXT_ASSOCIATE, BST_CHECKED);
                                dialogtest::PostClick(d, IDCANCEL);
                            }}},
                          [&] { w.Command(ID_SHELL_EXTENSIONS); }));
        EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".j"), "TestOwner.Archive");
    }
    ResetClasses("");
    RemoveTree(folder);
}

TEST(ShellWindow, UninstallConfirmedRemovesEveryKeyAtExitOnly)
{
    ResetClasses("");
    shellreg::RegistrationPlan plan = shellreg::PlanRegistration(true, true, true, ProgramFolder(), "");
    for (const auto& write : plan.writes)
        SetValue(HKEY_CLASSES_ROOT, write.key, write.data, write.valueName);
    const std::string root = shellreg::kSettingsRoot;
    SetValue(HKEY_CURRENT_USER, root + "\\Settings", "x", "jarEdit");
    SetValue(HKEY_CURRENT_USER, root + "\\Tip", "stamp", "TimeStamp");
    SetValue(HKEY_CURRENT_USER, root + "\\Recent File List", "C:\\a.j", "File1");
    std::string folder = MakeScratchFolder("uninstall");
    {
        TorvexWindow w(folder);
        std::vector<PromptRequest> prompts;
        int answer = prompt::IdCancel;
        SetPromptScript([&](const PromptRequest& r) { prompts.push_back(r); return answer; });
        w.Command(ID_UNINSTALL);
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_EQ(prompts[0].text, "Delete all Torvex entries in the registry.\nThen you can delete the Torvex directory.");
        EXPECT_EQ(prompts[0].type & 0xF, prompt::OkCancel);
        EXPECT_FALSE(w.App().UninstallOnExit);

        answer = prompt::IdOk;
        w.Command(ID_UNINSTALL);
        EXPECT_TRUE(w.App().UninstallOnExit);
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Torvex.Document"));  // nothing happens before exit
        w.App().AddToRecentFileList(folder + "\\b.j");
        w.App().ExitInstance();
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, root));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Quendal"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".j"));  // no previous owner: the key goes
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Torvex.Document"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("CLSID\\") + shellreg::kExtensionClsid));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Torvex"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Directory\\shellex\\ContextMenuHandlers\\Torvex"));

    // ".j" owned by another program stays with it; a recorded owner gets it back.
    SetValue(HKEY_CLASSES_ROOT, ".j", "Else.Archive");
    shellreg::RemoveRegistration();
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".j"), "Else.Archive");
    SetValue(HKEY_CLASSES_ROOT, ".j", "Torvex.Document");
    SetValue(HKEY_CURRENT_USER, root + "\\Settings", "Before.Archive", "ShExtPrevAssoc");
    shellreg::RemoveRegistration();
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".j"), "Before.Archive");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, root));
    ResetClasses("");
    RemoveTree(folder);
}

TEST(ShellWindow, FirstStartOffersShellExtensionsAndClearsFirstRunEvenOnCancel)
{
    ResetClasses("");
    std::unique_ptr<AttendedApp> a;
    EXPECT_TRUE(Drive({{"Shell Extensions", [](HWND d) {
                            EXPECT_FALSE(dialogtest::Enabled(d, IDHELP_SHEXT));  // Help is off at the first start
                            dialogtest::PostClick(d, IDCANCEL);
                        }}},
                      [&] { a = std::make_unique<AttendedApp>([](SettingsStore& store) { store.WriteProfileInt("Tip", "StartUp", 1); }); }));
    EXPECT_TRUE(a->started);
    EXPECT_EQ(a->App().Settings().GetProfileInt("Settings", "FirstRun", -1), 0);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Torvex.Document"));  // cancelled: nothing registered
}

TEST(ShellWindow, TipAtStartUpNextTipAndAbout)
{
    std::string folder = MakeScratchFolder("tips");
    WriteFile(folder + "\\tips.txt", "; comment\r\nFirst tip\r\n Skipped\r\nSecond tip\r\n");
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(folder.c_str());
    std::vector<std::string> shown;
    {
        std::unique_ptr<AttendedApp> started;
        auto tipStep = dialogtest::Step{"Tip of the Day", [&](HWND d) {
            // The window behind shows its buttons as they are: nothing is selected to view.
            HWND toolbar = FindWindowExA(GetWindow(d, GW_OWNER), nullptr, TOOLBARCLASSNAMEA, nullptr);
            ASSERT_NE(toolbar, nullptr);
            EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, ID_VIEW_OPEN_FILE, 0));
            EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, ID_REFRESH, 0));
            shown.push_back(dialogtest::Text(d, IDC_TIP_TEXT));
            EXPECT_EQ(IsDlgButtonChecked(d, IDC_TIP_SHOW_AT_STARTUP), BST_CHECKED);
            SendMessageA(GetDlgItem(d, IDC_TIP_NEXT), BM_CLICK, 0, 0);
            shown.push_back(dialogtest::Text(d, IDC_TIP_TEXT));
            SendMessageA(GetDlgItem(d, IDC_TIP_NEXT), BM_CLICK, 0, 0);
            shown.push_back(dialogtest::Text(d, IDC_TIP_TEXT));
            CheckDlgButton(d, IDC_TIP_SHOW_AT_STARTUP, BST_UNCHECKED);
            dialogtest::PostClick(d, IDOK);
        }};
        EXPECT_TRUE(Drive({tipStep}, [&] {
            started = std::make_unique<AttendedApp>([](SettingsStore& store) { store.WriteProfileInt("Settings", "FirstRun", 0); });
        }));
        AttendedApp& a = *started;
        SettingsStore& store = a.App().Settings();
        EXPECT_EQ(store.GetProfileInt("Tip", "StartUp", -1), 1);
        EXPECT_EQ(store.GetProfileInt("Tip", "FilePos", -1), 22);  // after "First tip\r\n", read last
        SetCurrentDirectoryA(previous);

        // The menu command shows the tip even with tips off at start-up.
        SetCurrentDirectoryA(folder.c_str());
        EXPECT_TRUE(Drive({{"Tip of the Day", [&](HWND d) {
                              shown.push_back(dialogtest::Text(d, IDC_TIP_TEXT));
                              EXPECT_EQ(IsDlgButtonChecked(d, IDC_TIP_SHOW_AT_STARTUP), BST_UNCHECKED);
                              dialogtest::PostClick(d, IDCANCEL);
                          }}},
                          [&] { SendMessageA(a.App().MainWindow()->Handle(), WM_COMMAND, ID_TIP_OF_THE_DAY, 0); }));
        SetCurrentDirectoryA(previous);

        std::string aboutText;
        auto aboutStep = dialogtest::Step{"About Torvex", [&](HWND d) {
            EnumChildWindows(d, [](HWND child, LPARAM lp) -> BOOL {
                char text[128] = {};
                GetWindowTextA(child, text, sizeof text);
                if (std::string(text).find("version") != std::string::npos)
                    *reinterpret_cast<std::string*>(lp) = text;
                return TRUE;
            }, (LPARAM)&aboutText);
            dialogtest::PostClick(d, IDOK);
        }};
        EXPECT_TRUE(Drive({aboutStep}, [&] { SendMessageA(a.App().MainWindow()->Handle(), WM_COMMAND, ID_APP_ABOUT, 0); }));
        EXPECT_EQ(aboutText, "Torvex version 1.4");
    }
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{"First tip\n", "Second tip\n", "First tip\n", "Second tip\n"}));
    RemoveTree(folder);
}

TEST(ShellWindow, HelpStartsTheBrowserWithTheManualAndTheDialogsAnchor)
{
    // A program folder with a blank in its name, as under Program Files.
    std::string folder = MakeScratchFolder("help me");
    std::string browser = folder + "\\browser.exe";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\shellext-stand-in\\jar32.exe").c_str(), browser.c_str(), FALSE));
    WriteFile(folder + "\\manual.htm", "<html></html>");
    WriteFile(folder + "\\manuel.htm", "<html></html>");
    std::string savedHtm = RegValue(HKEY_CLASSES_ROOT, ".htm");
    SetValue(HKEY_CLASSES_ROOT, ".htm", "TorvexTestPage");
    SetValue(HKEY_CLASSES_ROOT, "TorvexTestPage\\shell\\open\\command", "\"" + browser + "\" \"%1\"");
    const std::string record = folder + "\\browser.record";
    // The browser is given one argument, the manual's file: URL.
    std::string manual = "file:///" + folder + ((GetUserDefaultLangID() & 0xFF) == 0x0C ? "\\manuel.htm" : "\\manual.htm");
    for (size_t at = 0; (at = manual.find_first_of("\\ ", at)) != std::string::npos;)
        manual.replace(at, 1, manual[at] == ' ' ? "%20" : "/");
    manual = " " + manual;
    auto started = [&](TorvexWindow& w) {
        bool ok = w.PumpUntil([&] { return GetFileAttributesA(record.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000);
        Sleep(100);  // the recorder finishes its file
        std::string text = ReadFileText(record);
        DeleteFileA(record.c_str());
        return ok ? text.substr(0, text.find('\n')) : std::string("<not started>");
    };
    {
        TorvexWindow w(folder, [&](SettingsStore& store) { store.WriteProfileString("Settings", "torvexEdit", folder); });
        std::vector<PromptRequest> prompts;
        SetPromptScript([&](const PromptRequest& r) { prompts.push_back(r); return prompt::IdOk; });

        // F1 in the main window: the manual without an anchor, by a new browser.
        w.PressKey(VK_F1, false);
        std::string line = started(w);
        EXPECT_NE(line.find(browser), std::string::npos) << line;
        EXPECT_TRUE(EndsWith(line, manual)) << line;
        for (const auto& p : prompts)
            ADD_FAILURE() << p.text;

        // F1 in the Shell Extensions dialog: its topic. The type declares no DDE command, so
        // the browser is started again.
        std::string anchorWhileOpen;
        EXPECT_TRUE(Drive({{"Shell Extensions", [&](HWND d) {
                                anchorWhileOpen = w.View().helpAnchor;
                                // A key the user presses, through the system's input (a posted key
                                // gives no help request); the dialog's own loop handles it meanwhile.
                                SetForegroundWindow(d);
                                SetFocus(GetDlgItem(d, IDOK));
                                keybd_event(VK_F1, 0, 0, 0);
                                keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
                                for (DWORD start = GetTickCount();
                                     GetTickCount() - start < 10000 && GetFileAttributesA(record.c_str()) == INVALID_FILE_ATTRIBUTES;) {
                                    MSG m;
                                    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
                                        if (!IsDialogMessageA(d, &m)) {
                                            TranslateMessage(&m);
                                            DispatchMessageA(&m);
                                        }
                                    Sleep(20);
                                }
                                dialogtest::PostClick(d, IDCANCEL);
                            }}},
                          [&] { w.Command(ID_SHELL_EXTENSIONS); }));
        EXPECT_EQ(anchorWhileOpen, "#Associate");
        EXPECT_EQ(w.View().helpAnchor, "");
        line = started(w);
        EXPECT_TRUE(EndsWith(line, manual + "#Associate")) << line;

        // The dialog's own Help button opens the same topic.
        EXPECT_TRUE(Drive({{"Shell Extensions", [](HWND d) {
                                dialogtest::PostClick(d, IDHELP_SHEXT);
                                dialogtest::PostClick(d, IDCANCEL);
                            }}},
                          [&] { w.Command(ID_SHELL_EXTENSIONS); }));
        line = started(w);
        EXPECT_TRUE(EndsWith(line, manual + "#Associate")) << line;
        EXPECT_TRUE(prompts.empty());

        // With no page type behind ".htm" there is no browser to ask.
        SetValue(HKEY_CLASSES_ROOT, ".htm", "TorvexNoSuchPageType");
        w.Command(ID_HELP);
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_EQ(prompts[0].text, "No browser available");
    }
    SetValue(HKEY_CLASSES_ROOT, ".htm", savedHtm == "<missing>" ? "" : savedHtm);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TorvexTestPage\\shell\\open\\command");
    RemoveTree(folder);
}

TEST(ShellWindow, RefusedRegistryWritesAreToldOnceWithTheReason)
{
    // A volatile key takes no lasting sub-key: every write below it is refused, per user and in
    // HKEY_CLASSES_ROOT alike.
    for (auto [root, path] : {std::pair{HKEY_CLASSES_ROOT, std::string("TorvexTestLocked")},
                              std::pair{HKEY_CURRENT_USER, kUserClasses + "TorvexTestLocked"}}) {
        HKEY locked = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &locked,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(locked);
    }
    std::vector<PromptRequest> prompts;
    SetPromptScript([&](const PromptRequest& r) { prompts.push_back(r); return prompt::IdOk; });
    shellreg::RegistrationPlan plan;
    plan.writes = {{"TorvexTestLocked\\One", "", "1"}, {"TorvexTestLocked\\Two", "", "2"}, {"TorvexTestFine", "", "3"}};
    EXPECT_FALSE(shellreg::ApplyRegistration(plan));
    SetPromptScript({});
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text.rfind("The shell integration could not be registered.\n"
                                    "HKEY_CURRENT_USER\\Software\\Classes\\TorvexTestLocked\\One: ", 0),
              0u)
        << prompts[0].text;
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, "TorvexTestFine"), "3");  // the others are still written
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TorvexTestFine");
    RegDeleteKeyA(HKEY_CURRENT_USER, (kUserClasses + "TorvexTestFine").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TorvexTestLocked");
    RegDeleteKeyA(HKEY_CURRENT_USER, (kUserClasses + "TorvexTestLocked").c_str());

    // Nothing refused: no message.
    prompts.clear();
    SetPromptScript([&](const PromptRequest& r) { prompts.push_back(r); return prompt::IdOk; });
    plan.writes = {{"TorvexTestFine", "", "3"}};
    plan.deletions = {"TorvexTestNeverThere"};
    EXPECT_TRUE(shellreg::ApplyRegistration(plan));
    SetPromptScript({});
    EXPECT_TRUE(prompts.empty());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TorvexTestFine");
    RegDeleteKeyA(HKEY_CURRENT_USER, (kUserClasses + "TorvexTestFine").c_str());
}
