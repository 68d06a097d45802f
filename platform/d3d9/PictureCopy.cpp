#include "platform/d3d9/PictureCopy.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kBlock = 8;    // pixels compared at a time
constexpr int kRectRows = 8; // rows merged into one rectangle

bool BlockDiffers(const BYTE* a, const BYTE* b) {
    std::uint64_t x[kBlock / 2], y[kBlock / 2];
    std::memcpy(x, a, sizeof x);
    std::memcpy(y, b, sizeof y);
    std::uint64_t d = 0;
    for (int i = 0; i < kBlock / 2; ++i)
        d |= x[i] ^ y[i];
    return d != 0;
}

} // namespace

void CopyChangedRows(const RowCopy& c, int top, int bottom) {
    const int width = c.rowBytes / 4;
    for (int y = top; y < bottom; ++y) {
        const BYTE* from = c.source + size_t(y) * c.sourcePitch;
        BYTE* to = c.target + size_t(y) * c.targetPitch;
        int first = width, end = 0, x = 0;
        for (; x + kBlock <= width; x += kBlock) {
            if (BlockDiffers(from + size_t(x) * 4, to + size_t(x) * 4)) {
                first = std::min(first, x);
                end = x + kBlock;
            }
        }
        for (; x < width; ++x) {
            if (std::memcmp(from + size_t(x) * 4, to + size_t(x) * 4, 4) != 0) {
                first = std::min(first, x);
                end = x + 1;
            }
        }
        if (first < end)
            std::memcpy(to + size_t(first) * 4, from + size_t(first) * 4, size_t(end - first) * 4);
        else
            first = end = 0;
        c.changedFirst[y] = first;
        c.changedEnd[y] = end;
    }
}

void ChangedRects(const RowCopy& c, std::vector<RECT>& rects) {
    rects.clear();
    for (int top = 0; top < c.rows; top += kRectRows) {
        const int bottom = std::min(c.rows, top + kRectRows);
        int left = c.rowBytes / 4, right = 0;
        for (int y = top; y < bottom; ++y) {
            if (c.changedFirst[y] == c.changedEnd[y])
                continue;
            left = std::min(left, c.changedFirst[y]);
            right = std::max(right, c.changedEnd[y]);
        }
        if (left < right)
            rects.push_back({left, top, right, bottom});
    }
}
