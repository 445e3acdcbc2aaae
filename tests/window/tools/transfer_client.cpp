// Another program on the desktop for the drag and clipboard tests: it reads the files on the
// clipboard, puts files there, empties it, or opens a window that accepts dropped files while it
// moves the mouse itself, from a point of Torvex's list to its own window, as a user drags.
//   transfer_client read <report> [<more>] the CF_HDROP names, one a line; then in <more> each
//                                           file of the contents formats: its name, a tab, its bytes
//   transfer_client put <file>...          those files on the clipboard, as the shell copies them
//   transfer_client cut <file>...          the same, marked to be moved, as the shell cuts them
//   transfer_client empty                  the clipboard emptied (the data released)
//   transfer_client drag <x> <y> <x2> <y2> a drag from one point to another, nothing more
//   transfer_client target <report> <x> <y> a drag from (x, y) onto its own drop target; the
//                                           report says what the target saw when, then the names
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> NamesOf(HDROP drop)
{
    std::vector<std::string> names;
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string name(DragQueryFileA(drop, i, nullptr, 0), '\0');
        DragQueryFileA(drop, i, name.data(), (UINT)name.size() + 1);
        names.push_back(name);
    }
    return names;
}

void Report(const std::string& path, const std::vector<std::string>& lines)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines)
        out << line << "\n";
}

// Files below the per-drag folders of every Torvex: none may be there before a drop.
int ExtractedFiles(const std::string& folder)
{
    int found = 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            found += ExtractedFiles(folder + "\\" + name);
        else
            ++found;
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return found;
}

int FilesInDragFolders()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    int found = 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((std::string(temp) + "~TDrag*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do
        found += ExtractedFiles(std::string(temp) + data.cFileName);
    while (FindNextFileA(search, &data));
    FindClose(search);
    return found;
}

void MouseTo(int x, int y, DWORD buttons = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = (y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
}

// Press at (x, y), move there in steps (Torvex's list sees a drag begin), release at (x2, y2).
// Runs on a thread of its own: the drop target answers on the main thread meanwhile.
struct Gesture {
    int x, y, x2, y2;
};

DWORD WINAPI Drag(void* parameter)
{
    Gesture g = *static_cast<Gesture*>(parameter);
    MouseTo(g.x, g.y);
    Sleep(300);
    MouseTo(g.x, g.y, MOUSEEVENTF_LEFTDOWN);
    Sleep(300);
    for (int step = 1; step <= 20; ++step) {
        MouseTo(g.x + (g.x2 - g.x) * step / 20, g.y + (g.y2 - g.y) * step / 20);
        Sleep(60);
    }
    Sleep(500);
    MouseTo(g.x2, g.y2, MOUSEEVENTF_LEFTUP);
    return 0;
}

class Target : public IDropTarget {
public:
    std::vector<std::string> lines;
    bool dropped = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDropTarget) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        lines.push_back("enter offers=" + std::to_string(data->QueryGetData(&format) == S_OK) +
                        " extracted=" + std::to_string(FilesInDragFolders()));
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override
    {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        lines.push_back("drop extracted=" + std::to_string(FilesInDragFolders()));
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->GetData(&format, &medium) == S_OK) {
            for (const std::string& name : NamesOf(static_cast<HDROP>(medium.hGlobal))) {
                // The files are read now, while the drop lasts, as a target copies them.
                std::ifstream in(name, std::ios::binary);
                std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                lines.push_back(name + "\t" + bytes);
            }
            ReleaseStgMedium(&medium);
        }
        *effect = DROPEFFECT_COPY;
        dropped = true;
        return S_OK;
    }
};

int RunTarget(const std::string& report, int x, int y)
{
    OleInitialize(nullptr);
    WNDCLASSA type{};
    type.lpfnWndProc = DefWindowProcA;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "TransferClientTarget";
    type.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    RegisterClassA(&type);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, type.lpszClassName, "Drop here", WS_POPUP | WS_VISIBLE | WS_BORDER,
                                  700, 400, 250, 250, nullptr, nullptr, type.hInstance, nullptr);
    Target target;
    RegisterDragDrop(window, &target);
    Gesture gesture{x, y, 825, 525};
    HANDLE mover = CreateThread(nullptr, 0, Drag, &gesture, 0, nullptr);
    DWORD start = GetTickCount();
    while (!target.dropped && GetTickCount() - start < 60000) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    WaitForSingleObject(mover, 10000);
    RevokeDragDrop(window);
    DestroyWindow(window);
    Report(report, target.lines);
    OleUninitialize();
    return target.dropped ? 0 : 1;
}

