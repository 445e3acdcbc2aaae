#include "framework/application.h"

#include "framework/document.h"
#include "framework/frame_window.h"
#include "framework/framework_ids.h"
#include "framework/list_view.h"
#include "framework/profile_store.h"
#include "framework/wide_text.h"

#include <commdlg.h>

#include <vector>

namespace {
Application* currentApp = nullptr;

// Messages after which the enabling of the toolbar may have changed.
bool TriggersIdleUpdate(const MSG& msg)
{
    return msg.message != WM_PAINT && msg.message != WM_TIMER && msg.message != 0x0118 /* system timer */
           && msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE;
}
} // namespace

Application::Application() : previous_(currentApp)
{
    currentApp = this;
    instance_ = ::GetModuleHandleA(nullptr);
    appName_ = LoadString(IDS_APP_TITLE);
    if (appName_.empty())
        appName_ = "Torvex";
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
}

Application::~Application()
{
    CloseAll();
    if (currentApp == this)
        currentApp = previous_;
}

Application* Application::Current() { return currentApp; }

int Application::Run()
{
    if (!InitInstance()) {
        CloseAll();
        int code = ExitInstance();
        return code != 0 ? code : 1;
    }
    running_ = true;
    MSG msg{};
    bool idlePending = true;
    for (;;) {
        while (idlePending && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            OnIdle();
            idlePending = false;
        }
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!TranslateMessageForFrame(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (TriggersIdleUpdate(msg))
            idlePending = true;
    }
    running_ = false;
    int code = ExitInstance();
    CloseAll();
    return code != 0 ? code : (int)msg.wParam;
}

int Application::ExitInstance()
{
    if (recentFiles_ && settings_)
        recentFiles_->Save(*settings_);
    return 0;
}

bool Application::TranslateMessageForFrame(MSG& msg)
{
    // A modeless dialog (modal ones run loops of their own) takes its keys as a dialog does:
    // Esc presses its Cancel, Tab moves between its controls.
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd) {
        HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
        char cls[8] = {};
        if (root && (!frame_ || root != frame_->Handle()) && ::GetClassNameA(root, cls, sizeof cls) &&
            std::string(cls) == "#32770" && ::IsDialogMessageA(root, &msg))
            return true;
    }
    FrameWindow* frame = frame_.get();
    if (!frame || !frame->Handle() || !frame->Accelerators())
        return false;
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST)
        return false;
    if (msg.hwnd != frame->Handle() && !::IsChild(frame->Handle(), msg.hwnd))
        return false;
    return ::TranslateAcceleratorA(frame->Handle(), frame->Accelerators(), &msg) != 0;
}

void Application::OnIdle()
{
    if (frame_ && frame_->Handle())
        frame_->UpdateToolBarButtons();
}

