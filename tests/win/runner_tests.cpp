#include "engine/jar_runner_win.h"
#include "framework/message_box.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <thread>

namespace {

using Strings = std::vector<std::string>;

std::string ModuleFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.rfind('\\'));
}

// A session that counts its wait cursor.
class CountingSession : public WinJarRunner {
public:
    int waitDepth = 0;
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { waitDepth = 0; }
};

bool ConfigVariableIsSet()
{
    char value[8];
    return std::getenv("JAR_CFG_FILE") != nullptr || GetEnvironmentVariableA("JAR_CFG_FILE", value, sizeof(value)) != 0 ||
           GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

// The scripted stand-in installed as jar32.exe in a folder of this test's own.
class Runner : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int instance = 0;
        folder = std::string(temp) + "torvex-runner-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++instance);
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((ModuleFolder() + "\\fake_jar.exe").c_str(), (folder + "\\jar32.exe").c_str(), FALSE));
        scriptPath = folder + "\\script.txt";
        SetEnvironmentVariableA("TORVEX_FAKE_JAR_SCRIPT", scriptPath.c_str());
        session.jarFolder = folder;
        session.programFolder = "C:\\Torvex Program";
        session.workingFolder = folder;
        SetPromptScript([this](const PromptRequest& request) {
            prompts.push_back(request);
            return prompt::IdOk;
        });
        stdHandles = StdHandles();
    }

    void TearDown() override
    {
        SetPromptScript(nullptr);
        EXPECT_FALSE(ConfigVariableIsSet());
        EXPECT_EQ(StdHandles(), stdHandles);
        EXPECT_EQ(session.waitDepth, 0);
        // A run returns once the archiver has exited: its executable is free again.
        EXPECT_TRUE(DeleteFileA((folder + "\\jar32.exe").c_str()));
        DeleteFileA(scriptPath.c_str());
        RemoveDirectoryA(folder.c_str());
    }

    static std::vector<HANDLE> StdHandles()
    {
        return {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_ERROR_HANDLE)};
    }

    void Script(const std::string& text)
    {
        std::ofstream(scriptPath, std::ios::binary) << text;
    }

    std::string folder;
    std::string scriptPath;
    CountingSession session;
    std::vector<PromptRequest> prompts;
    std::vector<HANDLE> stdHandles;
};

TEST_F(Runner, CapturedRunMergesBothStreamsInOrder)
{
    Script("out first\n"
           "err WARNING: from standard error\n"
           "env\n"
           "cwd\n"
           "args\n"
           "title\n"
           "job\n"
           "out-lf bare line feed\n"
           "out\n"
           "out-raw unterminated tail\n");
    Strings lines{"already there"};
    ASSERT_TRUE(session.RunJarCaptured("lc \"C:\\data\\x.j\"", lines));
    EXPECT_EQ(lines, (Strings{"already there", "first", "WARNING: from standard error", "JAR_CFG_FILE=C:\\Torvex Program\\Torvex.cfg",
                              folder, "lc \"C:\\data\\x.j\"", "title=Torvex running Jar", "job=yes", "bare line feed", ""}));
    EXPECT_TRUE(prompts.empty()); // a captured run leaves judging to the parser
}

TEST_F(Runner, CapturedRunKeepsEveryLineOfAHugeListingWhole)
{
    // 1.4 MB: several 512,000-byte blocks, with lines across their boundaries.
    const unsigned count = 23000, width = 59;
    Script("lines " + std::to_string(count) + " " + std::to_string(width) + "\n");
    Strings lines;
    ASSERT_TRUE(session.RunJarCaptured("v -jb1 \"big.j\"", lines));
    ASSERT_EQ(lines.size(), count);
    for (unsigned i = 0; i < count; ++i) {
        std::string expected = "line " + std::to_string(i + 1) + " ";
        expected.resize(width, 'x');
        ASSERT_EQ(lines[i], expected) << "line " << i + 1;
    }
}

// The pipe is drained on a thread of its own while the lines are handed on: a sink slower than
// the archiver holds it back without losing or reordering anything, and a sink that fails
// ends the run instead of leaving it waiting.
TEST_F(Runner, CapturedRunKeepsOrderBehindASlowSinkAndEndsOnAFailingOne)
{
    struct Sink : OutputLineSink {
        Strings lines;
        size_t failAt = 0;
        void Line(std::string_view line) override
        {
            if (lines.size() % 200 == 0)
                Sleep(2);
            if (failAt && lines.size() == failAt)
                throw std::runtime_error("sink failed");
            lines.emplace_back(line);
        }
    };
    session.outputBlockSize = 64; // many small pieces: the queue fills and waits
    session.outputMaxBlocks = 100000;
    const unsigned count = 8000, width = 59;
    Script("lines " + std::to_string(count) + " " + std::to_string(width) + "\n");
    Sink slow;
    ASSERT_TRUE(session.RunJarCapturedInto("v -jb1 \"big.j\"", slow));
    ASSERT_EQ(slow.lines.size(), count);
    for (unsigned i = 0; i < count; ++i)
        ASSERT_EQ(slow.lines[i].substr(0, 6 + std::to_string(i + 1).size()), "line " + std::to_string(i + 1) + " ") << i;

    Sink failing;
    failing.failAt = 1000;
    EXPECT_THROW(session.RunJarCapturedInto("v -jb1 \"big.j\"", failing), std::runtime_error);
    EXPECT_EQ(failing.lines.size(), 1000u);
    Sink again;
    EXPECT_TRUE(session.RunJarCapturedInto("v -jb1 \"big.j\"", again));
    EXPECT_EQ(again.lines.size(), count);
}

