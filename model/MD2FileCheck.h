#pragma once
// Checks of an MD2 file's header and triangles against the file, made before anything is
// allocated or read, so that a damaged file is refused instead of read past its end.

#include <cstdint>
#include <string>
#include <vector>

#include "model/MD2File.h"

struct MD2BlockRead {
    std::int64_t offset = 0;
    std::int64_t length = 0; // bytes to read: the block's length, at most the array's size
};

struct MD2FileLayout {
    MD2BlockRead texCoords;
    MD2BlockRead triangles;
    std::int64_t frameBytes = 0; // one stored frame
};

// Empty when the header describes arrays that a file of `fileSize` bytes can hold and blocks that
// lie inside it; otherwise the problem in words. Fills `layout` on success.
std::string CheckMD2Header(const MD2Header& header, std::int64_t fileSize, MD2FileLayout& layout);

// Empty when every triangle's vertex and texture-coordinate indices lie inside their arrays.
std::string CheckMD2Triangles(const std::vector<MD2Triangle>& triangles, std::int32_t vertexCount,
                              std::int32_t texCoordCount);

// The memory the expanded frames take, in bytes.
std::uint64_t MD2ExpandedBytes(std::int32_t frameCount, std::int32_t triangleCount);
