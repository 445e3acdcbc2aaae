#include "shell_test_support.h"

#include "framework/wide_text.h"

#include <tlhelp32.h>

#include <fstream>
#include <set>
#include <sstream>

namespace shelltest {

namespace {

constexpr const char* kSettingsKey = "Software\\Quendal\\Torvex\\Settings";
const char* const kExtensionSettings[] = {"ShExtExtract", "ShExtCompress", "ShExtCompression", "ShExtSkipDir",
                                          "tempDir",      "tempEdit",      "jarEdit",          "torvexEdit",
                                          "ExtractDirect"};

HGLOBAL DropListMemory(const std::vector<std::wstring>& paths)
{
    // Wide names, as Explorer hands them over.
    std::wstring names;
    for (const std::wstring& path : paths) {
        names += path;
        names += L'\0';
    }
    names += L'\0';
    size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

} // namespace

std::string ExeFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\'));
}

ExtensionDll::ExtensionDll()
{
    module_ = LoadLibraryA((ExeFolder() + "\\TorvexShExt.dll").c_str());
    if (!module_)
        return;
    getClassObject_ = reinterpret_cast<decltype(getClassObject_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow_ = reinterpret_cast<decltype(canUnloadNow_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    if (!getClassObject_ || !canUnloadNow_) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

ExtensionDll::~ExtensionDll()
{
    if (module_)
        FreeLibrary(module_);
}

HRESULT ExtensionDll::GetClassObject(REFCLSID classId, REFIID iid, void** object) const
{
    return getClassObject_(classId, iid, object);
}

HRESULT ExtensionDll::CanUnloadNow() const
{
    return canUnloadNow_();
}

TestDataObject* TestDataObject::WithFiles(const std::vector<std::string>& paths)
{
    std::vector<std::wstring> wide;
    for (const std::string& path : paths) {
        int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        std::wstring name(static_cast<size_t>(length), L'\0');
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, name.data(), length);
        name.pop_back();
        wide.push_back(name);
    }
    return WithFiles(wide);
}

TestDataObject* TestDataObject::WithFiles(const std::vector<std::wstring>& paths)
{
    auto* data = new TestDataObject();
    data->paths_ = paths;
    data->format_ = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data;
}

TestDataObject* TestDataObject::StreamOnly()
{
    auto* data = new TestDataObject();
    data->format_ = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    return data;
}

STDMETHODIMP TestDataObject::QueryInterface(REFIID iid, void** object)
{
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDataObject))
        return E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TestDataObject::AddRef()
{
    return ++references_;
}

STDMETHODIMP_(ULONG) TestDataObject::Release()
{
    ULONG count = --references_;
    if (count == 0)
        delete this;
    return count;
}

STDMETHODIMP TestDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (QueryGetData(format) != S_OK)
        return DV_E_FORMATETC;
    *medium = {};
    if (format_.tymed == TYMED_HGLOBAL) {
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = DropListMemory(paths_);
        return S_OK;
    }
    medium->tymed = TYMED_ISTREAM;
    return CreateStreamOnHGlobal(nullptr, TRUE, &medium->pstm);
}

STDMETHODIMP TestDataObject::QueryGetData(FORMATETC* format)
{
    if (!format || format->cfFormat != format_.cfFormat || !(format->tymed & format_.tymed))
        return DV_E_FORMATETC;
    return S_OK;
}

STDMETHODIMP TestDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP TestDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats)
{
    *formats = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    return SHCreateStdEnumFmtEtc(1, &format_, formats);
}

ScopedSettings::ScopedSettings()
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    for (const char* name : kExtensionSettings) {
        Saved saved;
        saved.name = name;
        DWORD size = 0;
        if (key && RegQueryValueExA(key, name, nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
            saved.data.resize(size);
            saved.present = RegQueryValueExA(key, name, nullptr, &saved.type, saved.data.data(), &size) ==
                            ERROR_SUCCESS;
        }
        saved_.push_back(saved);
        if (key)
            RegDeleteValueA(key, name);
    }
    if (key)
        RegCloseKey(key);
}

ScopedSettings::~ScopedSettings()
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    for (const Saved& saved : saved_) {
        if (saved.present)
            RegSetValueExA(key, saved.name.c_str(), 0, saved.type, saved.data.data(),
                           static_cast<DWORD>(saved.data.size()));
        else
            RegDeleteValueA(key, saved.name.c_str());
    }
    RegCloseKey(key);
}

void ScopedSettings::Int(const char* name, DWORD value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof(value));
}

void ScopedSettings::String(const char* name, const std::string& value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
}

void ScopedSettings::Remove(const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

long long ScopedSettings::ReadInt(const char* name)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, &type, &value, &size) != ERROR_SUCCESS)
        return -1;
    return value;
}

bool WaitForChildren(DWORD timeoutMs)
{
    DWORD self = GetCurrentProcessId();
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    std::set<DWORD> ended;
    for (;;) {
        std::vector<DWORD> running;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return false;
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            // Wine starts its desktop process (explorer.exe) as a child of the first process that
            // opens a window; it lives as long as the session and is not one of ours.
            if (entry.th32ParentProcessID == self && entry.th32ProcessID != self && !ended.count(entry.th32ProcessID) &&
                lstrcmpiA(entry.szExeFile, "explorer.exe") != 0 && lstrcmpiA(entry.szExeFile, "conhost.exe") != 0)
                running.push_back(entry.th32ProcessID);
        }
        CloseHandle(snapshot);
        if (running.empty())
            return true;
        for (DWORD id : running) {
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
            ULONGLONG now = GetTickCount64();
            if (now >= deadline) {
                if (process)
                    CloseHandle(process);
                return false;
            }
            if (process) {
                DWORD waited = WaitForSingleObject(process, static_cast<DWORD>(deadline - now));
                CloseHandle(process);
                if (waited != WAIT_OBJECT_0)
                    return false;
            }
            ended.insert(id);
        }
    }
}

TempFolder::TempFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    static int counter = 0;
    path_ = std::string(temp) + "torvex-shext-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTree(path_);
}

std::string TempFolder::Make(const std::string& relative, const std::string& content) const
{
    std::string path = path_ + "\\" + relative;
    std::ofstream(FileSystemPath(path).c_str(), std::ios::binary) << content;
    return path;
}

std::string TempFolder::MakeFolder(const std::string& relative) const
{
    std::string path = path_ + "\\" + relative;
    CreateDirectoryW(FileSystemPath(path).c_str(), nullptr);
    return path;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(FileSystemPath(path).c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesW(FileSystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

} // namespace shelltest
