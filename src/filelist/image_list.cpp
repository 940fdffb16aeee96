#include "filelist/image_list.h"

int ImageList::Add(const QIcon& icon) {
    images_.push_back(icon.pixmap(kImageSize));
    return Count() - 1;
}
