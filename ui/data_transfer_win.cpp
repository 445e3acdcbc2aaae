#include "ui/data_transfer.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "framework/wide_text.h"
#include "operations/operation_bodies.h"

namespace {

// The registered formats offered besides CF_HDROP.
struct TransferFormats {
    CLIPFORMAT preferredEffect = Registered(CFSTR_PREFERREDDROPEFFECT);
    // The shell's own list of items: Wine's Explorer takes nothing else.
    CLIPFORMAT shellIdList = Registered(CFSTR_SHELLIDLIST);
    // The files one by one, with their paths below the names offered, and each one's bytes: for
    // targets that take contents rather than names (mail programs, for one).
    CLIPFORMAT descriptor = Registered(CFSTR_FILEDESCRIPTORW);
    CLIPFORMAT contents = Registered(CFSTR_FILECONTENTS);

    static CLIPFORMAT Registered(const char* name) { return static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(name)); }
};

const TransferFormats& Formats()
{
    static const TransferFormats formats;
    return formats;
}

bool AllExist(const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        if (::GetFileAttributesW(FileSystemPath(name).c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
    return true;
}

// A DROPFILES block with the names in UTF-16, as the shell reads it.
HGLOBAL MakeDropFiles(const std::vector<std::string>& names)
{
    std::wstring list;
    for (const std::string& name : names)
        list += WideText(name) + L'\0';
    list += L'\0';
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    if (!block)
        return nullptr;
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, list.data(), list.size() * sizeof(wchar_t));
    ::GlobalUnlock(block);
    return block;
}

// The shell's item for a path: read from the disk when it is there (a folder must say it is one,
// or the shell cannot enter it), made from the path alone before the files exist.
PIDLIST_ABSOLUTE ItemFor(const std::string& path)
{
    std::wstring wide = WideText(path.size() == 2 ? path + "\\" : path);
    PIDLIST_ABSOLUTE item = ::ILCreateFromPathW(wide.c_str());
    return item ? item : ::SHSimpleIDListFromPath(wide.c_str());
}

// A CIDA: the folder of the names, then each name's item below it.
HGLOBAL MakeIdList(const std::vector<std::string>& names)
{
    if (names.empty())
        return nullptr;
    PIDLIST_ABSOLUTE parent = ItemFor(names.front().substr(0, names.front().rfind('\\')));
    if (!parent)
        return nullptr;
    std::vector<PIDLIST_ABSOLUTE> items;
    for (const std::string& name : names)
        if (PIDLIST_ABSOLUTE item = ItemFor(name))
            items.push_back(item);
    std::vector<UINT> offsets;
    std::string bytes;
    auto append = [&](const void* data, UINT size) {
        offsets.push_back(static_cast<UINT>(bytes.size()));
        bytes.append(static_cast<const char*>(data), size);
    };
    append(parent, ::ILGetSize(parent));
    for (PIDLIST_ABSOLUTE item : items) {
        PCUITEMID_CHILD last = ::ILFindLastID(item);
        append(last, ::ILGetSize(last));
    }
    size_t header = sizeof(UINT) * (1 + offsets.size());
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, header + bytes.size());
    if (block) {
        auto* ida = static_cast<UINT*>(::GlobalLock(block));
        ida[0] = static_cast<UINT>(items.size());
        for (size_t i = 0; i < offsets.size(); ++i)
            ida[1 + i] = static_cast<UINT>(header + offsets[i]);
        memcpy(reinterpret_cast<char*>(ida) + header, bytes.data(), bytes.size());
        ::GlobalUnlock(block);
    }
    for (PIDLIST_ABSOLUTE item : items)
        ::ILFree(item);
    ::ILFree(parent);
    return block;
}

// A file or folder below the offered names: its path there and on disk.
struct OfferedItem {
    std::string relative;
    std::string path;
    WIN32_FILE_ATTRIBUTE_DATA data{};
};

void CollectItems(const std::string& relative, const std::string& path, bool descend, std::vector<OfferedItem>& items)
{
    OfferedItem item{relative, path, {}};
    if (!::GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &item.data))
        return;
    bool folder = (item.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    items.push_back(item);
    if (!folder || !descend)
        return;
    std::vector<FoundName> names;
    ListFolderNames(path, names);
    for (const FoundName& found : names)
        if (!found.link)
            CollectItems(relative + "\\" + found.name, path + "\\" + found.name, true, items);
}

