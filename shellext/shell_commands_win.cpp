#include "shellext/shell_commands_win.h"

#include "shellext/context_menu_rules.h"
#include "shellext/module_win.h"
#include "shellext/shell_settings_win.h"
#include "shellext/wide_text_win.h"
#include "framework/wide_text.h"

#include <shellapi.h>

#include <memory>
#include <new>

namespace shellext {

namespace {

constexpr int kMenuBitmapId = 100;
HBITMAP menuBitmap = nullptr;

struct HandleCloser {
    void operator()(HANDLE handle) const
    {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

class WinDiskLister : public DiskLister {
public:
    bool IsFolder(const std::string& path) override { return IsFolderOnDisk(path); }
    bool IsLink(const std::string& path) override
    {
        DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }
    std::vector<std::string> Names(const std::string& folder) override
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(FileSystemPath(folder + "\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            names.push_back(Utf8(found.cFileName));
        } while (FindNextFileW(find, &found));
        FindClose(find);
        return names;
    }
};

std::vector<std::string> CurrentEnvironment()
{
    std::vector<std::string> entries;
    wchar_t* block = GetEnvironmentStringsW();
    if (!block)
        return entries;
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1)
        entries.push_back(Utf8(entry));
    FreeEnvironmentStringsW(block);
    return entries;
}

struct ListFileCleanup {
    HANDLE process;
    std::string listFile;
    HMODULE module;
};

DWORD WINAPI DeleteListWhenJarEnds(void* parameter)
{
    std::unique_ptr<ListFileCleanup> cleanup(static_cast<ListFileCleanup*>(parameter));
    WaitForSingleObject(cleanup->process, INFINITE);
    CloseHandle(cleanup->process);
    DeleteFileW(FileSystemPath(cleanup->listFile).c_str());
    HMODULE module = cleanup->module;
    cleanup.reset();
    FreeLibraryAndExitThread(module, 0);
}

// The list file belongs to one JAR run: it goes once that run has ended. The waiting thread keeps
// the module loaded for as long as it runs.
void DeleteListFileAfter(HANDLE process, const std::string& listFile)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&DeleteListWhenJarEnds),
                            &module)) {
        CloseHandle(process);
        return;
    }
    auto* cleanup = new (std::nothrow) ListFileCleanup{process, listFile, module};
    HANDLE thread = cleanup ? CreateThread(nullptr, 0, DeleteListWhenJarEnds, cleanup, 0, nullptr) : nullptr;
    if (thread) {
        CloseHandle(thread);
        return;
    }
    delete cleanup;
    CloseHandle(process);
    FreeLibrary(module);
}

// Starts JAR minimised in the archive's folder. JAR_CFG_FILE goes into the child's own environment
// block: the shell's environment is left alone and its thread does not wait for the child.
bool RunJar(const std::string& switches, const std::string& archivePath, const std::string& tail,
            const std::string& listFile = std::string())
{
    std::string commandLine =
        JarCommandLine(ReadSettingString(jarcontract::name::JarEdit), switches, archivePath, tail);
    std::string environment = jarcontract::EnvironmentBlockWith(CurrentEnvironment(), jarcontract::ConfigVariable,
                                                                JarConfigFile(ReadSettingString(jarcontract::name::TorvexEdit)));
    std::wstring wideCommandLine = Wide(commandLine);
    std::wstring wideEnvironment = Wide(environment);
    std::wstring folder = Wide(WorkingFolderFor(archivePath));
    std::wstring title = Wide(jarcontract::ConsoleTitle);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.lpTitle = title.data();
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_MINIMIZE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, wideCommandLine.data(), nullptr, nullptr, TRUE,
                        NORMAL_PRIORITY_CLASS | CREATE_UNICODE_ENVIRONMENT, wideEnvironment.data(),
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    if (listFile.empty())
        CloseHandle(process.hProcess);
    else
        DeleteListFileAfter(process.hProcess, listFile);
    return true;
}

