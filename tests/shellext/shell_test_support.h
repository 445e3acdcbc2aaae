// What the extension's Windows tests share: the DLL loaded as the shell loads it, data objects
// built by hand (the system's own is not available under Wine), the settings key put back after
// each test, and waiting for the processes the extension starts.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/support/file_tree.h"

namespace shelltest {

// {6F0A91C4-2D7B-11D2-8E41-5A7C0D93B1E2}
inline constexpr CLSID kClassId = {0x6F0A91C4, 0x2D7B, 0x11D2, {0x8E, 0x41, 0x5A, 0x7C, 0x0D, 0x93, 0xB1, 0xE2}};

std::string ExeFolder();

class ExtensionDll {
public:
    ExtensionDll();
    ~ExtensionDll();
    bool Loaded() const { return module_ != nullptr; }
    HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object) const;
    HRESULT CanUnloadNow() const;
    HMODULE Module() const { return module_; }
    // A new extension object through the class factory, as the shell makes one.
    template <typename Interface>
    Interface* Create(REFIID iid) const
    {
        IClassFactory* factory = nullptr;
        if (FAILED(GetClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory))))
            return nullptr;
        Interface* object = nullptr;
        factory->CreateInstance(nullptr, iid, reinterpret_cast<void**>(&object));
        factory->Release();
        return object;
    }

private:
    HMODULE module_ = nullptr;
    decltype(&DllGetClassObject) getClassObject_ = nullptr;
    decltype(&DllCanUnloadNow) canUnloadNow_ = nullptr;
};

// A data object offering either a CF_HDROP list in global memory, or only text in a stream.
class TestDataObject : public IDataObject {
public:
    static TestDataObject* WithFiles(const std::vector<std::string>& paths);  // names in the ANSI code page
    static TestDataObject* WithFiles(const std::vector<std::wstring>& paths);
    static TestDataObject* StreamOnly();
    ULONG References() const { return references_; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    TestDataObject() = default;
    virtual ~TestDataObject() = default;
    ULONG references_ = 1;
    std::vector<std::wstring> paths_;
    FORMATETC format_ = {};
};

// Saves the extension's settings values on construction and puts them back afterwards; in between
// the test sets what it needs (everything else missing).
class ScopedSettings {
public:
    ScopedSettings();
    ~ScopedSettings();
    void Int(const char* name, DWORD value);
    void String(const char* name, const std::string& value);
    void Remove(const char* name);
    // -1 when missing.
    static long long ReadInt(const char* name);

private:
    struct Saved {
        std::string name;
        bool present = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    std::vector<Saved> saved_;
};

// Waits until every process this process started has ended.
bool WaitForChildren(DWORD timeoutMs = 20000);

// A fresh folder in the temporary folder, removed with its contents at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return path_; }
    std::string Make(const std::string& relative, const std::string& content = std::string()) const;
    std::string MakeFolder(const std::string& relative) const;

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
using testsupport::RemoveTree;
std::vector<std::string> SplitLines(const std::string& text);

} // namespace shelltest