HGLOBAL MakeDescriptors(const std::vector<OfferedItem>& items)
{
    size_t size = sizeof(FILEGROUPDESCRIPTORW) + (items.empty() ? 0 : items.size() - 1) * sizeof(FILEDESCRIPTORW);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block)
        return nullptr;
    auto* group = static_cast<FILEGROUPDESCRIPTORW*>(::GlobalLock(block));
    group->cItems = static_cast<UINT>(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        FILEDESCRIPTORW& d = group->fgd[i];
        d.dwFlags = FD_ATTRIBUTES | FD_FILESIZE | FD_WRITESTIME | FD_PROGRESSUI | FD_UNICODE;
        d.dwFileAttributes = items[i].data.dwFileAttributes;
        d.nFileSizeHigh = items[i].data.nFileSizeHigh;
        d.nFileSizeLow = items[i].data.nFileSizeLow;
        d.ftLastWriteTime = items[i].data.ftLastWriteTime;
        lstrcpynW(d.cFileName, WideText(items[i].relative).c_str(), MAX_PATH);
    }
    ::GlobalUnlock(block);
    return block;
}

HGLOBAL MakeEffect(DWORD effect)
{
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    if (block) {
        *static_cast<DWORD*>(::GlobalLock(block)) = effect;
        ::GlobalUnlock(block);
    }
    return block;
}

// IUnknown for an object of one interface, deleted with its last reference.
template <typename Interface, const IID& InterfaceId>
class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == InterfaceId) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --references_;
        if (left == 0) {
            Gone();
            delete this;
        }
        return left;
    }

protected:
    virtual ~ComObject() = default;
    // Just before the object is deleted.
    virtual void Gone() {}

private:
    ULONG references_ = 1;
};

// The files as names (CF_HDROP, the shell's item list) and as contents (descriptors, streams);
// files of an archive are extracted when a target takes them.
class FileDataObject final : public ComObject<IDataObject, IID_IDataObject> {
public:
    explicit FileDataObject(FileOffer offer) : offer_(std::move(offer)) {}

