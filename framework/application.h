// The application object: settings store, recent-file list, the one document template
// (document, frame and view created together), opening documents, the message loop with its
// idle update, and the wait cursor.
#pragma once

#include "framework/command.h"
#include "framework/command_line.h"
#include "framework/recent_file_list.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

class Document;
class FrameWindow;
class ListView;
class ProfileStore;

// String `id` of the module's string table; empty when it has none.
std::string LoadResourceString(HINSTANCE instance, UINT id);

struct DocTemplate {
    UINT resourceId = 0;   // menu, accelerators, icon and the template string
    std::function<std::unique_ptr<Document>()> createDocument;
    std::function<std::unique_ptr<FrameWindow>()> createFrame;
    std::function<std::unique_ptr<ListView>()> createView;
    DWORD viewStyle = 0;
};

class Application : public CommandTarget {
public:
    Application();
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The running application (the one constructed last).
    static Application* Current();

    // InitInstance, the message loop, ExitInstance; the exit code.
    int Run();
    virtual bool InitInstance() { return true; }
    virtual int ExitInstance();

    HINSTANCE Instance() const { return instance_; }
    // The application title (string IDS_APP_TITLE).
    const std::string& AppName() const { return appName_; }
    std::string LoadString(UINT id) const;

    // The profile store the program supplies (the registry; tests give an in-memory one). The
    // framework keeps nothing without one: Settings() needs HasSettingsStore().
    void SetSettingsStore(std::unique_ptr<ProfileStore> store);
    ProfileStore& Settings() { return *settings_; }
    bool HasSettingsStore() const { return settings_ != nullptr; }
    // Loads the recent-file list ("Recent File List", File1..File<count>) from the store.
    void LoadStdProfileSettings(int recentCount);
    RecentFileList* RecentFiles() { return recentFiles_.get(); }
    void AddToRecentFileList(const std::string& path);
    // Drops the list so that nothing writes it back at exit.
    void DropRecentFileList() { recentFiles_.reset(); }

    void AddDocTemplate(DocTemplate docTemplate) { template_ = std::move(docTemplate); }
    // The template string's fields: 0 title, 1 document name, 2 new name, 3 filter name,
    // 4 extension, 5 file type id, 6 file type name.
    std::string TemplateString(int field) const;

    // A new document: creates document, frame and view on the first call, then OnNewDocument.
    bool OnFileNew();
    // The open dialog with the template's filter, then OpenDocumentFile.
    void OnFileOpen();
    // The folder the open dialog starts in; empty leaves it to the system.
    virtual std::string OpenDialogFolder() const { return std::string(); }
    // A file the user chose in the open dialog: false refuses it, after saying why. Names from
    // the command line or the recent-file list do not come here.
    virtual bool AcceptChosenFile(const std::string& path) { (void)path; return true; }
    // Opens a file, named by its full path (a relative name is taken from the current folder), in
    // the document (creating document, frame and view on the first call).
    // nullptr when the document refused it; a frame created for it is then destroyed.
    Document* OpenDocumentFile(const std::string& path);

    void ParseCommandLine(CommandLineInfo& info) const;
    bool ProcessShellCommand(const CommandLineInfo& info);

    FrameWindow* MainWindow() const { return frame_.get(); }
    Document* ActiveDocument() const { return document_.get(); }
    ListView* ActiveView() const { return view_.get(); }

    // Hourglass while something long runs on the interface thread; nests.
    void BeginWaitCursor();
    void EndWaitCursor();
    bool WaitCursorShown() const { return waitCount_ > 0; }

    // Handles file new/open, the recent files and exit.
    bool OnCommand(unsigned id, unsigned code) override;
    bool OnUpdateCommand(CommandState& state) override;

    // Sends the idle update now (tests drive the window without the message loop).
    void OnIdle();
    // Processes waiting messages (tests); false when WM_QUIT arrived.
    bool PumpMessages();
    // The main window was destroyed: the message loop ends.
    void OnMainWindowGone();
    // Destroys the frame, view and document (after the window closed, or at the end of a test).
    void CloseAll();

protected:
    HINSTANCE instance_ = nullptr;

private:
    bool CreateDocumentAndFrame();
    bool TranslateMessageForFrame(MSG& msg);

    std::string appName_;
    std::unique_ptr<ProfileStore> settings_;
    std::unique_ptr<RecentFileList> recentFiles_;
    DocTemplate template_;
    std::unique_ptr<Document> document_;
    std::unique_ptr<FrameWindow> frame_;
    std::unique_ptr<ListView> view_;
    std::atomic<int> waitCount_{0};
    bool running_ = false;
    HCURSOR savedCursor_ = nullptr;
    Application* previous_ = nullptr;
};

// The running application's hourglass, for parts that are not handed the application; nests,
// and does nothing without a running application.
inline void BeginAppWaitCursor() { if (Application::Current()) Application::Current()->BeginWaitCursor(); }
inline void EndAppWaitCursor() { if (Application::Current()) Application::Current()->EndWaitCursor(); }

// Hourglass for the scope.
class WaitCursor {
public:
    WaitCursor() { BeginAppWaitCursor(); }
    ~WaitCursor() { EndAppWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
