#include "platform/d3d9/DrawQueue.h"

#include "platform/d3d9/SurfaceFill.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Bands per thread: enough that a thread which finishes early finds more work.
constexpr int kBandsPerThread = 8;
constexpr int kMinBandRows = 8;

} // namespace

void DrawQueue::Start(int rows, int threads) {
    rows_ = std::max(rows, 1);
    const int wanted = std::max(threads, 1) * kBandsPerThread;
    bandRows_ = std::max(kMinBandRows, (rows_ + wanted - 1) / wanted);
    bandCount_ = (rows_ + bandRows_ - 1) / bandRows_;
    if (int(bins_.size()) < bandCount_)
        bins_.resize(size_t(bandCount_));
    setupCount_ = 0;
}

void DrawQueue::UseSetup(const PixelSetup& setup, SpanFunction span, const PixelRect& drawRect) {
    if (int(setups_.size()) <= setupCount_)
        setups_.emplace_back();
    Setup& s = setups_[size_t(setupCount_++)];
    s.pixels = setup;
    s.span = span;
    s.drawRect = drawRect;
    s.firstRow = float(std::max(drawRect.top, 0));
    s.lastRow = float(std::min(drawRect.bottom, rows_) - 1);
}

// Room for `floats` more floats in the vertex store; the store only grows, and is reused from
// one flush to the next.
float* DrawQueue::ReserveFloats(std::uint32_t floats) {
    if (vertices_.size() - vertexFloats_ < floats)
        vertices_.resize(std::max<size_t>(2 * vertices_.size(), vertexFloats_ + floats));
    float* at = vertices_.data() + vertexFloats_;
    vertexFloats_ += floats;
    return at;
}

float* DrawQueue::StoreVertex(float* at, const ScreenVertex& v, int varyingCount) {
    at[0] = v.x;
    at[1] = v.y;
    at[2] = v.z;
    at[3] = v.rhw;
    std::memcpy(at + 4, v.varying, sizeof(float) * size_t(varyingCount));
    return at + 4 + varyingCount;
}

ScreenVertex DrawQueue::LoadVertex(std::uint32_t at) const {
    const float* v = vertices_.data() + at;
    return {v[0], v[1], v[2], v[3], v + 4};
}

// Files a command under every band between the rows `top` and `bottom` (a little wider than
// the primitive can reach: the rasteriser decides the exact pixels).
void DrawQueue::File(const Command& command, float top, float bottom) {
    const std::uint32_t index = std::uint32_t(commands_.size());
    commands_.push_back(command);
    const Setup& s = setups_[size_t(command.setup)];
    const float first = std::max(std::floor(top) - 1.0f, s.firstRow);
    const float last = std::min(std::ceil(bottom) + 1.0f, s.lastRow);
    if (!(first <= last))
        return;
    const int firstBand = int(first) / bandRows_, lastBand = int(last) / bandRows_;
    for (int band = firstBand; band <= lastBand; ++band)
        bins_[size_t(band)].push_back(index);
}

void DrawQueue::AddTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                            int varyingCount) {
    const std::uint32_t at = vertexFloats_;
    float* store = ReserveFloats(3 * (4 + std::uint32_t(varyingCount)));
    StoreVertex(StoreVertex(StoreVertex(store, a, varyingCount), b, varyingCount), c, varyingCount);
    File({Kind::Triangle, false, setupCount_ - 1, varyingCount, at}, std::min({a.y, b.y, c.y}),
         std::max({a.y, b.y, c.y}));
}

void DrawQueue::AddLine(const ScreenVertex& a, const ScreenVertex& b, int varyingCount, bool lastPixel) {
    const std::uint32_t at = vertexFloats_;
    float* store = ReserveFloats(2 * (4 + std::uint32_t(varyingCount)));
    StoreVertex(StoreVertex(store, a, varyingCount), b, varyingCount);
    File({Kind::Line, lastPixel, setupCount_ - 1, varyingCount, at}, std::min(a.y, b.y), std::max(a.y, b.y));
}

