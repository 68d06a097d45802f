#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "gfxutil/math/D3DXMath.h"
#include "model/MD2FileCheck.h"
#include "model/MD2Model.h"
#include "model/MD2Normals.h"
#include "platform/os/FileSource.h"
#include "platform/os/MessageBox.h"

namespace {

struct FileCloser {
    std::FILE* file;
    ~FileCloser() { std::fclose(file); }
};

struct StoredFrameHeader {
    float scale[3];
    float translate[3];
    char name[MD2_FRAME_NAME_SIZE];
};
static_assert(sizeof(StoredFrameHeader) == MD2_FRAME_HEADER_SIZE);

// MD2 files are little-endian; on a big-endian machine every 16- and 32-bit field is swapped.
template <typename T> void FromLittleEndian(T* values, std::size_t count) {
    if constexpr (std::endian::native == std::endian::big) {
        for (std::size_t i = 0; i < count; ++i) {
            auto* bytes = reinterpret_cast<unsigned char*>(&values[i]);
            std::reverse(bytes, bytes + sizeof(T));
        }
    }
}

HRESULT Refuse(const std::string& problem) {
    MessageBoxA(nullptr, problem.c_str(), "Loading_error", MB_OK);
    return E_FAIL;
}

// Reads `length` bytes at `offset` into `array`, whose remaining bytes stay zero.
template <typename T>
bool ReadBlock(std::FILE* file, const MD2BlockRead& block, std::int32_t count, std::vector<T>& array) {
    array.assign(static_cast<std::size_t>(count), T{});
    if (block.length == 0)
        return true;
    if (std::fseek(file, static_cast<long>(block.offset), SEEK_SET) != 0)
        return false;
    const auto length = static_cast<std::size_t>(block.length);
    if (std::fread(array.data(), 1, length, file) != length)
        return false;
    FromLittleEndian(reinterpret_cast<std::uint16_t*>(array.data()), array.size() * sizeof(T) / 2);
    return true;
}

} // namespace

HRESULT MD2Model::ReadFile() {
    ClearModelData();
    FileBytes bytes;
    std::string problem;
    const FileStatus status = ReadFileBytes(md2Path, bytes, problem);
    if (status == FileStatus::Damaged)
        return Refuse(problem);
    if (status == FileStatus::Missing) {
        MessageBoxA(nullptr, "Could not find Load_MD2_File", "Loading_error", MB_OK);
        return E_FAIL;
    }
    // The file is read as a stream over its bytes, which may come from inside an archive. An
    // empty file has neither magic nor version.
    if (bytes.size() == 0)
        return E_FAIL;
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    if (!file)
        return E_FAIL;
    FileCloser closer{file};

    MD2Header h{};
    const std::size_t headerRead = std::fread(&h, 1, sizeof h, file);
    FromLittleEndian(reinterpret_cast<std::int32_t*>(&h), sizeof h / 4);
    if (h.magic != MD2_MAGIC || h.version != MD2_VERSION)
        return E_FAIL;
    if (headerRead != sizeof h)
        return Refuse("Invalid MD2 file: the header is cut short (" + std::to_string(headerRead) +
                      " of 68 bytes)");

    const HRESULT result = ReadArrays(file, h, static_cast<std::int64_t>(bytes.size()));
    if (FAILED(result))
        return result;
    header = h;
    triangleCount = h.numTriangles;
    return ReadFrames(file);
}

HRESULT MD2Model::ReadArrays(std::FILE* file, const MD2Header& h, std::int64_t fileSize) {
    MD2FileLayout layout;
    std::string problem = CheckMD2Header(h, fileSize, layout);
    if (problem.empty())
        problem = CheckMD2Memory(h, sizeof(FrameRecord), MD2MemoryLimit());
    if (!problem.empty())
        return Refuse(problem);
    if (!ReadBlock(file, layout.texCoords, h.numTexCoords, texCoords) ||
        !ReadBlock(file, layout.triangles, h.numTriangles, triangles)) {
        FreeArrays();
        return Refuse("Invalid MD2 file: the texture coordinates or triangles cannot be read");
    }
    problem = CheckMD2Triangles(triangles, h.numVertices, h.numTexCoords);
    if (!problem.empty()) {
        FreeArrays();
        return Refuse(problem);
    }
    return S_OK;
}

HRESULT MD2Model::ReadFrames(std::FILE* file) {
    frames.resize(static_cast<std::size_t>(header.numFrames));
    if (header.numFrames > 0)
        packedScratch.resize(static_cast<std::size_t>(header.numVertices));
    blockCount = 1;
    std::fseek(file, header.offsetFrames, SEEK_SET);
    for (int i = 0; i < header.numFrames; ++i) {
        frames[static_cast<std::size_t>(i)].index = i;
        if (ReadFrame(i, file) == 0) {
            FreeArrays();
            return Refuse("Invalid MD2 file: frame " + std::to_string(i) + " cannot be read");
        }
    }
    std::vector<MD2PackedVertex>().swap(packedScratch);
    blendScratch.resize(static_cast<std::size_t>(header.numTriangles) * 3);
    BuildBlockStarts();
    return S_OK;
}

