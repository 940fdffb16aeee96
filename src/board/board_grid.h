#pragma once

// The grid "グループ位置整理" arranges the icons on: 64-pixel cells, filled row by row, each icon
// 16 pixels in from its cell's left edge and at its top.
struct GridCell {
    int left;
    int top;
};

// One column more than the whole cells that fit in the client width.
int GridColumns(int clientWidth);
// Where the icon placed `index`-th (from 0) stands.
GridCell GridCellOf(int index, int columns);