void DrawQueue::AddPoint(const ScreenVertex& p, int varyingCount) {
    const std::uint32_t at = vertexFloats_;
    StoreVertex(ReserveFloats(4 + std::uint32_t(varyingCount)), p, varyingCount);
    File({Kind::Point, false, setupCount_ - 1, varyingCount, at}, p.y, p.y);
}

void DrawQueue::AddClear(const QueuedClear& clear) {
    const std::uint32_t index = std::uint32_t(commands_.size());
    commands_.push_back({Kind::Clear, false, -1, 0, std::uint32_t(clears_.size())});
    clears_.push_back(clear);
    const int first = std::max(clear.rect.top, 0), last = std::min(clear.rect.bottom, rows_) - 1;
    for (int band = first / bandRows_; first <= last && band <= last / bandRows_; ++band)
        bins_[size_t(band)].push_back(index);
}

void DrawQueue::DrawBand(int band) const {
    const int top = band * bandRows_, bottom = std::min(rows_, top + bandRows_);
    for (const std::uint32_t index : bins_[size_t(band)]) {
        const Command& c = commands_[index];
        if (c.kind == Kind::Clear) {
            QueuedClear clear = clears_[c.data];
            clear.rect.top = std::max(clear.rect.top, top);
            clear.rect.bottom = std::min(clear.rect.bottom, bottom);
            if (clear.color)
                FillColorPixels(*clear.color, clear.rect, clear.colorValue);
            if (clear.depth)
                FillDepthStencilRect(*clear.depth, clear.rect, clear.setDepth, clear.depthValue,
                                     clear.setStencil, clear.stencil);
            continue;
        }
        const Setup& s = setups_[size_t(c.setup)];
        PixelRect clip = s.drawRect;
        clip.top = std::max(clip.top, top);
        clip.bottom = std::min(clip.bottom, bottom);
        void* context = const_cast<PixelSetup*>(&s.pixels);
        const std::uint32_t stride = 4 + std::uint32_t(c.varyingCount);
        switch (c.kind) {
        case Kind::Triangle:
            RasterizeTriangle(LoadVertex(c.data), LoadVertex(c.data + stride),
                              LoadVertex(c.data + 2 * stride), c.varyingCount, clip, s.span, context);
            break;
        case Kind::Line:
            RasterizeLine(LoadVertex(c.data), LoadVertex(c.data + stride), c.varyingCount, c.lastPixel, clip,
                          s.span, context);
            break;
        default:
            RasterizePoint(LoadVertex(c.data), c.varyingCount, clip, s.span, context);
            break;
        }
    }
}

void DrawQueue::CopyBand(int band) const {
    const int top = band * bandRows_;
    CopyChangedRows(*copy_, top, std::min(copy_->rows, top + bandRows_));
}

void DrawQueue::DrawBandTask(void* queue, int band) {
    const DrawQueue& q = *static_cast<const DrawQueue*>(queue);
    q.DrawBand(band);
    if (q.copy_)
        q.CopyBand(band);
}

void DrawQueue::Flush(WorkerPool& pool, const RowCopy* copy) {
    Begin(pool, copy);
    End(pool);
}

void DrawQueue::Begin(WorkerPool& pool, const RowCopy* copy) {
    if (commands_.empty() && !copy)
        return;
    if (commands_.empty())
        Start(copy->rows, pool.Threads());
    copy_ = copy;
    pool.Begin(bandCount_, DrawBandTask, this);
}

void DrawQueue::End(WorkerPool& pool) {
    pool.Finish();
    copy_ = nullptr;
    commands_.clear();
    vertexFloats_ = 0;
    clears_.clear();
    for (int band = 0; band < bandCount_; ++band)
        bins_[size_t(band)].clear();
    setupCount_ = 0;
}
