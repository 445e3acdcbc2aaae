#include "framework/image_list.h"

ImageList& ImageList::operator=(ImageList&& other) noexcept
{
    if (this != &other) {
        Destroy();
        list_ = other.Detach();
    }
    return *this;
}

bool ImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    Destroy();
    list_ = ImageList_Create(cx, cy, flags, initial, grow);
    return list_ != nullptr;
}

void ImageList::Destroy()
{
    if (list_)
        ImageList_Destroy(list_);
    list_ = nullptr;
}