// The files as a mail program takes them: the descriptors, then each file's contents as a stream.
bool ReadContents(const std::string& report)
{
    OleInitialize(nullptr);
    std::vector<std::string> lines;
    IDataObject* data = nullptr;
    if (OleGetClipboard(&data) == S_OK) {
        FORMATETC format{(CLIPFORMAT)RegisterClipboardFormatA(CFSTR_FILEDESCRIPTORW), nullptr, DVASPECT_CONTENT, -1,
                         TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->GetData(&format, &medium) == S_OK) {
            auto* group = static_cast<FILEGROUPDESCRIPTORW*>(GlobalLock(medium.hGlobal));
            for (UINT i = 0; i < group->cItems; ++i) {
                char name[MAX_PATH] = {};
                WideCharToMultiByte(CP_UTF8, 0, group->fgd[i].cFileName, -1, name, MAX_PATH, nullptr, nullptr);
                std::string bytes = "<folder>";
                if (!(group->fgd[i].dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    FORMATETC contents{(CLIPFORMAT)RegisterClipboardFormatA(CFSTR_FILECONTENTS), nullptr,
                                       DVASPECT_CONTENT, (LONG)i, TYMED_ISTREAM};
                    STGMEDIUM stream{};
                    bytes = "<none>";
                    if (data->GetData(&contents, &stream) == S_OK && stream.tymed == TYMED_ISTREAM) {
                        bytes.clear();
                        char buffer[256];
                        ULONG got = 0;
                        // The last read says S_FALSE, with what was left.
                        while (SUCCEEDED(stream.pstm->Read(buffer, sizeof buffer, &got)) && got > 0)
                            bytes.append(buffer, got);
                        ReleaseStgMedium(&stream);
                    }
                }
                lines.push_back(std::string(name) + "\t" + bytes);
            }
            GlobalUnlock(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        data->Release();
    }
    Report(report, lines);
    OleUninitialize();
    return !lines.empty();
}

// The clipboard opened by a window of this program, so that what it puts there has an owner.
bool OpenOwnClipboard()
{
    HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(25);
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "read" && (argc == 3 || argc == 4)) {
        if (!OpenOwnClipboard())
            return 2;
        std::vector<std::string> names;
        if (auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP)))
            names = NamesOf(drop);
        CloseClipboard();
        Report(argv[2], names);
        if (argc == 4 && !ReadContents(argv[3]))
            return 4;
        return names.empty() ? 1 : 0;
    }
    if ((mode == "put" || mode == "cut") && argc >= 3) {
        std::wstring list;
        for (int i = 2; i < argc; ++i) {
            wchar_t wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, argv[i], -1, wide, MAX_PATH);
            list += std::wstring(wide) + L'\0';
        }
        list += L'\0';
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
        auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        memcpy(drop + 1, list.data(), list.size() * sizeof(wchar_t));
        GlobalUnlock(block);
        if (!OpenOwnClipboard())
            return 2;
        EmptyClipboard();
        bool put = SetClipboardData(CF_HDROP, block) != nullptr;
        if (mode == "cut") {
            HGLOBAL effect = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
            *static_cast<DWORD*>(GlobalLock(effect)) = DROPEFFECT_MOVE;
            GlobalUnlock(effect);
            put = put && SetClipboardData(RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT), effect) != nullptr;
        }
        CloseClipboard();
        return put ? 0 : 1;
    }
    if (mode == "empty") {
        if (!OpenOwnClipboard())
            return 2;
        EmptyClipboard();
        CloseClipboard();
        return 0;
    }
    if (mode == "drag" && argc == 6) {
        Gesture gesture{atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5])};
        Drag(&gesture);
        return 0;
    }
    if (mode == "target" && argc == 5)
        return RunTarget(argv[2], atoi(argv[3]), atoi(argv[4]));
    return 3;
}
