#pragma once
// Checks of an MD2 file's header and triangles against the file, made before anything is
// allocated or read, so that a damaged file is refused instead of read past its end.

#include <cstdint>
#include <string>
#include <string_view>
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

// The most a model's frames may take: 1 GiB (the largest real models need about 260 MB), or the
// memory the machine has available now if that is less.
#ifdef LUMIVOX_FUZZING
constexpr std::uint64_t kMD2MemoryCap = std::uint64_t{64} << 20;
#else
constexpr std::uint64_t kMD2MemoryCap = std::uint64_t{1} << 30;
#endif
std::uint64_t MD2MemoryLimit();

// The "MemAvailable" figure of a /proc/meminfo text, in bytes; 0 when it is missing.
std::uint64_t MemAvailableFromMeminfo(std::string_view text);

// Empty when the frames (each a record of `frameRecordBytes` and its expanded vertices) fit in
// `limit` bytes; otherwise the problem in words, naming the memory needed.
std::string CheckMD2Memory(const MD2Header& header, std::uint64_t frameRecordBytes, std::uint64_t limit);
