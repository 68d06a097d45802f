#pragma once
// Draw calls recorded for later, so that they can be drawn in parallel: the target's rows are cut
// into bands, each recorded primitive is filed under the bands it may touch, and each band then
// replays its primitives, in the order they were recorded, clipped to its rows. A pixel therefore
// sees the same operations in the same order as on a sequential device, and the picture is the
// same whatever the number of threads.
//
// Everything recorded between two flushes draws into the same colour and depth targets; the
// device flushes before anything reads or changes pixels that recorded draws use.

#include "platform/d3d9/PictureCopy.h"
#include "platform/d3d9/PixelPipeline.h"
#include "platform/d3d9/Surface.h"
#include "platform/d3d9/WorkerPool.h"

#include <cstdint>
#include <vector>

// A rectangle of a clear: the colour target and/or the depth-stencil buffer.
struct QueuedClear {
    PixelRect rect;
    Surface* color; // null: the colour is kept
    D3DCOLOR colorValue;
    Surface* depth; // null: depth and stencil are kept
    bool setDepth, setStencil;
    DWORD depthValue, stencil;
};

class DrawQueue {
public:
    DrawQueue() = default;
    DrawQueue(const DrawQueue&) = delete;
    DrawQueue& operator=(const DrawQueue&) = delete;

    bool Empty() const { return commands_.empty(); }
    // Recorded commands; the device flushes before the queue grows without bound.
    size_t Size() const { return commands_.size(); }

    // Begins a batch for a target of `rows` rows, cut into bands for `threads` threads.
    void Start(int rows, int threads);
    // The pixel setup used by the primitives recorded after this call (copied).
    void UseSetup(const PixelSetup& setup, SpanFunction span, const PixelRect& drawRect);
    void AddTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, int varyingCount);
    void AddLine(const ScreenVertex& a, const ScreenVertex& b, int varyingCount, bool lastPixel);
    void AddPoint(const ScreenVertex& p, int varyingCount);
    void AddClear(const QueuedClear& clear);

    // Draws everything recorded, band by band on the pool, then copies the rows of `copy` (may be
    // null) band by band; empties the queue. With nothing recorded only the copy runs.
    void Flush(WorkerPool& pool, const RowCopy* copy);
    // The same in two steps, so that the caller can go on while the pool's threads draw: Begin
    // starts the bands (copy: as for Flush, kept until End), End waits for them and empties the
    // queue. Nothing may be recorded in between.
    void Begin(WorkerPool& pool, const RowCopy* copy);
    void End(WorkerPool& pool);

    // Setups recorded since the last flush (for tests and measurements).
    int SetupCount() const { return setupCount_; }

private:
    enum class Kind : std::uint8_t { Triangle, Line, Point, Clear };
    struct Command {
        Kind kind;
        bool lastPixel;
        int setup;
        int varyingCount;
        std::uint32_t data; // first vertex in the vertex store, or the clear's index
    };
    struct Setup {
        PixelSetup pixels;
        SpanFunction span;
        PixelRect drawRect;
        float firstRow, lastRow; // the rows of the batch the draw rectangle covers
    };

    float* ReserveFloats(std::uint32_t floats);
    static float* StoreVertex(float* at, const ScreenVertex& v, int varyingCount);
    ScreenVertex LoadVertex(std::uint32_t at) const;
    void File(const Command& command, float top, float bottom);
    void DrawBand(int band) const;
    void CopyBand(int band) const;
    static void DrawBandTask(void* queue, int band);

    int rows_ = 0;
    int bandRows_ = 1;
    int bandCount_ = 0;
    std::vector<Command> commands_;
    std::vector<float> vertices_; // the first vertexFloats_ are in use
    std::uint32_t vertexFloats_ = 0;
    std::vector<QueuedClear> clears_;
    std::vector<Setup> setups_; // only the first setupCount_ are in use; kept for reuse
    int setupCount_ = 0;
    std::vector<std::vector<std::uint32_t>> bins_;
    const RowCopy* copy_ = nullptr;
};
