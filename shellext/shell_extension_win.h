// The one class of the server: the context menu of files and folders, and the drop target of
// ".j" files. Apartment-threaded: each object is used by one thread.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>

namespace shellext {

// {6F0A91C4-2D7B-11D2-8E41-5A7C0D93B1E2}
inline constexpr CLSID kShellExtensionClassId = {
    0x6F0A91C4, 0x2D7B, 0x11D2, {0x8E, 0x41, 0x5A, 0x7C, 0x0D, 0x93, 0xB1, 0xE2}};

// The primary interface comes first, so the object's address is its IContextMenu.
class ShellExtension final : public IContextMenu, public IShellExtInit, public IDropTarget, public IPersistFile {
public:
    ShellExtension();
    ShellExtension(const ShellExtension&) = delete;
    ShellExtension& operator=(const ShellExtension&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT position, UINT firstId, UINT lastId, UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR id, UINT type, UINT* reserved, CHAR* name, UINT size) override;

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY programKey) override;

    // IDropTarget
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    // IPersistFile
    STDMETHODIMP GetClassID(CLSID* classId) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPCOLESTR fileName, DWORD mode) override;
    STDMETHODIMP Save(LPCOLESTR fileName, BOOL remember) override;
    STDMETHODIMP SaveCompleted(LPCOLESTR fileName) override;
    STDMETHODIMP GetCurFile(LPOLESTR* fileName) override;

private:
    ~ShellExtension();
    void HoldData(IDataObject* data);

    LONG references_ = 0;
    IDataObject* data_ = nullptr;
    bool archiveMode_ = false;
    bool menuBuilt_ = false;
    DWORD dragEffect_ = DROPEFFECT_NONE;
    std::string archivePath_;
};

class ClassFactory final : public IClassFactory {
public:
    ClassFactory();
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~ClassFactory();
    LONG references_ = 0;
};

} // namespace shellext
