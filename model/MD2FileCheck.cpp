#include "model/MD2FileCheck.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

#include "model/ModelVertex.h"

namespace {

std::string Format(const char* format, auto... args) {
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    return std::string("Invalid MD2 file: ") + text;
}

std::string CheckCounts(const MD2Header& h, std::int64_t fileSize) {
    const struct {
        const char* what;
        std::int32_t count;
        std::int64_t recordBytes;
    } counts[] = {
        {"vertex", h.numVertices, h.numFrames > 0 ? std::int64_t{sizeof(MD2PackedVertex)} : 0},
        {"texture coordinate", h.numTexCoords, sizeof(MD2TexCoord)},
        {"triangle", h.numTriangles, sizeof(MD2Triangle)},
        {"frame", h.numFrames, MD2_FRAME_HEADER_SIZE},
    };
    for (const auto& c : counts) {
        if (c.count < 0)
            return Format("negative %s count %d", c.what, c.count);
        if (c.count * c.recordBytes > fileSize)
            return Format("%d %s records cannot fit in a file of %lld bytes", c.count, c.what,
                          static_cast<long long>(fileSize));
    }
    return {};
}

// The part of a block that is read into its array: never more than the array holds.
std::string CheckBlock(const char* what, std::int32_t start, std::int32_t end, std::int64_t arrayBytes,
                       std::int64_t fileSize, MD2BlockRead& read) {
    read = {start, 0};
    if (arrayBytes == 0)
        return {};
    if (end < start)
        return Format("the %s block ends at %d before it starts at %d", what, end, start);
    read.length = std::min<std::int64_t>(std::int64_t{end} - start, arrayBytes);
    if (start < 0 || start + read.length > fileSize)
        return Format("the %s block at %d runs past the end of the file (%lld bytes)", what, start,
                      static_cast<long long>(fileSize));
    return {};
}

std::string CheckFrames(const MD2Header& h, std::int64_t fileSize, std::int64_t frameBytes) {
    if (h.numFrames == 0)
        return {};
    const std::int64_t end = std::int64_t{h.offsetFrames} + h.numFrames * frameBytes;
    if (h.offsetFrames < 0 || end > fileSize)
        return Format("%d frames of %lld bytes at %d run past the end of the file (%lld bytes)", h.numFrames,
                      static_cast<long long>(frameBytes), h.offsetFrames, static_cast<long long>(fileSize));
    return {};
}

std::uint64_t MemoryLimit() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return std::uint64_t{4} << 30;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 2;
}

} // namespace

std::uint64_t MD2ExpandedBytes(std::int32_t frameCount, std::int32_t triangleCount) {
    return static_cast<std::uint64_t>(std::max(frameCount, 0)) * static_cast<std::uint64_t>(std::max(triangleCount, 0)) *
           3 * sizeof(ModelVertex);
}

std::string CheckMD2Header(const MD2Header& h, std::int64_t fileSize, MD2FileLayout& layout) {
    std::string problem = CheckCounts(h, fileSize);
    if (problem.empty())
        problem = CheckBlock("texture coordinate", h.offsetTexCoords, h.offsetTriangles,
                             std::int64_t{h.numTexCoords} * 4, fileSize, layout.texCoords);
    if (problem.empty())
        problem = CheckBlock("triangle", h.offsetTriangles, h.offsetFrames, std::int64_t{h.numTriangles} * 12,
                             fileSize, layout.triangles);
    layout.frameBytes = static_cast<std::int64_t>(MD2FrameBytes(static_cast<std::size_t>(std::max(h.numVertices, 0))));
    if (problem.empty())
        problem = CheckFrames(h, fileSize, layout.frameBytes);
    if (problem.empty() && MD2ExpandedBytes(h.numFrames, h.numTriangles) > MemoryLimit())
        problem = Format("%d frames of %d triangles need more memory than this machine has", h.numFrames,
                         h.numTriangles);
    return problem;
}

std::string CheckMD2Triangles(const std::vector<MD2Triangle>& triangles, std::int32_t vertexCount,
                              std::int32_t texCoordCount) {
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        for (int k = 0; k < 3; ++k) {
            if (triangles[t].vertexIndex[k] >= vertexCount)
                return Format("triangle %zu uses vertex %u of %d", t, unsigned{triangles[t].vertexIndex[k]}, vertexCount);
            if (triangles[t].texCoordIndex[k] >= texCoordCount)
                return Format("triangle %zu uses texture coordinate %u of %d", t,
                              unsigned{triangles[t].texCoordIndex[k]}, texCoordCount);
        }
    }
    return {};
}