    std::weak_ptr<void> Alive() const { return alive_; }
    // A drag: until it is dropped, a target that looks at the names gets them unextracted.
    void BeginDrag() { dragging_ = true; }
    void Dropped() { dropped_ = true; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!format || !medium)
            return E_INVALIDARG;
        HRESULT known = QueryGetData(format);
        if (known != S_OK)
            return known;
        HGLOBAL block = nullptr;
        bool taken = !dragging_ || dropped_;
        if (format->cfFormat == Formats().preferredEffect) {
            block = MakeEffect(DROPEFFECT_COPY);
        } else if (format->cfFormat == Formats().descriptor || format->cfFormat == Formats().contents) {
            // Before a drop the names alone; after it, every file below them, read from the disk.
            if (taken && !Render())
                return E_UNEXPECTED;
            std::vector<OfferedItem> items;
            for (const std::string& name : offer_.names)
                CollectItems(name.substr(name.rfind('\\') + 1), name, taken, items);
            if (format->cfFormat == Formats().descriptor) {
                block = MakeDescriptors(items);
            } else {
                if (!taken || format->lindex < 0 || format->lindex >= (LONG)items.size() ||
                    (items[format->lindex].data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    return DV_E_LINDEX;
                IStream* stream = nullptr;
                HRESULT opened = ::SHCreateStreamOnFileEx(FileSystemPath(items[format->lindex].path).c_str(),
                                                          STGM_READ | STGM_SHARE_DENY_WRITE, 0, FALSE, nullptr, &stream);
                if (FAILED(opened))
                    return opened;
                medium->tymed = TYMED_ISTREAM;
                medium->pstm = stream;
                medium->pUnkForRelease = nullptr;
                return S_OK;
            }
        } else {
            // A target looking at them during a drag gets the names alone.
            if (taken && !Render())
                return E_UNEXPECTED;
            block = format->cfFormat == CF_HDROP ? MakeDropFiles(offer_.names) : MakeIdList(offer_.names);
        }
        if (!block)
            return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        if (!format)
            return E_INVALIDARG;
        if (format->cfFormat == Formats().contents)
            return (format->tymed & TYMED_ISTREAM) ? S_OK : DV_E_TYMED;
        if (format->cfFormat != CF_HDROP && format->cfFormat != Formats().shellIdList &&
            format->cfFormat != Formats().preferredEffect && format->cfFormat != Formats().descriptor)
            return DV_E_FORMATETC;
        if (!(format->tymed & TYMED_HGLOBAL))
            return DV_E_TYMED;
        return format->dwAspect == DVASPECT_CONTENT ? S_OK : DV_E_DVASPECT;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM* medium, BOOL release) override
    {
        // What the target reports back (the effect it performed, a paste done) needs no answer:
        // the files are the target's copies either way.
        if (medium && release)
            ::ReleaseStgMedium(medium);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC formats[5] = {
            {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
            {Formats().shellIdList, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
            {Formats().descriptor, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
            {Formats().contents, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM},
            {Formats().preferredEffect, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
        };
        return ::SHCreateStdEnumFmtEtc(5, formats, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    // The files of an archive made when a target takes them, and again when one moved them away.
    bool Render()
    {
        if (offer_.render && (!rendered_ || !AllExist(offer_.names))) {
            if (!offer_.render() || !AllExist(offer_.names))
                return false;
            rendered_ = true;
        }
        return true;
    }

    void Gone() override
    {
        alive_.reset();
        if (offer_.released)
            offer_.released();
    }

    FileOffer offer_;
    bool rendered_ = false;
    bool dragging_ = false;
    bool dropped_ = false;
    std::shared_ptr<void> alive_ = std::make_shared<int>(0);
};

class DropSource final : public ComObject<IDropSource, IID_IDropSource> {
public:
    explicit DropSource(FileDataObject& data) : data_(data) {}
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        if (escape)
            return DRAGDROP_S_CANCEL;
        if (keys & (MK_LBUTTON | MK_RBUTTON))
            return S_OK;
        // Released over a window of this program: nothing happens (and nothing is extracted).
        POINT at{};
        ::GetCursorPos(&at);
        DWORD process = 0;
        HWND window = ::WindowFromPoint(at);
        if (window && ::GetWindowThreadProcessId(window, &process) && process == ::GetCurrentProcessId())
            return DRAGDROP_S_CANCEL;
        data_.Dropped();
        return DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    FileDataObject& data_;
};

} // namespace

DWORD DragOut(FileOffer offer)
{
    DWORD allowed = offer.allowedEffects;
    auto* data = new FileDataObject(std::move(offer));
    data->BeginDrag();
    auto* source = new DropSource(*data);
    DWORD effect = DROPEFFECT_NONE;
    HRESULT result = ::DoDragDrop(data, source, allowed, &effect);
    source->Release();
    data->Release();
    return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

ClipboardOffer::~ClipboardOffer()
{
    Forget();
}

bool ClipboardOffer::Put(FileOffer offer, bool archiveFiles)
{
    auto* data = new FileDataObject(std::move(offer));
    HRESULT result = ::OleSetClipboard(data);
    Forget();
    if (SUCCEEDED(result)) {
        object_ = data;
        alive_ = data->Alive();
        archiveFiles_ = archiveFiles;
    }
    // The clipboard holds it now (or no one does, and it goes).
    data->Release();
    return SUCCEEDED(result);
}

bool ClipboardOffer::OnClipboard() const
{
    return object_ && !alive_.expired() && ::OleIsCurrentClipboard(object_) == S_OK;
}

void ClipboardOffer::Withdraw()
{
    if (OnClipboard())
        ::OleSetClipboard(nullptr);
    Forget();
}

void ClipboardOffer::AtExit()
{
    if (OnClipboard()) {
        if (archiveFiles_)
            ::OleSetClipboard(nullptr);
        else
            ::OleFlushClipboard();
    }
    Forget();
}

void ClipboardOffer::Forget()
{
    object_ = nullptr;
    alive_.reset();
}

std::vector<std::string> ClipboardFileNames(bool* cut)
{
    std::vector<std::string> names;
    if (cut)
        *cut = false;
    // Another program may hold the clipboard open a moment.
    bool open = false;
    for (int attempt = 0; attempt < 20 && !(open = ::OpenClipboard(nullptr)); ++attempt)
        ::Sleep(25);
    if (!open)
        return names;
    if (auto drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP))) {
        UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring name(::DragQueryFileW(drop, i, nullptr, 0), L'\0');
            if (name.empty())
                continue;
            name.resize(::DragQueryFileW(drop, i, name.data(), (UINT)name.size() + 1));
            names.push_back(Utf8Name(name.c_str(), (int)name.size()));
        }
    }
    // The shell marks files cut with a preferred effect of moving alone.
    if (cut && !names.empty()) {
        if (HGLOBAL effect = ::GetClipboardData(Formats().preferredEffect)) {
            if (auto* value = static_cast<const DWORD*>(::GlobalLock(effect))) {
                *cut = (*value & DROPEFFECT_MOVE) && !(*value & DROPEFFECT_COPY);
                ::GlobalUnlock(effect);
            }
        }
    }
    ::CloseClipboard();
    return names;
}

void EmptyTheClipboard()
{
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
}

bool ClipboardHoldsFiles()
{
    return ::IsClipboardFormatAvailable(CF_HDROP) != FALSE;
}

bool CopyFilesInto(HWND owner, const std::vector<std::string>& names, const std::string& folder, bool renameOnCollision,
                   bool move)
{
    std::wstring from;
    for (const std::string& name : names)
        from += WideText(name) + L'\0';
    from += L'\0';
    std::wstring to = WideText(folder.size() == 2 ? folder + "\\" : folder) + L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = move ? FO_MOVE : FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_NOCONFIRMMKDIR | (renameOnCollision ? FOF_RENAMEONCOLLISION : 0);
    return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}
