#include "shellext/shell_extension_win.h"

#include "shellext/context_menu_rules.h"
#include "shellext/module_win.h"
#include "shellext/shell_commands_win.h"
#include "shellext/shell_settings_win.h"
#include "shellext/wide_text_win.h"

#include <new>

namespace shellext {

namespace {

// Nothing thrown may reach the shell.
template <typename Body>
HRESULT Guarded(Body body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace

ShellExtension::ShellExtension()
{
    ObjectCreated();
}

ShellExtension::~ShellExtension()
{
    if (data_)
        data_->Release();
    ObjectDestroyed();
}

STDMETHODIMP ShellExtension::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellExtInit))
        *object = static_cast<IShellExtInit*>(this);
    else if (IsEqualIID(iid, IID_IContextMenu))
        *object = static_cast<IContextMenu*>(this);
    else if (IsEqualIID(iid, IID_IDropTarget))
        *object = static_cast<IDropTarget*>(this);
    else if (IsEqualIID(iid, IID_IPersistFile))
        *object = static_cast<IPersistFile*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ShellExtension::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

STDMETHODIMP_(ULONG) ShellExtension::Release()
{
    LONG count = InterlockedDecrement(&references_);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

void ShellExtension::HoldData(IDataObject* data)
{
    if (data)
        data->AddRef();
    if (data_)
        data_->Release();
    data_ = data;
}

STDMETHODIMP ShellExtension::QueryContextMenu(HMENU menu, UINT position, UINT firstId, UINT lastId, UINT flags)
{
    return Guarded([&]() -> HRESULT {
        if (!MenuFlagsAllowItems(flags))
            return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
        auto paths = DropList(data_);
        if (!paths)
            return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
        MenuSettings settings;
        settings.shExtExtract = ReadSettingInt(jarcontract::name::ShExtExtract);
        settings.shExtCompress = ReadSettingInt(jarcontract::name::ShExtCompress);
        MenuPlan plan = PlanContextMenu(flags, *paths, IsFolderOnDisk(paths->front()), settings);
        UINT count = static_cast<UINT>(plan.items.size());
        // The shell's id range bounds what may be inserted.
        if (plan.mode == MenuMode::None || firstId + count - 1 > lastId)
            return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
        archiveMode_ = plan.mode == MenuMode::Extract;
        archivePath_ = plan.archivePath;
        menuBuilt_ = true;
        // The extract items carry the picture; the add item is plain text.
        HBITMAP bitmap = plan.mode == MenuMode::Extract ? MenuBitmap() : nullptr;
        for (UINT i = 0; i < count; ++i) {
            InsertMenuW(menu, position + i, MF_BYPOSITION | MF_STRING, firstId + i, Wide(plan.items[i]).c_str());
            if (bitmap)
                SetMenuItemBitmaps(menu, position + i, MF_BYPOSITION, bitmap, bitmap);
        }
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, count);
    });
}

STDMETHODIMP ShellExtension::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    return Guarded([&]() -> HRESULT {
        if (!info)
            return E_INVALIDARG;
        UINT_PTR verb = reinterpret_cast<UINT_PTR>(info->lpVerb);
        // Only offsets are offered; a text verb has its high bits set.
        if ((verb >> 16) != 0)
            return E_INVALIDARG;
        if (!menuBuilt_)
            return E_FAIL;
        if (archiveMode_) {
            if (verb == kExtractHere)
                ExtractHere(archivePath_);
            else if (verb == kExtractToFolder)
                ExtractToFolder(archivePath_);
            else
                ExtractWithProgram(data_);
            return S_OK;
        }
        if (verb != kAddTo)
            return E_INVALIDARG;
        AddToArchive(data_, archivePath_);
        return S_OK;
    });
}

STDMETHODIMP ShellExtension::GetCommandString(UINT_PTR, UINT type, UINT*, CHAR* name, UINT size)
{
    // No help texts or verbs; an empty text leaves no caller reading an unwritten buffer.
    if (name && size > 0 && type != GCS_VALIDATEA && type != GCS_VALIDATEW) {
        if (type & GCS_UNICODE)
            *reinterpret_cast<WCHAR*>(name) = L'\0';
        else
            *name = '\0';
    }
    return S_OK;
}

STDMETHODIMP ShellExtension::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY)
{
    HoldData(data);
    return S_OK;
}

STDMETHODIMP ShellExtension::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    return Guarded([&]() -> HRESULT {
        if (!effect)
            return E_INVALIDARG;
        dragEffect_ = DROPEFFECT_NONE;
        IEnumFORMATETC* formats = nullptr;
        if (data && SUCCEEDED(data->EnumFormatEtc(DATADIR_GET, &formats)) && formats) {
            FORMATETC format;
            ULONG fetched = 0;
            while (formats->Next(1, &format, &fetched) == S_OK && fetched == 1) {
                if (format.ptd)
                    CoTaskMemFree(format.ptd);
                if (format.tymed & TYMED_HGLOBAL)
                    dragEffect_ = DROPEFFECT_COPY;
            }
            formats->Release();
        }
        *effect = dragEffect_;
        return S_OK;
    });
}

STDMETHODIMP ShellExtension::DragOver(DWORD, POINTL, DWORD* effect)
{
    // Answer as DragEnter did, not with whatever the source allows (a move would let it delete).
    if (effect)
        *effect = dragEffect_;
    return S_OK;
}

STDMETHODIMP ShellExtension::DragLeave()
{
    return S_OK;
}

STDMETHODIMP ShellExtension::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    return Guarded([&]() -> HRESULT {
        HoldData(data);
        bool started = AddToArchive(data_, archivePath_);
        // Files are copied into the archive; the source must never take the drop for a move.
        if (effect)
            *effect = started ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    });
}

STDMETHODIMP ShellExtension::GetClassID(CLSID* classId)
{
    if (classId)
        *classId = kShellExtensionClassId;
    return S_OK;
}

STDMETHODIMP ShellExtension::IsDirty()
{
    return S_OK;
}

STDMETHODIMP ShellExtension::Load(LPCOLESTR fileName, DWORD)
{
    return Guarded([&]() -> HRESULT {
        archivePath_.clear();
        if (!fileName)
            return E_INVALIDARG;
        // Every name converts; only broken UTF-16 (an unpaired surrogate) is refused rather than
        // adding files to a mangled name.
        std::string name = Utf8(fileName, -1, true);
        if (name.empty())
            return E_INVALIDARG;
        archivePath_ = name;
        return S_OK;
    });
}

STDMETHODIMP ShellExtension::Save(LPCOLESTR, BOOL)
{
    return S_OK;
}

STDMETHODIMP ShellExtension::SaveCompleted(LPCOLESTR)
{
    return S_OK;
}

STDMETHODIMP ShellExtension::GetCurFile(LPOLESTR* fileName)
{
    if (fileName)
        *fileName = nullptr;
    return S_OK;
}

ClassFactory::ClassFactory()
{
    ObjectCreated();
}

ClassFactory::~ClassFactory()
{
    ObjectDestroyed();
}

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
        return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

STDMETHODIMP_(ULONG) ClassFactory::Release()
{
    LONG count = InterlockedDecrement(&references_);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    auto* extension = new (std::nothrow) ShellExtension();
    if (!extension)
        return E_OUTOFMEMORY;
    // Held for the query: an object nobody asked for correctly goes away again at once.
    extension->AddRef();
    HRESULT result = extension->QueryInterface(iid, object);
    extension->Release();
    return result;
}

STDMETHODIMP ClassFactory::LockServer(BOOL)
{
    return S_OK;
}

} // namespace shellext
