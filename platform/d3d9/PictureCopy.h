#pragma once
// The back buffer's rows copied into a window's picture once they are drawn. Only the pixels that
// differ from what the picture holds are written, and each row notes the part that changed, so the
// window repaints no more than that.

#include "platform/os/WinTypes.h"

#include <vector>

struct RowCopy {
    const BYTE* source = nullptr;
    int sourcePitch = 0;
    BYTE* target = nullptr;
    int targetPitch = 0;
    int rowBytes = 0; // four per pixel
    int rows = 0;
    // For each row, the changed pixels [changedFirst, changedEnd) (equal: none); `rows` entries.
    int* changedFirst = nullptr;
    int* changedEnd = nullptr;
};

// Copies the rows top .. bottom - 1.
void CopyChangedRows(const RowCopy& copy, int top, int bottom);

// The changed parts of every row, as rectangles of a few rows each, top to bottom.
void ChangedRects(const RowCopy& copy, std::vector<RECT>& rects);
