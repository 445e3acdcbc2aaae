// Owner of an image list (destroyed with it); move-only.
#pragma once

#include <windows.h>
#include <commctrl.h>

class ImageList {
public:
    ImageList() = default;
    explicit ImageList(HIMAGELIST list) : list_(list) {}
    ~ImageList() { Destroy(); }
    ImageList(ImageList&& other) noexcept : list_(other.Detach()) {}
    ImageList& operator=(ImageList&& other) noexcept;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    // flags: ILC_COLOR8 | ILC_MASK and the like.
    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    // Appends an icon; its index, -1 on failure. The icon stays the caller's.
    int AddIcon(HICON icon) const { return ImageList_ReplaceIcon(list_, -1, icon); }
    HIMAGELIST Handle() const { return list_; }
    explicit operator bool() const { return list_ != nullptr; }
    void Destroy();
    HIMAGELIST Detach() { HIMAGELIST l = list_; list_ = nullptr; return l; }

private:
    HIMAGELIST list_ = nullptr;
};