TEST_F(Runner, CapturedRunRefusesOutputBeyondItsBlocks)
{
    session.outputBlockSize = 100;
    session.outputMaxBlocks = 3;
    Script("lines 30 8\n"); // exactly 300 bytes: fits
    Strings lines;
    ASSERT_TRUE(session.RunJarCaptured("v -jb1 \"x.j\"", lines));
    EXPECT_EQ(lines.size(), 30u);

    Script("lines 31 8\n");
    lines.clear();
    EXPECT_FALSE(session.RunJarCaptured("v -jb1 \"x.j\"", lines));
    EXPECT_TRUE(lines.empty()); // nothing partial
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Jar's output is too long to be read (more than 300 bytes)");
    EXPECT_EQ(prompts[0].type, prompt::Ok | prompt::IconStop);
}

TEST_F(Runner, ConsoleRunFailsOnlyOnErrorOrWarningAtALineStart)
{
    Script("err Testing: no ERROR found\n"
           "out ERROR on standard output is not looked at\n"
           "err-raw ERROR without a line end is dropped\n");
    EXPECT_TRUE(session.RunConsole(" t \"x.j\"", ConsoleShow::Hidden));
    EXPECT_TRUE(prompts.empty());

    Script("err Adding a.txt\n"
           "err WARNING: b.txt skipped\n"
           "err Done\n");
    EXPECT_FALSE(session.RunConsole(" t \"x.j\"", ConsoleShow::Hidden));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "JAR WARNING: b.txt skipped\nDone\n");
    EXPECT_EQ(prompts[0].type, prompt::Ok | prompt::IconStop);

    prompts.clear();
    Script("err ERROR: archive damaged\n");
    EXPECT_FALSE(session.RunConsole(" t \"x.j\"", ConsoleShow::Hidden));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "JAR ERROR: archive damaged\n");
}

