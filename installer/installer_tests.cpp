// The setup as a user meets it: installed silently for the user (no elevation) into the user's
// programs folder, the installed torvex.exe started from its Start menu folder opens an archive
// made by the installed jar32.exe, also with that folder read-only (in the run that can make it
// so), and the uninstaller takes the files, the shortcut, its entry and Torvex's registry keys
// away; an all-users install goes to Program Files with its entry under HKLM.
#include <windows.h>
#include <shlobj.h>

#include "tests/support/read_only_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvex";

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string RegString(HKEY root, const std::string& path, const char* name)
{
    char value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "<missing>";
    return value;
}

// Runs a command line in `folder`; the process handle (closed by the caller), or nullptr.
HANDLE Start(const std::string& commandLine, const std::string& folder)
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

bool RunToEnd(const std::string& commandLine, const std::string& folder, DWORD ms = 120000)
{
    HANDLE process = Start(commandLine, folder);
    if (!process)
        return false;
    bool ended = WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

// The setup file named by the build (a Linux path) as this Wine process sees it.
std::string SetupPath()
{
    std::string path = TORVEX_SETUP;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}

struct ProcessWindows {
    DWORD pid;
    std::vector<HWND> windows;
};

std::vector<HWND> WindowsOf(DWORD pid)
{
    ProcessWindows found{pid, {}};
    EnumWindows([](HWND w, LPARAM lp) -> BOOL {
        auto& f = *reinterpret_cast<ProcessWindows*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == f.pid && IsWindowVisible(w))
            f.windows.push_back(w);
        return TRUE;
    }, (LPARAM)&found);
    return found.windows;
}

std::string Text(HWND w)
{
    char text[512] = {};
    GetWindowTextA(w, text, sizeof text);
    return text;
}

std::string ClassOf(HWND w)
{
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

std::string KnownFolder(int csidl)
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

// Waits for the uninstaller, which runs from a copy of itself and removes the folder once done.
void Uninstall(const std::string& dir)
{
    ASSERT_TRUE(RunToEnd("\"" + dir + "\\Uninstall.exe\" /S", dir));
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000 && Exists(dir);)
        Sleep(200);
    EXPECT_FALSE(Exists(dir));
}

} // namespace