int MD2Model::ReadFrame(int frameIndex, std::FILE* file) {
    if (!file || frameIndex < 0 || frameIndex >= FrameCount())
        return 0;
    StoredFrameHeader stored;
    const std::size_t packedBytes = packedScratch.size() * sizeof(MD2PackedVertex);
    if (std::fread(&stored, sizeof stored, 1, file) != 1 ||
        std::fread(packedScratch.data(), 1, packedBytes, file) != packedBytes)
        return 0;
    FromLittleEndian(reinterpret_cast<std::uint32_t*>(&stored), 6);

    FrameRecord& frame = frames[static_cast<std::size_t>(frameIndex)];
    std::memcpy(frame.name, stored.name, MD2_FRAME_NAME_SIZE);
    char blockName[MD2_FRAME_NAME_SIZE + 1] = {};
    const std::size_t nameLength = strnlen(frame.name, MD2_FRAME_NAME_SIZE);
    if (nameLength > 2)
        std::memcpy(blockName, frame.name, nameLength - 2);
    LinkFrame(frameIndex, blockName);
    ExpandFrame(frame, stored.scale, stored.translate);
    return blockCount;
}

void MD2Model::LinkFrame(int i, const char* blockName) {
    if (i == 0) {
        openBlock.first = 0;
        std::strcpy(openBlock.name, blockName);
    }
    auto& first = frames[static_cast<std::size_t>(openBlock.first)];
    if (i == FrameCount() - 1) {
        frames[static_cast<std::size_t>(i)].link = openBlock.first;
        first.link = i;
    } else if (std::strcmp(blockName, openBlock.name) != 0) {
        frames[static_cast<std::size_t>(i - 1)].link = openBlock.first;
        first.link = i - 1;
        ++blockCount;
        openBlock.first = i;
        std::strcpy(openBlock.name, blockName);
    } else {
        frames[static_cast<std::size_t>(i)].link = i + 1;
    }
}

void MD2Model::ExpandFrame(FrameRecord& frame, const float scale[3], const float translate[3]) {
    // Every vertex of a frame shares the frame's scale, so each table normal is scaled and
    // normalised once per frame. Indices above the table get the up direction.
    D3DXVECTOR3 normals[MD2_NORMAL_COUNT + 1];
    for (int n = 0; n <= MD2_NORMAL_COUNT; ++n) {
        const float* table = n < MD2_NORMAL_COUNT ? MD2Normals[n] : nullptr;
        const D3DXVECTOR3 scaled =
            table ? D3DXVECTOR3(scale[0] * table[0], scale[1] * table[1], scale[2] * table[2])
                  : D3DXVECTOR3(0.0f, 0.0f, scale[2]);
        D3DXVec3Normalize(&normals[n], &scaled);
    }

    const std::size_t cornerCount = triangles.size() * 3;
    frame.vertices = std::make_unique_for_overwrite<ModelVertex[]>(cornerCount);
    const float skinWidth = static_cast<float>(header.skinWidth);
    const float skinHeight = static_cast<float>(header.skinHeight);
    float lowest = offsetY;
    ModelVertex* out = frame.vertices.get();
    for (const MD2Triangle& triangle : triangles) {
        for (int k = 0; k < 3; ++k, ++out) {
            const MD2PackedVertex& p = packedScratch[triangle.vertexIndex[k]];
            const MD2TexCoord& c = texCoords[triangle.texCoordIndex[k]];
            const D3DXVECTOR3& n = normals[std::min<int>(p.normalIndex, MD2_NORMAL_COUNT)];
            out->x = p.position[0] * scale[0] + translate[0];
            out->y = p.position[1] * scale[1] + translate[1];
            out->z = p.position[2] * scale[2] + translate[2];
            out->nx = n.x;
            out->ny = n.y;
            out->nz = n.z;
            out->u = static_cast<float>(c.s) / skinWidth;
            out->v = static_cast<float>(c.t) / skinHeight;
            out->shade = 0.0f;
            lowest = std::min(lowest, out->z);
        }
    }
    offsetY = lowest;
}

void MD2Model::BuildBlockStarts() {
    blockStarts.clear();
    blockStarts.reserve(static_cast<std::size_t>(blockCount));
    for (const FrameRecord& frame : frames) {
        if (frame.link <= frame.index && blockStarts.size() < static_cast<std::size_t>(blockCount))
            blockStarts.push_back(frame.link);
    }
}
