#include "model/MD2FileCheck.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

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
        {"vertex", h.numVertices, sizeof(MD2PackedVertex)},
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

std::uint64_t Megabytes(std::uint64_t bytes) {
    return (bytes + (1u << 20) - 1) >> 20;
}

} // namespace

std::uint64_t MD2ExpandedBytes(std::int32_t frameCount, std::int32_t triangleCount) {
    return static_cast<std::uint64_t>(std::max(frameCount, 0)) *
           static_cast<std::uint64_t>(std::max(triangleCount, 0)) * 3 * sizeof(ModelVertex);
}

std::uint64_t MemAvailableFromMeminfo(std::string_view text) {
    constexpr std::string_view key = "MemAvailable:";
    const std::size_t at = text.find(key);
    if (at == std::string_view::npos)
        return 0;
    std::uint64_t kilobytes = 0;
    const char* first = text.data() + at + key.size();
    const char* last = text.data() + text.size();
    while (first < last && (*first == ' ' || *first == '\t'))
        ++first;
    if (std::from_chars(first, last, kilobytes).ec != std::errc())
        return 0;
    return kilobytes << 10;
}

std::uint64_t MD2MemoryLimit() {
    std::uint64_t limit = kMD2MemoryCap;
    if (std::FILE* meminfo = std::fopen("/proc/meminfo", "rb")) {
        char text[8192];
        const std::size_t length = std::fread(text, 1, sizeof text, meminfo);
        std::fclose(meminfo);
        const std::uint64_t available = MemAvailableFromMeminfo(std::string_view(text, length));
        if (available != 0)
            limit = std::min(limit, available);
    }
    return limit;
}

std::string CheckMD2Memory(const MD2Header& h, std::uint64_t frameRecordBytes, std::uint64_t limit) {
    const std::uint64_t frames = static_cast<std::uint64_t>(std::max(h.numFrames, 0));
    const std::uint64_t need = MD2ExpandedBytes(h.numFrames, h.numTriangles) + frames * frameRecordBytes;
    if (need <= limit)
        return {};
    char text[256];
    std::snprintf(
        text, sizeof text,
        "The model is too large: %d frames of %d triangles need %llu MB, more than the %llu MB that "
        "may be used now",
        h.numFrames, h.numTriangles, static_cast<unsigned long long>(Megabytes(need)),
        static_cast<unsigned long long>(limit >> 20));
    return text;
}

std::string CheckMD2Header(const MD2Header& h, std::int64_t fileSize, MD2FileLayout& layout) {
    std::string problem = CheckCounts(h, fileSize);
    if (problem.empty())
        problem = CheckBlock("texture coordinate", h.offsetTexCoords, h.offsetTriangles,
                             std::int64_t{h.numTexCoords} * 4, fileSize, layout.texCoords);
    if (problem.empty())
        problem = CheckBlock("triangle", h.offsetTriangles, h.offsetFrames, std::int64_t{h.numTriangles} * 12,
                             fileSize, layout.triangles);
    layout.frameBytes =
        static_cast<std::int64_t>(MD2FrameBytes(static_cast<std::size_t>(std::max(h.numVertices, 0))));
    if (problem.empty())
        problem = CheckFrames(h, fileSize, layout.frameBytes);
    return problem;
}

std::string CheckMD2Triangles(const std::vector<MD2Triangle>& triangles, std::int32_t vertexCount,
                              std::int32_t texCoordCount) {
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        for (int k = 0; k < 3; ++k) {
            if (triangles[t].vertexIndex[k] >= vertexCount)
                return Format("triangle %zu uses vertex %u of %d", t, unsigned{triangles[t].vertexIndex[k]},
                              vertexCount);
            if (triangles[t].texCoordIndex[k] >= texCoordCount)
                return Format("triangle %zu uses texture coordinate %u of %d", t,
                              unsigned{triangles[t].texCoordIndex[k]}, texCoordCount);
        }
    }
    return {};
}
