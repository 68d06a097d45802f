#include "model/MD2Model.h"

#include <cstring>

#include "platform/d3d9/Direct3D9.h"

MD2Model::MD2Model() {
    std::memset(md2Path, 0, sizeof md2Path);
    std::memset(texturePath, 0, sizeof texturePath);
    std::memset(cartoonPath, 0, sizeof cartoonPath);
    for (LineVertex& v : normalLines)
        v = {0.0f, 0.0f, 0.0f, NORMAL_LINE_COLOR};
}

MD2Model::~MD2Model() {
    ReleaseTextures();
}

void MD2Model::FrameName(char* name, int& index) const {
    if (index < 0 || index >= FrameCount()) {
        name[0] = '\0';
        return;
    }
    const FrameRecord& frame = frames[static_cast<std::size_t>(index)];
    std::memcpy(name, frame.name, MD2_FRAME_NAME_SIZE);
    name[MD2_FRAME_NAME_SIZE] = '\0';
    index = frame.link;
}

void MD2Model::FreeArrays() {
    // Swapping with empty vectors gives the memory back, not just the elements.
    std::vector<MD2TexCoord>().swap(texCoords);
    std::vector<MD2Triangle>().swap(triangles);
    std::vector<FrameRecord>().swap(frames);
    std::vector<std::int32_t>().swap(blockStarts);
    std::vector<MD2PackedVertex>().swap(packedScratch);
    std::vector<ModelVertex>().swap(blendScratch);
}

void MD2Model::ReleaseTextures() {
    if (skinTexture) {
        skinTexture->Release();
        skinTexture = nullptr;
    }
    if (cartoonTexture) {
        cartoonTexture->Release();
        cartoonTexture = nullptr;
    }
}

// Everything read from a model file, so that a model object used again never mixes two files.
void MD2Model::ClearModelData() {
    FreeArrays();
    header = MD2Header{};
    offsetY = 9999.0f;
    triangleCount = 0;
    blockCount = 0;
    openBlock = OpenBlock{};
}

void MD2Model::Release() {
    ReleaseTextures();
    std::memset(md2Path, 0, sizeof md2Path);
    ClearModelData();
}
