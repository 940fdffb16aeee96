#pragma once

// Where a group's caption stands under its icon: centred by halving both widths with integer
// division that truncates toward zero, three pixels below the icon; shifted right only as far as
// needed to begin at the board's left edge when its icon is on the board.
int CaptionLeft(int iconLeft, int iconWidth, int captionWidth);
int CaptionTop(int iconTop, int iconHeight);
