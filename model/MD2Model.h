#pragma once
// The one loaded model: the data read from its MD2 file, expanded per frame into ready-to-draw
// vertices, its animation blocks, its two textures and its animation state.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "model/LineVertex.h"
#include "model/MD2File.h"
#include "model/ModelVertex.h"
#include "platform/os/WinTypes.h"
#include "state/ModelFile.h"

struct IDirect3DDevice9;
struct IDirect3DTexture9;

enum AnimationMode : std::int32_t {
    ANIMATION_STOPPED = 0,
    ANIMATION_PLAY_FORWARD = 1,
    ANIMATION_STEP_BACKWARD = 3,
    ANIMATION_PLAY_BACKWARD = 4,
    ANIMATION_STEP_FORWARD = 5,
    ANIMATION_PLAY_FORWARD_BUTTON = 6,
};

constexpr int MD2_PATH_SIZE = 256;
constexpr int FRAME_RECORD_NAME_SIZE = 256;
constexpr DWORD NORMAL_LINE_COLOR = 0xFFFBAF5D;

struct FrameRecord {
    std::int32_t index = 0;
    // Inside a block: the next frame. Last frame of a block: its first frame. First frame of a
    // block of two or more: its last frame. A one-frame block links to itself.
    std::int32_t link = 0;
    char name[FRAME_RECORD_NAME_SIZE] = {};
    std::unique_ptr<ModelVertex[]> vertices; // triangle count x 3 corners
};

class MD2Model {
public:
    MD2Model();
    MD2Model(const MD2Model&) = delete;
    MD2Model& operator=(const MD2Model&) = delete;
    ~MD2Model();

    HRESULT Load(IDirect3DDevice9* device, const ModelFile& parameters);
    HRESULT LoadTextures();
    HRESULT ReadFile();
    int ReadFrame(int frameIndex, std::FILE* file);
    // Puts the name of frame `index` into `name` (at most 16 characters and a NUL) and replaces
    // `index` with that frame's link. An index outside the frames gives an empty name and keeps
    // the index.
    void FrameName(char* name, int& index) const;
    void Release();

    // Draws the current frame and steps the animation when a step is due at `timeMs`.
    int Animate(float timeMs);
    // Draws the current frame; with smooth motion on, part of the way to the frame the next step
    // will show.
    void Draw();
    void DrawFrame(int frameIndex);

    int FrameCount() const { return static_cast<int>(frames.size()); }

    char md2Path[MD2_PATH_SIZE];
    char texturePath[MD2_PATH_SIZE];
    char cartoonPath[MD2_PATH_SIZE];
    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* skinTexture = nullptr;
    IDirect3DTexture9* cartoonTexture = nullptr;
    MD2Header header{};
    std::vector<MD2TexCoord> texCoords;
    std::vector<MD2Triangle> triangles;
    std::vector<FrameRecord> frames;
    LineVertex normalLines[6];
    float offsetY = 9999.0f;
    std::int32_t triangleCount = 0;
    std::int32_t blockCount = 0;
    std::vector<std::int32_t> blockStarts;
    std::int32_t selectedBlock = 0;
    std::int32_t currentFrame = 0;
    std::int32_t animationMode = ANIMATION_PLAY_FORWARD;

private:
    struct OpenBlock {
        int first = 0;
        char name[MD2_FRAME_NAME_SIZE + 1] = {};
    };

    HRESULT ReadArrays(std::FILE* file, const MD2Header& h, std::int64_t fileSize);
    HRESULT ReadFrames(std::FILE* file);
    void LinkFrame(int frameIndex, const char* blockName);
    void ExpandFrame(FrameRecord& frame, const float scale[3], const float translate[3]);
    void BuildBlockStarts();
    void FreeArrays();
    void ClearModelData();
    void ReleaseTextures();
    // The frame slider or a new model may leave any number here; only stored frames are drawn.
    void KeepCurrentFrameInside();
    void StepForward();
    void StepBackward();
    int FrameAfter(int frame) const;
    int FrameBefore(int frame) const;
    // The frame the next due step will show while the model plays, or -1 while it does not.
    int UpcomingFrame() const;
    // The vertices to draw between the current and the upcoming frame at the picture's time, or
    // null when the current frame is drawn as it is stored.
    const ModelVertex* BlendedFrame();
    void DrawVertices(const ModelVertex* stored);

    OpenBlock openBlock;
    std::vector<MD2PackedVertex> packedScratch;
    // One frame's worth of drawn corners for smooth motion, sized at load so that no picture
    // allocates.
    std::vector<ModelVertex> blendScratch;
};
