#include "view_test_support.h"

#include <fstream>
#include <sstream>

#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "tests/support/jar_runner.h"

namespace viewtest {

std::string ProgramFolder() { return testsupport::ProgramFolder(); }

std::string ListFolder()
{
    if (!getenv("TORVEX_READ_ONLY_PROGRAM_FOLDER"))
        return ProgramFolder();
    std::string probe = ProgramFolder() + "\\~write_probe";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE) << "the program folder was to be read-only";
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    char local[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", local, sizeof local);
    return std::string(local) + "\\Torvex";
}

std::string MakeScratchFolder(const std::string& tag)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string base = temp;
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    std::string folder = base + "\\tvx_" + tag + "_" + std::to_string(GetCurrentProcessId());
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(FileSystemPath(path).c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path)
{
    return GetFileAttributesW(FileSystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    // Wide and in the long form where needed: test trees pass 260 characters.
    HANDLE file = CreateFileW(FileSystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(file);
}

void MakeFolder(const std::string& path)
{
    CreateDirectoryW(FileSystemPath(path).c_str(), nullptr);
}

bool ViewerRunning()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, "append_viewer.exe") == 0;
    CloseHandle(snapshot);
    return found;
}

bool JarAvailable() { return testsupport::JarAvailable(); }

bool RunJar(const std::string& folder, const std::string& arguments, std::string* output)
{
    testsupport::JarRun run = testsupport::RunJar(arguments, testsupport::InFolder(folder));
    if (output)
        *output = run.merged();
    return run.exitCode >= 0 && !run.HasError();
}

bool MakeSampleArchive(const std::string& root, const std::vector<std::pair<std::string, std::string>>& extra)
{
    std::string src = root + "\\src";
    MakeFolder(src);
    MakeFolder(src + "\\dir");
    MakeFolder(src + "\\dir\\sub");
    WriteFile(src + "\\top.txt", "top");
    WriteFile(src + "\\dir\\b.txt", "bee");
    WriteFile(src + "\\dir\\sub\\a.txt", "ay");
    for (const auto& [name, content] : extra)
        WriteFile(src + "\\" + name, content);
    return RunJar(src, "a -r -y \"" + root + "\\a.j\" *");
}

namespace {

struct PendingDialogStep {
    std::string caption;
    std::function<void(HWND)> step;
    std::chrono::steady_clock::time_point deadline;
    UINT_PTR timer = 0;
};
PendingDialogStep pendingDialog;

HWND VisibleThreadWindow(const std::string& caption)
{
    struct Search {
        const std::string* caption;
        HWND found;
    } search{&caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        char text[256] = {};
        GetWindowTextA(w, text, sizeof text);
        if (IsWindowVisible(w) && *s->caption == text) {
            s->found = w;
            return FALSE;
        }
        return TRUE;
    }, (LPARAM)&search);
    return search.found;
}

void CALLBACK DialogStepTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = VisibleThreadWindow(pendingDialog.caption);
    bool late = std::chrono::steady_clock::now() > pendingDialog.deadline;
    if (!box && !late)
        return;
    KillTimer(nullptr, id);
    auto step = std::move(pendingDialog.step);
    pendingDialog = {};
    if (box && !late) {
        step(box);
        return;
    }
    ADD_FAILURE() << "the dialog did not come in time";
    if (box)
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

void WhenDialogOpens(const std::string& caption, std::function<void(HWND)> step, int ms)
{
    if (pendingDialog.timer)
        KillTimer(nullptr, pendingDialog.timer);
    pendingDialog.caption = caption;
    pendingDialog.step = std::move(step);
    pendingDialog.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    pendingDialog.timer = SetTimer(nullptr, 0, 30, DialogStepTimer);
}

TorvexWindow::TorvexWindow(const std::string& startFolder, std::function<void(SettingsStore&)> settings)
{
    auto store = std::make_unique<MemorySettingsStore>();
    store->WriteProfileInt(kSettingsSection, "FirstRun", 0);
    store->WriteProfileInt(kSettingsSection, "startupDir", 1);
    store->WriteProfileString(kSettingsSection, "startupEdit", startFolder);
    store->WriteProfileString(kSettingsSection, "jarEdit", ProgramFolder());
    store->WriteProfileString(kSettingsSection, "torvexEdit", ProgramFolder());
    if (settings)
        settings(*store);
    app_ = std::make_unique<CTorvexApp>();
    app_->unattended = true;
    app_->SetSettingsStore(std::move(store));
    bool started = app_->InitInstance();
    EXPECT_TRUE(started);
    Pump(50);
}

TorvexWindow::~TorvexWindow()
{
    if (app_->MainWindow() && app_->MainWindow()->Handle())
        DestroyWindow(app_->MainWindow()->Handle());
    Pump(20);
    app_->CloseAll();
    SetPromptScript({});
}

void TorvexWindow::Pump(int ms)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        app_->PumpMessages();
        app_->OnIdle();
        if (ms > 0)
            Sleep(5);
    } while (std::chrono::steady_clock::now() < end);
}

bool TorvexWindow::PumpUntil(const std::function<bool()>& done, int ms)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        app_->PumpMessages();
        if (done())
            return true;
        Sleep(10);
    }
    return done();
}

bool TorvexWindow::OperationFinished(int ms)
{
    return PumpUntil([this] { return View().operationRunning == 0; }, ms);
}

