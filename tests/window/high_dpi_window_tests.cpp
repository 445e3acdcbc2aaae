// The main window on screens of other densities: what is given in pixels (column widths,
// toolbar images, buttons and combos, small icons) at a start at 144 DPI, and rescaled when the
// window is told it moved to a screen of another DPI.
#include "view_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/dpi_scale.h"
#include "ui/icon_cache.h"

using namespace viewtest;

namespace {

// What the window shows whose size depends on the DPI, read from the controls.
struct PixelSizes {
    std::vector<int> columns;
    SIZE button{};
    int toolbarImage = 0;
    int toolbarImages = 0;
    int smallIcon = 0;
    int driveComboWidth = 0;
    int chapterComboWidth = 0;
    int captionIcon = 0;
    int listFontHeight = 0;
    int comboFontHeight = 0;
};

int FontHeight(HWND window)
{
    LOGFONTA face{};
    auto font = (HFONT)SendMessageA(window, WM_GETFONT, 0, 0);
    return font && GetObjectA(font, sizeof face, &face) ? face.lfHeight : 0;
}

PixelSizes Measure(TorvexWindow& w)
{
    PixelSizes s;
    for (int c = 0; c < w.ColumnCount(); ++c)
        s.columns.push_back(w.ColumnWidth(c));
    ToolBar& bar = w.Frame().MainToolBar;
    DWORD button = (DWORD)bar.Send(TB_GETBUTTONSIZE);
    s.button = SIZE{LOWORD(button), HIWORD(button)};
    auto images = (HIMAGELIST)bar.Send(TB_GETIMAGELIST);
    int cx = 0, cy = 0;
    if (images && ImageList_GetIconSize(images, &cx, &cy))
        s.toolbarImage = cx;
    s.toolbarImages = images ? ImageList_GetImageCount(images) : 0;
    if (ImageList_GetIconSize(w.App().SmallIcons.Handle(), &cx, &cy))
        s.smallIcon = cx;
    RECT r{};
    GetWindowRect(w.Frame().DriveCombo().Handle(), &r);
    s.driveComboWidth = r.right - r.left;
    GetWindowRect(w.Frame().ChapterCombo().Handle(), &r);
    s.chapterComboWidth = r.right - r.left;
    s.listFontHeight = FontHeight(w.List());
    s.comboFontHeight = FontHeight(w.Frame().DriveCombo().Handle());
    auto icon = (HICON)SendMessageA(w.Frame().Handle(), WM_GETICON, ICON_SMALL, 0);
    if (!icon)
        icon = (HICON)GetClassLongPtrA(w.Frame().Handle(), GCLP_HICONSM);
    ICONINFO info{};
    if (icon && GetIconInfo(icon, &info)) {
        BITMAP bm{};
        GetObjectA(info.hbmMask, sizeof bm, &bm);
        s.captionIcon = bm.bmWidth;
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
    }
    return s;
}

// The sizes a window at `dpi` must show in disk mode (four columns, disk button set).
void ExpectSizesFor(const PixelSizes& s, int dpi)
{
    const int widths[] = {150, 80, 130, 130};
    ASSERT_EQ(s.columns.size(), 4u);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(s.columns[c], dpi::Scale(widths[c], dpi)) << "column " << c << " at " << dpi;
    EXPECT_EQ(s.button.cx, dpi::Scale(31, dpi));
    EXPECT_EQ(s.button.cy, dpi::Scale(31, dpi));
    EXPECT_EQ(s.toolbarImage, dpi::ImageSizeFor(24, dpi));
    // A strip of another size would not have filled the list with one image per button.
    EXPECT_EQ(s.toolbarImages, 10);
    EXPECT_EQ(s.smallIcon, dpi::Scale(16, dpi));
    EXPECT_EQ(s.driveComboWidth, dpi::Scale(100, dpi));
    EXPECT_EQ(s.chapterComboWidth, dpi::Scale(100, dpi));
}

// Tells the frame it moved to a screen of `dpi`, with the rectangle the system would suggest.
void MoveToDpi(TorvexWindow& w, int dpi)
{
    RECT r{};
    GetWindowRect(w.Frame().Handle(), &r);
    int old = w.Frame().Dpi();
    RECT suggested{r.left, r.top, r.left + ::MulDiv(r.right - r.left, dpi, old), r.top + ::MulDiv(r.bottom - r.top, dpi, old)};
    SendMessageA(w.Frame().Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), (LPARAM)&suggested);
    w.Pump(20);
}

// HKCU\Control Panel\Desktop "LogPixels" (the screen's DPI Wine starts a process with) set for
// the guard's life, then put back as it was.
class LogPixelsGuard {
public:
    explicit LogPixelsGuard(DWORD dpi)
    {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                            &key_, nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        DWORD size = sizeof(old_), type = 0;
        hadValue_ = RegQueryValueExA(key_, "LogPixels", nullptr, &type, (BYTE*)&old_, &size) == ERROR_SUCCESS &&
                    type == REG_DWORD;
        set_ = RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, (const BYTE*)&dpi, sizeof(dpi)) == ERROR_SUCCESS;
    }
    ~LogPixelsGuard()
    {
        if (!key_)
            return;
        if (hadValue_)
            RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, (const BYTE*)&old_, sizeof(old_));
        else
            RegDeleteValueA(key_, "LogPixels");
        RegCloseKey(key_);
    }
    LogPixelsGuard(const LogPixelsGuard&) = delete;
    LogPixelsGuard& operator=(const LogPixelsGuard&) = delete;
    bool Set() const { return set_; }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool hadValue_ = false;
    bool set_ = false;
};

