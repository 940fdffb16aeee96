#include "board/caption_placement.h"

int CaptionLeft(int iconLeft, int iconWidth, int captionWidth) {
    return iconLeft + iconWidth / 2 - captionWidth / 2;
}

int CaptionTop(int iconTop, int iconHeight) {
    return iconTop + iconHeight + 3;
}