std::string TorvexWindow::Title()
{
    char text[1024] = {};
    GetWindowTextA(Frame().Handle(), text, sizeof text);
    return text;
}

int TorvexWindow::RowCount()
{
    return (int)SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0);
}

std::string TorvexWindow::Cell(int row, int column)
{
    char text[1024] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(List(), LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

int TorvexWindow::Image(int row)
{
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(List(), LVM_GETITEMA, 0, (LPARAM)&item);
    return item.iImage;
}

std::vector<std::string> TorvexWindow::Names()
{
    std::vector<std::string> names;
    for (int i = 0; i < RowCount(); ++i)
        names.push_back(Cell(i, 0));
    return names;
}

int TorvexWindow::ColumnCount()
{
    HWND header = (HWND)SendMessageA(List(), LVM_GETHEADER, 0, 0);
    return (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
}

std::string TorvexWindow::ColumnCaption(int column)
{
    char text[256] = {};
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT;
    c.pszText = text;
    c.cchTextMax = sizeof text;
    SendMessageA(List(), LVM_GETCOLUMNA, column, (LPARAM)&c);
    return text;
}

int TorvexWindow::ColumnWidth(int column)
{
    return (int)SendMessageA(List(), LVM_GETCOLUMNWIDTH, column, 0);
}

int TorvexWindow::ColumnAlignment(int column)
{
    LVCOLUMNA c{};
    c.mask = LVCF_FMT;
    SendMessageA(List(), LVM_GETCOLUMNA, column, (LPARAM)&c);
    return c.fmt & LVCFMT_JUSTIFYMASK;
}

std::vector<int> TorvexWindow::SelectedRows()
{
    std::vector<int> rows;
    for (int i = (int)SendMessageA(List(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); i >= 0;
         i = (int)SendMessageA(List(), LVM_GETNEXTITEM, i, LVNI_SELECTED))
        rows.push_back(i);
    return rows;
}

void TorvexWindow::SetSelection(const std::vector<int>& rows)
{
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    SendMessageA(List(), LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
    item.state = LVIS_SELECTED;
    for (int row : rows)
        SendMessageA(List(), LVM_SETITEMSTATE, row, (LPARAM)&item);
}

namespace {

POINT RowPoint(HWND list, int row)
{
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&r);
    return {r.left + 4, (r.top + r.bottom) / 2};
}

} // namespace

void TorvexWindow::ClickRow(int row)
{
    POINT p = RowPoint(List(), row);
    LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(List(), WM_LBUTTONUP, 0, at);
    Pump(30);
}

void TorvexWindow::DoubleClickRow(int row)
{
    POINT p = RowPoint(List(), row);
    LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(List(), WM_LBUTTONUP, 0, at);
    PostMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(List(), WM_LBUTTONUP, 0, at);
    Pump(30);
}

void TorvexWindow::ClickColumnHeader(int column)
{
    HWND header = (HWND)SendMessageA(List(), LVM_GETHEADER, 0, 0);
    RECT r{};
    SendMessageA(header, HDM_GETITEMRECT, column, (LPARAM)&r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(header, WM_LBUTTONUP, 0, at);
    Pump(30);
}

void TorvexWindow::Command(unsigned id)
{
    SendMessageA(Frame().Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump(10);
}

void TorvexWindow::PressKey(UINT key, bool ctrl)
{
    BYTE state[256] = {};
    GetKeyboardState(state);
    BYTE saved = state[VK_CONTROL];
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
    SetFocus(List());
    PostMessageA(List(), WM_KEYDOWN, key, 1);
    PostMessageA(List(), WM_KEYUP, key, 0xC0000001);
    Pump(30);
    state[VK_CONTROL] = saved;
    SetKeyboardState(state);
}

int TorvexWindow::RowNamed(const std::string& name)
{
    for (int i = 0; i < RowCount(); ++i) {
        if (Cell(i, 0) == name)
            return i;
    }
    return -1;
}

void SetControlText(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

std::string ControlText(HWND dialog, int id)
{
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void ClickButton(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

void SelectComboItem(HWND dialog, int id, int index)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
}

// What the window shows on screen now, pixel by pixel, frame and children included.
std::vector<uint32_t> ScreenPicture(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + size_t(width) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

} // namespace viewtest

int viewtest::TorvexWindow::RunProgram(const std::string& program, const std::string& arguments, int ms)
{
    std::string line = "\"" + ProgramFolder() + "\\" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    bool ended = PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, ms);
    DWORD code = static_cast<DWORD>(-1);
    if (ended)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended ? static_cast<int>(code) : -1;
}

void viewtest::TorvexWindow::DropFiles(const std::vector<std::string>& names)
{
    // Wide, as Explorer hands them over.
    std::wstring block;
    for (const std::string& name : names)
        block += testsupport::Wide(name) + L'\0';
    block += L'\0';
    size_t bytes = block.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), block.data(), bytes);
    GlobalUnlock(memory);
    PostMessageA(Frame().Handle(), WM_DROPFILES, (WPARAM)memory, 0);
}

viewtest::DialogWatch::DialogWatch()
{
    seen = 0;
    timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM) -> BOOL {
            char cls[32] = {};
            GetClassNameA(w, cls, sizeof cls);
            if (std::string(cls) == "#32770" && IsWindowVisible(w)) {
                ++seen;
                PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            }
            return TRUE;
        }, 0);
    });
}

viewtest::DialogWatch::~DialogWatch()
{
    KillTimer(nullptr, timer);
}