bool Application::PumpMessages()
{
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return false;
        if (!TranslateMessageForFrame(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    OnIdle();
    return true;
}

void Application::OnMainWindowGone()
{
    if (running_)
        ::PostQuitMessage(0);
}

void Application::CloseAll()
{
    if (frame_ && frame_->Handle())
        ::DestroyWindow(frame_->Handle());
    view_.reset();
    frame_.reset();
    document_.reset();
}

std::string LoadResourceString(HINSTANCE instance, UINT id)
{
    // LoadStringA with length 0 is not usable for A strings; grow a buffer instead.
    for (int size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size, '\0');
        int got = ::LoadStringA(instance, id, buffer.data(), size);
        if (got < size - 1)
            return std::string(buffer.data(), got > 0 ? got : 0);
    }
    return std::string();
}

std::string Application::LoadString(UINT id) const { return LoadResourceString(instance_, id); }

void Application::SetSettingsStore(std::unique_ptr<ProfileStore> store) { settings_ = std::move(store); }

void Application::LoadStdProfileSettings(int recentCount)
{
    recentFiles_ = std::make_unique<RecentFileList>(kRecentFileSection, recentCount);
    if (settings_)
        recentFiles_->Load(*settings_);
}

void Application::AddToRecentFileList(const std::string& path)
{
    if (recentFiles_)
        recentFiles_->Add(path);
}

std::string Application::TemplateString(int field) const
{
    std::string text = LoadString(template_.resourceId);
    size_t start = 0;
    for (int i = 0; i < field; ++i) {
        size_t newline = text.find('\n', start);
        if (newline == std::string::npos)
            return std::string();
        start = newline + 1;
    }
    size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool Application::CreateDocumentAndFrame()
{
    if (!template_.createDocument || !template_.createFrame || !template_.createView)
        return false;
    document_ = template_.createDocument();
    frame_ = template_.createFrame();
    if (!frame_->LoadFrame(template_.resourceId)) {
        CloseAll();
        return false;
    }
    view_ = template_.createView();
    if (!view_->Create(*frame_, *document_, template_.viewStyle)) {
        CloseAll();
        return false;
    }
    view_->OnInitialUpdate();
    return true;
}

bool Application::OnFileNew()
{
    bool created = false;
    if (!document_) {
        if (!CreateDocumentAndFrame())
            return false;
        created = true;
    } else if (!document_->SaveModified()) {
        return false;
    }
    if (!document_->OnNewDocument()) {
        if (created)
            CloseAll();
        return false;
    }
    return true;
}

void Application::OnFileOpen()
{
    // Filter: the template's ("Name (*.j)" and "*.j"), then every file.
    std::string filterName = TemplateString(3), extension = TemplateString(4);
    std::string filter;
    if (!filterName.empty() && !extension.empty())
        filter += filterName + '\0' + "*" + extension + '\0';
    filter += std::string("All Files (*.*)") + '\0' + "*.*" + '\0' + '\0';

    std::vector<char> file(32768, '\0');
    std::string folder = OpenDialogFolder();
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = frame_ ? frame_->Handle() : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = (DWORD)file.size();
    ofn.lpstrDefExt = extension.size() > 1 ? extension.c_str() + 1 : nullptr;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (::GetOpenFileNameA(&ofn) && AcceptChosenFile(file.data()))
        OpenDocumentFile(file.data());
}

Document* Application::OpenDocumentFile(const std::string& name)
{
    // A name from the command line may be relative to the folder the program was started in;
    // the document, its folder and the recent-file list need the full path.
    std::string path = name;
    if (!name.empty()) {
        std::wstring wide = WideText(name);
        std::wstring full(::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
        DWORD length = full.empty() ? 0 : ::GetFullPathNameW(wide.c_str(), (DWORD)full.size(), full.data(), nullptr);
        if (length > 0 && length < full.size())
            path = Utf8Name(full.c_str(), (int)length);
    }
    bool created = false;
    if (!document_) {
        if (!CreateDocumentAndFrame())
            return nullptr;
        created = true;
    } else if (!document_->SaveModified()) {
        return nullptr;
    }
    bool opened;
    {
        WaitCursor wait;
        opened = document_->OnOpenDocument(path);
    }
    if (!opened) {
        // The document has told the user why; a window made only for it goes again.
        if (created)
            CloseAll();
        return nullptr;
    }
    if (!document_->TakeOpenIgnored())
        document_->SetPathName(path);
    return document_.get();
}

void Application::ParseCommandLine(CommandLineInfo& info) const
{
    std::vector<std::string> args = SplitCommandLine(::GetCommandLineA());
    if (!args.empty())
        args.erase(args.begin());
    info.Parse(args);
}

bool Application::ProcessShellCommand(const CommandLineInfo& info)
{
    // A file that cannot be opened has been reported; the program still comes up, empty, so
    // that the user is not left with nothing on the screen.
    if (info.action == CommandLineInfo::FileOpen && OpenDocumentFile(info.fileName))
        return true;
    return OnFileNew();
}

void Application::BeginWaitCursor()
{
    if (waitCount_++ == 0)
        savedCursor_ = ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
}

void Application::EndWaitCursor()
{
    if (waitCount_ > 0 && --waitCount_ == 0)
        ::SetCursor(savedCursor_ ? savedCursor_ : ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
}

bool Application::OnCommand(unsigned id, unsigned)
{
    if (id == ID_FILE_NEW) {
        OnFileNew();
        return true;
    }
    if (id == ID_FILE_OPEN) {
        OnFileOpen();
        return true;
    }
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4) {
        int index = (int)(id - ID_FILE_MRU_FILE1);
        if (recentFiles_ && index < recentFiles_->GetCount()) {
            std::string path = (*recentFiles_)[index];
            // An entry whose file is gone leaves the list; one that failed for another reason stays.
            if (!OpenDocumentFile(path) && ::GetFileAttributesW(FileSystemPath(path).c_str()) == INVALID_FILE_ATTRIBUTES && recentFiles_)
                recentFiles_->Remove(index);
        }
        return true;
    }
    if (id == ID_APP_EXIT) {
        if (frame_ && frame_->Handle())
            ::PostMessageA(frame_->Handle(), WM_CLOSE, 0, 0);
        return true;
    }
    return false;
}

bool Application::OnUpdateCommand(CommandState& state)
{
    unsigned id = state.Id();
    if (id == ID_FILE_NEW || id == ID_FILE_OPEN || id == ID_APP_EXIT)
        return true;
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4) {
        state.Enable(recentFiles_ && (int)(id - ID_FILE_MRU_FILE1) < recentFiles_->GetCount());
        return true;
    }
    return false;
}