TEST(Installer, InstallsPerUserRunsAndUninstallsCleanly)
{
    const std::string setup = SetupPath();
    ASSERT_TRUE(Exists(setup)) << setup;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string work = std::string(temp) + "tvx_setup_" + std::to_string(GetCurrentProcessId());
    const std::string dir = KnownFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Torvex";
    CreateDirectoryA(work.c_str(), nullptr);

    // A user who never ran Torvex, on a machine where ".j" belongs to another program.
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quendal");
    for (const char* key : {"Torvex.Document", "CLSID\\{6F0A91C4-2D7B-11D2-8E41-5A7C0D93B1E2}",
                            "*\\shellex\\ContextMenuHandlers\\Torvex", "Directory\\shellex\\ContextMenuHandlers\\Torvex"}) {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\Classes\\") + key).c_str());
    }
    HKEY dotj = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".j", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &dotj, nullptr), ERROR_SUCCESS);
    RegSetValueExA(dotj, nullptr, 0, REG_SZ, (const BYTE*)"Before.Archive", 15);
    RegCloseKey(dotj);

    ASSERT_TRUE(RunToEnd("\"" + setup + "\" /S", ""));
    for (const char* file : {"torvex.exe", "jar32.exe", "TorvexShExt.dll", "manual.htm", "manuel.htm", "tips.txt", "Uninstall.exe"})
        EXPECT_TRUE(Exists(dir + "\\" + file)) << file;
    const std::string shortcut = KnownFolder(CSIDL_PROGRAMS) + "\\Torvex.lnk";
    EXPECT_TRUE(Exists(shortcut)) << shortcut;
    EXPECT_FALSE(Exists(KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Torvex.lnk"));
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kUninstallKey, "DisplayName"), "Torvex 1.4.0");
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kUninstallKey, "InstallLocation"), dir);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    // Nothing of Torvex's own is written at install time.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Quendal\\Torvex"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Torvex.Document"));

    // An archive made by the installed archiver.
    std::ofstream(work + "\\hello.txt") << "hello from the setup test\n";
    ASSERT_TRUE(RunToEnd("\"" + dir + "\\jar32.exe\" a -y \"" + work + "\\made.j\" hello.txt", work));
    ASSERT_TRUE(Exists(work + "\\made.j"));

    // Torvex must not need to write its own folder.
    bool readOnly = testsupport::ReadOnlyRun();
    if (readOnly) {
        ASSERT_TRUE(testsupport::SetFolderReadOnly(dir, true));
        EXPECT_FALSE(std::ofstream(dir + "\\written.txt").good()) << "the folder was to be read-only";
    }

    // Started as the shortcut starts it: in its folder. The first start offers the shell
    // integration (accepted here) and a tip; then the archive is listed.
    HANDLE torvex = Start("\"" + dir + "\\torvex.exe\" \"" + work + "\\made.j\"", dir);
    ASSERT_NE(torvex, nullptr);
    DWORD pid = GetProcessId(torvex);
    std::string title;
    std::vector<std::string> unexpected;
    bool offered = false, tipShown = false;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000 && title.empty();) {
        for (HWND w : WindowsOf(pid)) {
            std::string text = Text(w);
            if (ClassOf(w) == "#32770") {
                if (text == "Shell Extensions") {
                    offered = true;
                    PostMessageA(w, WM_COMMAND, IDOK, 0);
                } else if (text == "Tip of the Day") {
                    tipShown = true;
                    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
                } else {
                    char message[512] = {};
                    GetDlgItemTextA(w, 0xFFFF, message, sizeof message);
                    unexpected.push_back(text + ": " + message);
                    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
                }
            } else if (text.find(" --> \\") != std::string::npos && tipShown) {
                title = text;
            }
        }
        Sleep(100);
    }
    EXPECT_TRUE(offered);
    EXPECT_TRUE(tipShown);
    EXPECT_EQ(title, "Torvex - " + work + "\\made.j --> \\");
    EXPECT_TRUE(unexpected.empty()) << unexpected.front();
    for (HWND w : WindowsOf(pid))
        PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(torvex, 20000), WAIT_OBJECT_0);
    CloseHandle(torvex);
    if (readOnly) {
        ASSERT_TRUE(testsupport::SetFolderReadOnly(dir, false));
    }

    EXPECT_EQ(RegString(HKEY_CURRENT_USER, "Software\\Quendal\\Torvex\\Settings", "torvexEdit"), dir);
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, "Software\\Quendal\\Torvex\\Settings", "jarEdit"), dir);
    // Registered per user, no elevation needed.
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, "Software\\Classes\\Torvex.Document\\shell\\open\\command", nullptr),
              "\"" + dir + "\\torvex.exe\" \"%1\"");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, ".j", nullptr), "Torvex.Document");

    Uninstall(dir);
    EXPECT_FALSE(Exists(shortcut));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
    // Nothing of Quendal's is left, not even the empty company key.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Quendal"));
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}) {
        std::string classes = root == HKEY_CURRENT_USER ? "Software\\Classes\\" : "";
        EXPECT_FALSE(KeyExists(root, classes + "Torvex.Document"));
        EXPECT_FALSE(KeyExists(root, classes + "CLSID\\{6F0A91C4-2D7B-11D2-8E41-5A7C0D93B1E2}"));
        EXPECT_FALSE(KeyExists(root, classes + "*\\shellex\\ContextMenuHandlers\\Torvex"));
    }
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, ".j", nullptr), "Before.Archive");

    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\.j");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".j");
    DeleteFileA((work + "\\hello.txt").c_str());
    DeleteFileA((work + "\\made.j").c_str());
    RemoveDirectoryA(work.c_str());
}

// Chosen explicitly (/ALLUSERS): Program Files, the common Start menu, the entry under HKLM.
TEST(Installer, AllUsersInstallGoesToProgramFiles)
{
    const std::string setup = SetupPath();
    ASSERT_TRUE(Exists(setup)) << setup;
    const std::string dir = KnownFolder(CSIDL_PROGRAM_FILES) + "\\Torvex";
    ASSERT_TRUE(RunToEnd("\"" + setup + "\" /S /ALLUSERS", ""));
    EXPECT_TRUE(Exists(dir + "\\torvex.exe")) << dir;
    const std::string shortcut = KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Torvex.lnk";
    EXPECT_TRUE(Exists(shortcut)) << shortcut;
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"), dir);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
    Uninstall(dir);
    EXPECT_FALSE(Exists(shortcut));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}