// "~TorvexAdd" in the temporary folder, made unique per run: the shell returns as soon as JAR is
// started, so a second add must not rewrite the list the first JAR has not read yet.
UniqueHandle CreateAddListFile(std::string& path)
{
    std::wstring temp(GetTempPathW(0, nullptr), L'\0');
    DWORD length = temp.empty() ? 0 : GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    if (length == 0 || length >= temp.size())
        return UniqueHandle();
    std::string folder = Utf8(temp.c_str(), static_cast<int>(length));
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    static LONG counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder + "\\" + kAddListStem + "-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(InterlockedIncrement(&counter));
        HANDLE file = CreateFileW(FileSystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return UniqueHandle(file);
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return UniqueHandle();
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

std::optional<std::vector<std::string>> DropList(IDataObject* data)
{
    if (!data)
        return std::nullopt;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium)))
        return std::nullopt;
    std::optional<std::vector<std::string>> paths;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        HDROP drop = static_cast<HDROP>(medium.hGlobal);
        UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        std::vector<std::string> list;
        for (UINT i = 0; i < count; ++i) {
            UINT length = DragQueryFileW(drop, i, nullptr, 0);
            std::wstring path(length + 1, L'\0');
            path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
            if (!path.empty())
                list.push_back(Utf8(path.c_str(), static_cast<int>(path.size())));
        }
        if (!list.empty())
            paths = std::move(list);
    }
    ReleaseStgMedium(&medium);
    return paths;
}

bool IsFolderOnDisk(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HBITMAP MenuBitmap()
{
    if (!menuBitmap) {
        HBITMAP loaded = LoadBitmapA(ModuleInstance(), MAKEINTRESOURCEA(kMenuBitmapId));
        // Objects of different apartments may race here; the loser frees its copy.
        if (loaded && InterlockedCompareExchangePointer(reinterpret_cast<void**>(&menuBitmap), loaded, nullptr))
            DeleteObject(loaded);
    }
    return menuBitmap;
}

void FreeMenuBitmap()
{
    if (menuBitmap)
        DeleteObject(menuBitmap);
    menuBitmap = nullptr;
}

bool ExtractHere(const std::string& archivePath)
{
    return RunJar(ExtractHereSwitches(archivePath), archivePath, std::string());
}

bool ExtractToFolder(const std::string& archivePath)
{
    return RunJar(ExtractToFolderSwitches(archivePath), archivePath, std::string());
}

bool ExtractWithProgram(IDataObject* data)
{
    std::string torvexFolder = ReadSettingString(jarcontract::name::TorvexEdit);
    auto paths = DropList(data);
    if (!paths)
        return false;
    // The program reads and clears the request when it opens the archive.
    WriteSettingInt(jarcontract::name::ExtractDirect, 1);
    std::wstring commandLine = Wide(ProgramCommandLine(torvexFolder, paths->front()));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &process)) {
        // Left at 1, the request would turn the next ordinary open of any archive into an extract.
        WriteSettingInt(jarcontract::name::ExtractDirect, 0);
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool AddToArchive(IDataObject* data, const std::string& archivePath)
{
    auto paths = DropList(data);
    if (!paths || archivePath.empty())
        return false;
    std::string listPath;
    // Written in UTF-8, the code page jar32.exe reads it in.
    UniqueHandle listFile = CreateAddListFile(listPath);
    // Without its list JAR would add nothing or fail; starting it would only hide the failure.
    if (!listFile)
        return false;

    WinDiskLister disk;
    std::string pending;
    bool written = true;
    WriteAddList(*paths, ReadSettingInt(jarcontract::name::ShExtSkipDir) != 0, disk, [&](const std::string& line) {
        pending += line;
        pending += "\r\n";
        if (pending.size() >= (1 << 16)) {
            written = written && WriteAll(listFile.get(), pending);
            pending.clear();
        }
    });
    written = written && WriteAll(listFile.get(), pending);
    listFile.reset();
    // A partial list would leave files out of the archive without a word.
    if (!written) {
        DeleteFileW(FileSystemPath(listPath).c_str());
        return false;
    }

    std::string switches = AddSwitches(ReadSettingInt(jarcontract::name::ShExtCompression),
                                       ReadSettingInt(jarcontract::name::TempDir),
                                       ReadSettingString(jarcontract::name::TempEdit));
    if (!RunJar(switches, archivePath, AddTail(listPath), listPath)) {
        DeleteFileW(FileSystemPath(listPath).c_str());
        return false;
    }
    return true;
}

} // namespace shellext