TEST_F(Runner, MissingArchiverIsReportedAndLeavesNothingSet)
{
    session.jarFolder = folder + "\\nowhere";
    Strings lines;
    EXPECT_FALSE(session.RunJarCaptured("lc \"x.j\"", lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(session.RunConsole(" t \"x.j\"", ConsoleShow::Hidden));
    ASSERT_EQ(prompts.size(), 2u);
    for (const PromptRequest& request : prompts) {
        EXPECT_EQ(request.text, "Failed to run Jar");
        EXPECT_EQ(request.type, prompt::Ok | prompt::IconStop);
    }
}

TEST_F(Runner, ListsAnArchiveThroughTheArchiver)
{
    std::string listing = folder + "\\listing.txt";
    std::ofstream(listing, std::ios::binary) << "banner\r\nArchive: x.j\r\nCurrent chapter: 2\r\nChapter Created Modified\r\n"
                                                "1 2026-01-01 10:00:00 2026-01-01 10:00:00\r\n"
                                                "2 2026-01-02 10:00:00 2026-01-02 11:00:00\r\n"
                                                "Total chapters listed: 2\r\n";
    Script("args\nfile " + listing + "\n");
    ArchiveCatalogue catalogue;
    catalogue.ArchivePath = "C:\\data\\x.j";
    EXPECT_TRUE(session.ListChapters(catalogue));
    EXPECT_EQ(catalogue.LastChapter, 2);
    EXPECT_EQ(catalogue.Chapter(2)->SecondStamp, "2026-01-02 11:00:00");
    EXPECT_TRUE(prompts.empty());
    DeleteFileA(listing.c_str());
}

TEST_F(Runner, TheChildAloneGetsTheConfigurationVariable)
{
    // A variable of that name in Torvex's own environment is neither used nor disturbed.
    ASSERT_TRUE(SetEnvironmentVariableA("JAR_CFG_FILE", "C:\\mine.cfg"));
    Script("env\n");
    Strings lines;
    bool ran = session.RunJarCaptured("lc \"x.j\"", lines);
    bool consoleRan = session.RunConsole(" t \"x.j\"", ConsoleShow::Hidden);
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA("JAR_CFG_FILE", value, sizeof value);
    SetEnvironmentVariableA("JAR_CFG_FILE", nullptr);
    ASSERT_TRUE(ran);
    EXPECT_TRUE(consoleRan);
    EXPECT_EQ(lines, Strings{"JAR_CFG_FILE=C:\\Torvex Program\\Torvex.cfg"});
    EXPECT_STREQ(value, "C:\\mine.cfg");
}

namespace {

// A window that counts what reaches its procedure.
struct CountingWindow {
    static inline int paints = 0, keys = 0, timers = 0;
    HWND hwnd = nullptr;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_PAINT) {
            ++paints;
            PAINTSTRUCT paint;
            BeginPaint(hwnd, &paint);
            EndPaint(hwnd, &paint);
            return 0;
        }
        if (msg == WM_KEYDOWN)
            ++keys;
        if (msg == WM_TIMER)
            ++timers;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

    CountingWindow()
    {
        paints = keys = timers = 0;
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TorvexRunnerPaintTest";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, wc.lpszClassName, "paint", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                               nullptr, wc.hInstance, nullptr);
    }
    ~CountingWindow() { DestroyWindow(hwnd); }
};

} // namespace

TEST_F(Runner, AWaitedRunKeepsTheWindowPaintedAndDispatchesNothingElse)
{
    CountingWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    CountingWindow::paints = 0;

    // Damage before the run and again in its middle; a key and a timer wait their turn.
    InvalidateRect(window.hwnd, nullptr, TRUE);
    PostMessageA(window.hwnd, WM_KEYDOWN, VK_RETURN, 0);
    SetTimer(window.hwnd, 1, 10, nullptr);
    HANDLE damage = CreateThread(nullptr, 0, [](void* hwnd) -> DWORD {
        Sleep(300);
        InvalidateRect(static_cast<HWND>(hwnd), nullptr, TRUE);
        return 0;
    }, window.hwnd, 0, nullptr);
    Script("sleep 700\nout done\n");
    Strings lines;
    bool ran = session.RunJarCaptured("lc \"x.j\"", lines);
    WaitForSingleObject(damage, INFINITE);
    CloseHandle(damage);
    int paintsDuringRun = CountingWindow::paints;
    KillTimer(window.hwnd, 1);

    ASSERT_TRUE(ran);
    EXPECT_EQ(lines, Strings{"done"});
    EXPECT_GE(paintsDuringRun, 2);
    EXPECT_EQ(CountingWindow::keys, 0);
    EXPECT_EQ(CountingWindow::timers, 0);
    EXPECT_TRUE(PeekMessageA(&msg, window.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
}

TEST_F(Runner, AMonitoredConsoleRunReportsProgressAndEndsOnCancel)
{
    RunMonitor monitor;
    session.monitor = &monitor;
    // The latest record of the run reaches the monitor; captured runs get neither handle.
    Script("handles\nprogress compress\t1\t3\t10\t30\ta.txt\nprogress compress\t3\t3\t30\t30\tdocs\\b c.txt\n"
           "progress not a record\nerr Done\n");
    EXPECT_TRUE(session.RunConsole(" a \"x.j\"", ConsoleShow::Hidden));
    EXPECT_FALSE(session.lastRunCancelled);
    jarcontract::ProgressRecord record;
    EXPECT_GE(monitor.Latest(record), 1u);
    EXPECT_EQ(record.file, "docs\\b c.txt");
    EXPECT_EQ(record.filesDone, 3);
    EXPECT_EQ(record.bytesTotal, 30);
    Strings lines;
    EXPECT_TRUE(session.RunJarCaptured("lc \"x.j\"", lines));
    EXPECT_EQ(lines, (Strings{"progress=no cancel=no", "Done"}));

    // Cancel while it runs: an archiver that listens stops at once with its own code, and
    // one that does not is ended after a moment. Neither is a failure to report.
    for (const char* script : {"progress extract\t0\t9\t0\t90\tx\nwait-cancel 30000\nerr ERROR: not cancelled\n",
                               "sleep 30000\nerr ERROR: not ended\n"}) {
        SCOPED_TRACE(script);
        Script(script);
        RunMonitor cancelled;
        session.monitor = &cancelled;
        std::thread user([&] {
            Sleep(400);
            cancelled.RequestCancel();
        });
        auto start = std::chrono::steady_clock::now();
        bool ran = session.RunConsole(" x \"x.j\"", ConsoleShow::Hidden);
        auto took = std::chrono::steady_clock::now() - start;
        user.join();
        EXPECT_FALSE(ran);
        EXPECT_TRUE(session.lastRunCancelled);
        EXPECT_LT(took, std::chrono::seconds(8));
    }
    // Once cancelled, the operation's later runs do not start.
    RunMonitor stopped;
    stopped.RequestCancel();
    session.monitor = &stopped;
    Script("err ERROR: ran\n");
    EXPECT_FALSE(session.RunConsole(" t \"x.j\"", ConsoleShow::Hidden));
    EXPECT_TRUE(session.lastRunCancelled);
    EXPECT_TRUE(prompts.empty());
    session.monitor = nullptr;
}

TEST_F(Runner, DriveRootWorkingFolderMeansTheRoot)
{
    // "C:" alone names drive C's current folder: make that somewhere else than the root.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    session.workingFolder = "C:";
    Script("cwd\n");
    Strings lines;
    bool ran = session.RunJarCaptured("lc \"x.j\"", lines);
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(ran);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "C:\\");
}

} // namespace
