#pragma once

// Where a group's caption stands under its icon: centred by halving both widths with integer
// division that truncates toward zero, three pixels below the icon.
int CaptionLeft(int iconLeft, int iconWidth, int captionWidth);
int CaptionTop(int iconTop, int iconHeight);
