#include "platform/vcl/image_list.h"

int TImageList::Add(const QIcon& icon)
{
    icons_.push_back(icon);
    return Count() - 1;
}

QIcon TImageList::Icon(int index) const
{
    return index >= 0 && index < Count() ? icons_[static_cast<std::size_t>(index)] : QIcon();
}
