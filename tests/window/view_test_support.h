// Drives the program's main window in a test: the real application object with an in-memory
// settings store, a scratch folder on drive C:, archives made by jar32.exe from bin/, and what
// the list shows read back through the list control itself.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/torvex_app.h"
#include "tests/support/file_tree.h"
#include "dialogs/settings_store.h"
#include "engine/torvex_doc.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

namespace viewtest {

// The folder of the test executable (bin/, where jar32.exe is).
std::string ProgramFolder();
// Where the program leaves its list files: the program folder, or the per-user folder
// (%LOCALAPPDATA%\Torvex) in the run that mounts the program folder read-only
// (TORVEX_READ_ONLY_PROGRAM_FOLDER set), which it first checks is read-only indeed.
std::string ListFolder();
// A new empty folder under the temporary folder; removed with everything in it by RemoveTree.
std::string MakeScratchFolder(const std::string& tag);
using testsupport::RemoveTree;
void WriteFile(const std::string& path, const std::string& bytes);
// The whole file; empty when it cannot be read.
std::string ReadAll(const std::string& path);
// A file or folder of that name exists.
bool Exists(const std::string& path);
void MakeFolder(const std::string& path);
// True while the stand-in viewer (append_viewer.exe) runs: its current folder is the copy's,
// which cannot be removed then.
bool ViewerRunning();

// True when jar32.exe was built beside the test.
bool JarAvailable();
// Runs jar32.exe with `arguments` in `folder`; true when it ran and printed no ERROR line.
bool RunJar(const std::string& folder, const std::string& arguments, std::string* output = nullptr);
// An archive a.j in `root` holding top.txt ("top"), dir\b.txt ("bee") and dir\sub\a.txt ("ay"),
// with `extra` root files (name, content) besides; made from root\src.
bool MakeSampleArchive(const std::string& root,
                       const std::vector<std::pair<std::string, std::string>>& extra = {});

// Runs `step` from a thread timer inside the modal loop that shows a visible window of this thread
// captioned `caption`. A dialog that never comes fails the test after `ms`; one still open then
// is cancelled, so that the test ends instead of hanging.
void WhenDialogOpens(const std::string& caption, std::function<void(HWND)> step, int ms = 10000);
// What the window shows on screen now, pixel by pixel, frame and children included.
std::vector<uint32_t> ScreenPicture(HWND window);
// Controls of a driven dialog.
void SetControlText(HWND dialog, int id, const std::string& text);
std::string ControlText(HWND dialog, int id);
void ClickButton(HWND dialog, int id);
void SelectComboItem(HWND dialog, int id, int index);

// Cancels every dialog box of this thread that opens while it lives, and counts them.
struct DialogWatch {
    static inline int seen = 0;
    UINT_PTR timer;
    DialogWatch();
    ~DialogWatch();
};

// The application with its main window, started on `startFolder` (disk mode).
class TorvexWindow {
public:
    explicit TorvexWindow(const std::string& startFolder, std::function<void(SettingsStore&)> settings = {});
    ~TorvexWindow();

    CTorvexApp& App() { return *app_; }
    CTorvexView& View() { return *static_cast<CTorvexView*>(app_->ActiveView()); }
    CMainFrame& Frame() { return *static_cast<CMainFrame*>(app_->MainWindow()); }
    CTorvexDoc& Doc() { return *static_cast<CTorvexDoc*>(app_->ActiveDocument()); }
    HWND List() { return View().Handle(); }

    // Processes messages for `ms` milliseconds (at least one pass).
    void Pump(int ms = 0);
    // Pumps until `done` holds or `ms` passed; true when it held.
    bool PumpUntil(const std::function<bool()>& done, int ms);
    // Pumps until the running operation (if any) has ended; false when it did not in time.
    bool OperationFinished(int ms = 20000);

    std::string Title();
    int RowCount();
    // The text the list shows in a cell, asked of the list control.
    std::string Cell(int row, int column);
    int Image(int row);
    std::vector<std::string> Names();
    int ColumnCount();
    std::string ColumnCaption(int column);
    int ColumnWidth(int column);
    // LVCFMT_LEFT or LVCFMT_RIGHT.
    int ColumnAlignment(int column);
    std::vector<int> SelectedRows();
    // Selects exactly these rows.
    void SetSelection(const std::vector<int>& rows);

    // Mouse input as the system delivers it.
    void DoubleClickRow(int row);
    void ClickRow(int row);
    void ClickColumnHeader(int column);
    // A menu or accelerator command through the frame.
    void Command(unsigned id);
    // A key on the list, Ctrl held or not, through the message loop.
    void PressKey(UINT key, bool ctrl);
    // Runs `program` (in bin/) with `arguments`, the window answering meanwhile (another
    // program's clipboard reads and drops are served by this thread); its exit code, or -1 when
    // it did not start or end within `ms`.
    int RunProgram(const std::string& program, const std::string& arguments, int ms = 60000);
    // A hand-built drop of `names` posted to the frame, as Explorer delivers it.
    void DropFiles(const std::vector<std::string>& names);
    int RowNamed(const std::string& name);

private:
    std::unique_ptr<CTorvexApp> app_;
};

} // namespace viewtest