// Runs the tests of `filter` in a new process of this executable, which the system starts at
// the DPI LogPixels says now. Its exit code (-1 when it did not end in time); its output in `log`.
int RunSelf(const std::string& filter, std::string& log)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string logPath = MakeScratchFolder("dpichild") + "\\out.txt";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileA(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return -1;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi{};
    std::string line = "\"" + std::string(exe) + "\" --gtest_filter=" + filter;
    SetEnvironmentVariableA("TORVEX_DPI_CHILD", "1");
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("TORVEX_DPI_CHILD", nullptr);
    CloseHandle(out);
    if (!started)
        return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    log = ReadAll(logPath);
    RemoveTree(logPath.substr(0, logPath.rfind('\\')));
    return (int)code;
}

} // namespace

TEST(HighDpiWindow, SizesGivenInPixelsAreThoseAt96Dpi)
{
    std::string folder = MakeScratchFolder("dpi96");
    {
        TorvexWindow w(folder);
        // The shared test prefix runs at 96 DPI.
        ASSERT_EQ(w.Frame().Dpi(), 96);
        ExpectSizesFor(Measure(w), 96);
    }
    RemoveTree(folder);
}

TEST(HighDpiWindow, AStartAt144DpiScalesEverySizeByOneAndAHalf)
{
    std::string log;
    int code = -1;
    {
        LogPixelsGuard dpi144(144);
        ASSERT_TRUE(dpi144.Set());
        code = RunSelf("HighDpiChild.*", log);
    }
    EXPECT_EQ(code, 0) << log;
    // The child must have run its test, not skipped it.
    EXPECT_NE(log.find("[  PASSED  ] 1 test"), std::string::npos) << log;
}

// Run only by the test above, in a process started at 144 DPI.
TEST(HighDpiChild, SizesAt144Dpi)
{
    if (!std::getenv("TORVEX_DPI_CHILD"))
        GTEST_SKIP() << "run by HighDpiWindow.AStartAt144DpiScalesEverySizeByOneAndAHalf";
    std::string folder = MakeScratchFolder("dpi144");
    {
        TorvexWindow w(folder);
        ASSERT_EQ(w.Frame().Dpi(), 144);
        PixelSizes s = Measure(w);
        ExpectSizesFor(s, 144);
        EXPECT_EQ(s.toolbarImage, 36);
        EXPECT_EQ(s.columns[0], 225);
        EXPECT_EQ(s.button.cx, 47);
    }
    RemoveTree(folder);
}

TEST(HighDpiWindow, MovingToAnotherScreenRescalesAndMovingBackRestores)
{
    std::string folder = MakeScratchFolder("dpimove");
    WriteFile(folder + "\\note.txt", "x");
    {
        TorvexWindow w(folder);
        ASSERT_EQ(w.Frame().Dpi(), 96);
        // A width the user chose keeps its share of the window.
        ListView_SetColumnWidth(w.List(), 1, 97);
        PixelSizes before = Measure(w);

        MoveToDpi(w, 144);
        EXPECT_EQ(w.Frame().Dpi(), 144);
        PixelSizes at144 = Measure(w);
        EXPECT_EQ(at144.columns, (std::vector<int>{225, 146, 195, 195}));
        EXPECT_EQ(at144.button.cx, 47);
        EXPECT_EQ(at144.toolbarImage, 36);
        EXPECT_EQ(at144.toolbarImages, 10);
        EXPECT_EQ(at144.smallIcon, 24);
        EXPECT_EQ(at144.driveComboWidth, 150);
        EXPECT_EQ(at144.captionIcon, SystemMetricForDpi(SM_CXSMICON, 144));
        EXPECT_GT(at144.captionIcon, before.captionIcon);
        // Texts keep their size on the denser screen.
        ASSERT_NE(before.listFontHeight, 0);
        EXPECT_EQ(at144.listFontHeight, dpi::Rescale(before.listFontHeight, 96, 144));
        EXPECT_EQ(at144.comboFontHeight, dpi::Rescale(before.comboFontHeight, 96, 144));
        // The window took the suggested rectangle, and the list still fills it between the bars.
        RECT frame{}, list{};
        GetClientRect(w.Frame().Handle(), &frame);
        GetWindowRect(w.List(), &list);
        EXPECT_EQ(list.right - list.left, frame.right - frame.left);
        // The rows are still there, their images looked up again in the rebuilt list.
        int note = w.RowNamed("note.txt");
        ASSERT_GE(note, 0);
        EXPECT_GE(w.Image(note), 3);
        EXPECT_LT(w.Image(note), ImageList_GetImageCount(w.App().SmallIcons.Handle()));

        MoveToDpi(w, 192);
        PixelSizes at192 = Measure(w);
        EXPECT_EQ(at192.toolbarImage, 48);
        EXPECT_EQ(at192.button.cx, 62);
        EXPECT_EQ(at192.columns[0], 300);

        MoveToDpi(w, 96);
        PixelSizes after = Measure(w);
        EXPECT_EQ(after.columns, before.columns);
        EXPECT_EQ(after.button.cx, before.button.cx);
        EXPECT_EQ(after.toolbarImage, 24);
        EXPECT_EQ(after.smallIcon, 16);
        EXPECT_EQ(after.driveComboWidth, before.driveComboWidth);
        EXPECT_EQ(after.listFontHeight, before.listFontHeight);
        EXPECT_EQ(after.comboFontHeight, before.comboFontHeight);
    }
    RemoveTree(folder);
}

TEST(HighDpiWindow, IconsOfRegisteredTypesAreTakenAtTheListsSize)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    for (int size : {16, 24, 32}) {
        HICON icon = LoadGroupIcon(module, "-171", size);
        ICONINFO info{};
        ASSERT_TRUE(icon && GetIconInfo(icon, &info)) << size;
        BITMAP bm{};
        GetObjectA(info.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, size);
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DestroyIcon(icon);
    }
    FreeLibrary(module);
}
