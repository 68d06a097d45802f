// Draw calls: derived-state preparation, vertex processing, primitive assembly and
// handing triangles, lines and points to the rasteriser.

#include "platform/d3d9/Device.h"

#include "platform/d3d9/Clipper.h"
#include "platform/d3d9/OutputMerger.h"
#include "platform/d3d9/Texture.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

UINT VertexCountFor(D3DPRIMITIVETYPE type, UINT primitives) {
    switch (type) {
    case D3DPT_POINTLIST:
        return primitives;
    case D3DPT_LINELIST:
        return primitives * 2;
    case D3DPT_LINESTRIP:
        return primitives + 1;
    case D3DPT_TRIANGLELIST:
        return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return primitives + 2;
    default:
        return 0;
    }
}

constexpr UINT kMaxPrimitives = 0xFFFFF;

ScreenVertex ToScreen(const PipelineVertex& v) {
    return {v.screen[0], v.screen[1], v.screen[2], v.screen[3], v.varying};
}

// Bytes a layout needs from the start of a vertex in `stream`.
UINT LayoutExtent(const VertexLayout& layout, int stream) {
    UINT extent = 0;
    auto grow = [&](const VertexElementRef& ref) {
        if (ref.present && ref.stream == stream)
            extent = std::max(extent, ref.offset + DeclTypeSize(ref.type));
    };
    grow(layout.position);
    grow(layout.normal);
    grow(layout.diffuse);
    grow(layout.specular);
    grow(layout.pointSize);
    for (const VertexElementRef& ref : layout.texcoord)
        grow(ref);
    return extent;
}

} // namespace

// ---- Derived state ----

void Device::PreparePixelSetup() {
    PixelSetup& p = pixelSetup_;
    const DWORD* rs = state_.render;
    p.color = TargetViewOf(renderTarget_);
    const bool depthOn = depthStencil_ && rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    p.depth = TargetViewOf(depthStencil_);
    p.depthTest = depthOn;
    p.depthWrite = depthOn && rs[D3DRS_ZWRITEENABLE] != 0;
    p.depthFunc = rs[D3DRS_ZFUNC];
    p.depthCompareMask =
        depthStencil_ && (depthStencil_->Format() == D3DFMT_D24S8 || depthStencil_->Format() == D3DFMT_D24X8)
            ? 0xFFFFFF00u
            : 0xFFFFFFFFu;
    p.stencilTest = rs[D3DRS_STENCILENABLE] != 0 && depthStencil_ && depthStencil_->Format() == D3DFMT_D24S8;
    p.stencilFunc = rs[D3DRS_STENCILFUNC];
    p.stencilRef = rs[D3DRS_STENCILREF];
    p.stencilMask = rs[D3DRS_STENCILMASK];
    p.stencilWriteMask = rs[D3DRS_STENCILWRITEMASK];
    p.stencilFail = rs[D3DRS_STENCILFAIL];
    p.stencilDepthFail = rs[D3DRS_STENCILZFAIL];
    p.stencilPass = rs[D3DRS_STENCILPASS];
    p.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
    p.alphaFunc = rs[D3DRS_ALPHAFUNC];
    p.alphaRef = rs[D3DRS_ALPHAREF] & 0xFF;
    p.blend = ReadBlendSetup(rs);
    p.writeMask = ColorWriteMaskBits(rs[D3DRS_COLORWRITEENABLE]);
    p.textureFactor = UnpackColor(rs[D3DRS_TEXTUREFACTOR]);

    VaryingLayout& v = p.varyings;
    v = VaryingLayout{};
    bool specularRead = false;
    int stages = 0;
    for (int s = 0; s < kMaxTextureStages; ++s) {
        const DWORD* ts = state_.stage[s];
        if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE)
            break;
        p.stages[s] = ReadStageSetup(ts);
        SampledTexture* texture = SampledTextureOf(textures_[s]);
        p.stageSamples[s] = StageReadsTexture(p.stages[s]);
        specularRead = specularRead || StageReadsSpecular(p.stages[s]);
        stageTextures_[s] = p.stageSamples[s] ? texture : nullptr;
        if (p.stageSamples[s]) {
            PrepareSampler(texture, state_.sampler[s], &p.samplers[s]);
            const DWORD set =
                std::min<DWORD>(ts[D3DTSS_TEXCOORDINDEX] & 0xFFFF, kMaxTextureCoordinateSets - 1);
            const int components = (texture && texture->Kind() != TextureKind::Flat) ? 3 : 2;
            v.texComponents[set] = std::max(v.texComponents[set], components);
        }
        ++stages;
    }
    p.stageCount = stages;
    p.specularAdd = rs[D3DRS_SPECULARENABLE] != 0;
    if (p.specularAdd || specularRead) {
        v.specular = v.count;
        v.count += 4;
    }
    for (int set = 0; set < kMaxTextureCoordinateSets; ++set) {
        if (v.texComponents[set] > 0) {
            v.texcoord[set] = v.count;
            v.count += 3; // room for three components keeps the stage reads uniform
        }
    }
    for (int s = 0; s < stages; ++s) {
        const DWORD set =
            std::min<DWORD>(state_.stage[s][D3DTSS_TEXCOORDINDEX] & 0xFFFF, kMaxTextureCoordinateSets - 1);
        p.stageCoords[s] = p.stageSamples[s] ? v.texcoord[set] : -1;
    }
    for (int set = 0; set < kMaxTextureCoordinateSets; ++set)
        if (v.texComponents[set] > 0)
            v.texComponents[set] = 3;
    vertexSetup_.varyings = v;
    planDirty_ = true;
    spanFunction_ = ChooseSpanFunction(p);

    // The pixels that may be drawn: the viewport, within the target, the scissor and the depth buffer.
    const D3DVIEWPORT9& vp = state_.viewport;
    PixelRect r{int(vp.X), int(vp.Y), int(vp.X + vp.Width), int(vp.Y + vp.Height)};
    r.right = std::min(r.right, p.color.width);
    r.bottom = std::min(r.bottom, p.color.height);
    if (rs[D3DRS_SCISSORTESTENABLE]) {
        r.left = std::max<int>(r.left, state_.scissor.left);
        r.top = std::max<int>(r.top, state_.scissor.top);
        r.right = std::min<int>(r.right, state_.scissor.right);
        r.bottom = std::min<int>(r.bottom, state_.scissor.bottom);
    }
    if (p.depthTest || p.stencilTest) {
        r.right = std::min(r.right, p.depth.width);
        r.bottom = std::min(r.bottom, p.depth.height);
    }
    drawRect_ = r;
}

void Device::PrepareSamplers() {
    PixelSetup& p = pixelSetup_;
    for (int s = 0; s < p.stageCount; ++s) {
        if (!p.stageSamples[s])
            continue;
        stageTextures_[s] = SampledTextureOf(textures_[s]);
        PrepareSampler(stageTextures_[s], state_.sampler[s], &p.samplers[s]);
    }
    spanFunction_ = ChooseSpanFunction(p);
}

// Makes a new pixel setup only when what it is made from differs from what the current one was
// made from: states set and set back between two draws cost nothing.
void Device::PreparePixels() {
    if (pixelDirty_ && !SamePixelStates()) {
        PreparePixelSetup();
        pixelInputs_.CaptureStates(state_, pixelSetup_.color, pixelSetup_.depth);
        pixelInputs_.CaptureSamplers(pixelSetup_, state_, textures_);
        NoteTextureVersions();
        setupQueued_ = false;
    } else if (!pixelInputs_.SameSamplers(pixelSetup_, state_, textures_)) {
        PrepareSamplers();
        pixelInputs_.CaptureSamplers(pixelSetup_, state_, textures_);
        NoteTextureVersions();
        setupQueued_ = false;
    } else {
        RefreshSampledTextures();
    }
    pixelDirty_ = samplersDirty_ = false;
}

bool Device::SamePixelStates() const {
    return pixelInputs_.SameStates(state_, TargetViewOf(renderTarget_), TargetViewOf(depthStencil_));
}

void Device::NoteTextureVersions() {
    for (int s = 0; s < pixelSetup_.stageCount; ++s)
        if (stageTextures_[s])
            stageVersions_[s] = stageTextures_[s]->Version();
}

// Texture contents or levels of detail may have changed since the setup was made.
void Device::RefreshSampledTextures() {
    for (int s = 0; s < pixelSetup_.stageCount; ++s) {
        if (!stageTextures_[s] || stageTextures_[s]->Version() == stageVersions_[s])
            continue;
        stageVersions_[s] = stageTextures_[s]->Version();
        SamplerSetup& sampler = pixelSetup_.samplers[s];
        const TexelView* views = sampler.views;
        const int baseLevel = sampler.baseLevel;
        RefreshSamplerTexture(stageTextures_[s], state_.sampler[s], &sampler);
        if (sampler.views != views || sampler.baseLevel != baseLevel)
            setupQueued_ = false;
    }
}

bool Device::PrepareDraw() {
    if (layoutDirty_) {
        layoutValid_ = declaration_ ? true : (state_.fvf != 0 && LayoutFromFvf(state_.fvf, &layout_));
        if (declaration_)
            layout_ = declaration_->Layout();
        for (int stream = 0; stream < kMaxStreams; ++stream)
            layoutExtent_[stream] = LayoutExtent(layout_, stream);
        layoutDirty_ = false;
        planDirty_ = true;
    }
    if (!layoutValid_)
        return false;
    if (pixelDirty_ || samplersDirty_)
        PreparePixels();
    else
        RefreshSampledTextures();
    if (transformsDirty_) {
        PrepareTransforms(state_, vertexSetup_);
        transformsDirty_ = false;
    }
    if (lightsDirty_) {
        PrepareLights(state_, vertexSetup_);
        lightsDirty_ = false;
        planDirty_ = true;
    }
    if (viewportDirty_) {
        PrepareViewport(state_.viewport, vertexSetup_);
        viewportDirty_ = false;
    }
    vertexSetup_.pretransformed = layout_.pretransformed;
    if (planDirty_) {
        PrepareVertexPlan(layout_, vertexSetup_, vertexPlan_);
        planDirty_ = false;
    }
    return true;
}

PixelRect Device::DrawRect() const {
    return drawRect_;
}

// ---- Recorded drawing ----

void Device::FinishDraws() {
    CatchUp();
    if (queue_)
        queue_->Flush(*pool_, nullptr);
}

// Waits for the draws the pool's threads are doing behind the caller.
void Device::CatchUp() {
    if (!behindBusy_)
        return;
    behind_->End(*pool_);
    behindBusy_ = false;
}

// Hands what is recorded to the pool's threads once they are free, and goes on recording into the
// other queue: the calling thread prepares the next draws while the last ones are drawn. A batch
// starts only after the one before it has finished, so every pixel still sees the operations in
// the order they were asked for.
void Device::DrawBehind() {
    if (behindBusy_) {
        if (pool_->Busy())
            return;
        CatchUp();
    }
    if (!behind_)
        behind_ = std::make_unique<DrawQueue>();
    queue_->Begin(*pool_, nullptr);
    std::swap(queue_, behind_);
    behindBusy_ = true;
}

// At a change of target: what is recorded for the old one goes to the pool's threads at once,
// and the draws for the new one are recorded meanwhile (they are drawn after).
void Device::HandOverDraws() {
    if (!queue_ || queue_->Empty())
        return;
    CatchUp();
    DrawBehind();
}

void Device::StartBatch() {
    // A caller that draws a great deal without ever showing it still gets it drawn in pieces.
    constexpr size_t kMaxQueued = 1 << 18;
    // Enough commands that handing them over costs little next to drawing them.
    constexpr size_t kDrawBehindCommands = 64;
    if (queue_->Size() >= kMaxQueued)
        FinishDraws();
    else if (queue_->Size() >= kDrawBehindCommands)
        DrawBehind();
    if (queue_->Empty()) {
        queue_->Start(int(renderTarget_->Height()), pool_->Threads());
        setupQueued_ = false;
    }
}

// A draw that reads the texture it draws into sees its own pixels change under it: it is done at
// once, as a sequential device would.
bool Device::SamplesTarget() const {
    const SampledTexture* target = renderTarget_->Owner();
    if (!target)
        return false;
    for (int s = 0; s < pixelSetup_.stageCount; ++s)
        if (stageTextures_[s] == target)
            return true;
    return false;
}

void Device::BeginPrimitives() {
    recording_ = queue_ && !SamplesTarget();
    if (!recording_) {
        FinishDraws();
        return;
    }
    StartBatch();
    if (!setupQueued_) {
        queue_->UseSetup(pixelSetup_, spanFunction_, drawRect_);
        setupQueued_ = true;
    }
}

void Device::EmitTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    const int count = pixelSetup_.varyings.count;
    if (recording_)
        queue_->AddTriangle(a, b, c, count);
    else
        RasterizeTriangle(a, b, c, count, drawRect_, spanFunction_, &pixelSetup_);
}

void Device::EmitLine(const ScreenVertex& a, const ScreenVertex& b, bool lastPixel) {
    const int count = pixelSetup_.varyings.count;
    if (recording_)
        queue_->AddLine(a, b, count, lastPixel);
    else
        RasterizeLine(a, b, count, lastPixel, drawRect_, spanFunction_, &pixelSetup_);
}

void Device::EmitPoint(const ScreenVertex& p) {
    const int count = pixelSetup_.varyings.count;
    if (recording_)
        queue_->AddPoint(p, count);
    else
        RasterizePoint(p, count, drawRect_, spanFunction_, &pixelSetup_);
}

void Device::MarkTargetChanged() {
    renderTarget_->Changed();
}

// Drawing from user memory reads stream 0 only, one vertex per stride.
bool Device::VertexFitsStride(UINT stride) const {
    for (int stream = 1; stream < kMaxStreams; ++stream)
        if (layoutExtent_[stream] != 0)
            return false;
    return layoutExtent_[0] <= stride;
}

// ---- Vertex processing ----

bool Device::ReserveIndices(UINT count) {
    try {
        indexScratch_.resize(count);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool Device::ReserveVertices(UINT count) {
    try {
        if (vertices_.size() < count)
            vertices_.resize(count);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void Device::ProcessUserVertices(const BYTE* data, UINT stride, UINT first, UINT count) {
    VertexStreams streams;
    for (UINT i = 0; i < count; ++i) {
        streams.data[0] = data + size_t(first + i) * stride;
        ProcessVertex(layout_, streams, vertexSetup_, vertexPlan_, vertices_[i]);
    }
}

HRESULT Device::ProcessStreamVertices(UINT first, UINT count, INT base) {
    // Every stream the layout reads must hold every vertex asked for.
    for (int s = 0; s < kMaxStreams; ++s) {
        const UINT extent = layoutExtent_[s];
        if (extent == 0)
            continue;
        const StreamBinding& b = streams_[s];
        if (!b.buffer || b.stride < extent)
            return D3DERR_INVALIDCALL;
        const long long lastVertex = (long long)base + first + count - 1;
        if ((long long)base + first < 0 ||
            (long long)b.offset + lastVertex * b.stride + extent > (long long)b.buffer->Size())
            return D3DERR_INVALIDCALL;
    }
    if (!ReserveVertices(count))
        return E_OUTOFMEMORY;
    VertexStreams streams;
    for (UINT i = 0; i < count; ++i) {
        const long long index = (long long)base + first + i;
        for (int s = 0; s < kMaxStreams; ++s)
            if (streams_[s].buffer)
                streams.data[s] =
                    streams_[s].buffer->Data() + streams_[s].offset + index * streams_[s].stride;
        ProcessVertex(layout_, streams, vertexSetup_, vertexPlan_, vertices_[i]);
    }
    return D3D_OK;
}

// ---- Primitive assembly ----

void Device::DrawAssembled(D3DPRIMITIVETYPE type, UINT primitiveCount, const UINT* indices) {
    auto vertex = [&](UINT i) -> const PipelineVertex& { return vertices_[indices ? indices[i] : i]; };
    BeginPrimitives();
    switch (type) {
    case D3DPT_POINTLIST:
        for (UINT i = 0; i < primitiveCount; ++i)
            DrawPoint(vertex(i));
        break;
    case D3DPT_LINELIST:
        for (UINT i = 0; i < primitiveCount; ++i)
            DrawLine(vertex(2 * i), vertex(2 * i + 1));
        break;
    case D3DPT_LINESTRIP:
        for (UINT i = 0; i < primitiveCount; ++i)
            DrawLine(vertex(i), vertex(i + 1));
        break;
    case D3DPT_TRIANGLELIST:
        for (UINT i = 0; i < primitiveCount; ++i)
            DrawTriangle(vertex(3 * i), vertex(3 * i + 1), vertex(3 * i + 2));
        break;
    case D3DPT_TRIANGLESTRIP:
        for (UINT i = 0; i < primitiveCount; ++i) {
            // Odd triangles swap their first two vertices to keep one winding.
            if (i & 1)
                DrawTriangle(vertex(i + 1), vertex(i), vertex(i + 2));
            else
                DrawTriangle(vertex(i), vertex(i + 1), vertex(i + 2));
        }
        break;
    case D3DPT_TRIANGLEFAN:
        for (UINT i = 0; i < primitiveCount; ++i)
            DrawTriangle(vertex(0), vertex(i + 1), vertex(i + 2));
        break;
    default:
        break;
    }
    MarkTargetChanged();
}

void Device::DrawTriangle(const PipelineVertex& a, const PipelineVertex& b, const PipelineVertex& c) {
    if (vertexSetup_.flatShading) {
        // Flat shading takes the colours of the first vertex.
        PipelineVertex fb = b, fc = c;
        const int colorEnd = pixelSetup_.varyings.specular >= 0 ? pixelSetup_.varyings.specular + 4 : 4;
        for (int i = 0; i < 4; ++i)
            fb.varying[i] = fc.varying[i] = a.varying[i];
        for (int i = 4; i < colorEnd; ++i)
            fb.varying[i] = fc.varying[i] = a.varying[i];
        vertexSetup_.flatShading = false;
        DrawTriangle(a, fb, fc);
        vertexSetup_.flatShading = true;
        return;
    }
    const unsigned orCodes = a.outcode | b.outcode | c.outcode;
    if (orCodes == 0) {
        DrawScreenTriangle(a, b, c);
        return;
    }
    if (a.outcode & b.outcode & c.outcode)
        return;
    PipelineVertex polygon[kMaxClippedVertices];
    const int n = ClipTriangle(a, b, c, pixelSetup_.varyings.count, vertexSetup_, polygon);
    for (int i = 1; i + 1 < n; ++i)
        DrawScreenTriangle(polygon[0], polygon[i], polygon[i + 1]);
}

void Device::DrawScreenTriangle(const PipelineVertex& a, const PipelineVertex& b, const PipelineVertex& c) {
    const ScreenVertex sa = ToScreen(a), sb = ToScreen(b), sc = ToScreen(c);
    std::int64_t area = 0;
    if (!SnappedArea(sa, sb, sc, &area) || area == 0)
        return;
    const DWORD cull = state_.render[D3DRS_CULLMODE];
    // Positive area is clockwise on screen.
    if ((cull == D3DCULL_CCW && area < 0) || (cull == D3DCULL_CW && area > 0))
        return;
    switch (state_.render[D3DRS_FILLMODE]) {
    case D3DFILL_POINT:
        EmitPoint(sa);
        EmitPoint(sb);
        EmitPoint(sc);
        break;
    case D3DFILL_WIREFRAME:
        EmitLine(sa, sb, false);
        EmitLine(sb, sc, false);
        EmitLine(sc, sa, false);
        break;
    default:
        EmitTriangle(sa, sb, sc);
        break;
    }
}

void Device::DrawLine(const PipelineVertex& a, const PipelineVertex& b) {
    const bool lastPixel = state_.render[D3DRS_LASTPIXEL] != 0;
    if ((a.outcode | b.outcode) == 0) {
        EmitLine(ToScreen(a), ToScreen(b), lastPixel);
        return;
    }
    if (a.outcode & b.outcode)
        return;
    PipelineVertex ca, cb;
    if (ClipLine(a, b, pixelSetup_.varyings.count, vertexSetup_, &ca, &cb))
        EmitLine(ToScreen(ca), ToScreen(cb), lastPixel);
}

void Device::DrawPoint(const PipelineVertex& p) {
    if (p.outcode == 0)
        EmitPoint(ToScreen(p));
}

// ---- Draw calls ----

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                UINT stride) {
    const UINT count = VertexCountFor(type, primitiveCount);
    if (!vertexData || count == 0 || primitiveCount > kMaxPrimitives || stride == 0)
        return D3DERR_INVALIDCALL;
    if (!PrepareDraw() || !VertexFitsStride(stride))
        return D3DERR_INVALIDCALL;
    if (!ReserveVertices(count))
        return E_OUTOFMEMORY;
    ProcessUserVertices(static_cast<const BYTE*>(vertexData), stride, 0, count);
    DrawAssembled(type, primitiveCount, nullptr);
    // Drawing from user memory leaves stream 0 unset.
    Unbind(streams_[0].buffer);
    streams_[0] = StreamBinding{};
    return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                       UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                       const void* vertexData, UINT stride) {
    const UINT count = VertexCountFor(type, primitiveCount);
    if (!vertexData || !indexData || count == 0 || primitiveCount > kMaxPrimitives || stride == 0 ||
        numVertices == 0 || (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    if (!PrepareDraw() || !VertexFitsStride(stride))
        return D3DERR_INVALIDCALL;
    if (!ReserveVertices(numVertices) || !ReserveIndices(count))
        return E_OUTOFMEMORY;
    for (UINT i = 0; i < count; ++i) {
        UINT index;
        if (indexFormat == D3DFMT_INDEX16) {
            WORD w;
            std::memcpy(&w, static_cast<const BYTE*>(indexData) + size_t(i) * 2, 2);
            index = w;
        } else {
            std::memcpy(&index, static_cast<const BYTE*>(indexData) + size_t(i) * 4, 4);
        }
        if (index < minVertexIndex || index - minVertexIndex >= numVertices)
            return D3DERR_INVALIDCALL;
        indexScratch_[i] = index - minVertexIndex;
    }
    ProcessUserVertices(static_cast<const BYTE*>(vertexData), stride, minVertexIndex, numVertices);
    DrawAssembled(type, primitiveCount, indexScratch_.data());
    Unbind(streams_[0].buffer);
    streams_[0] = StreamBinding{};
    Unbind(indices_);
    return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    const UINT count = VertexCountFor(type, primitiveCount);
    if (count == 0 || primitiveCount > kMaxPrimitives)
        return D3DERR_INVALIDCALL;
    if (!PrepareDraw())
        return D3DERR_INVALIDCALL;
    const HRESULT hr = ProcessStreamVertices(startVertex, count, 0);
    if (FAILED(hr))
        return hr;
    DrawAssembled(type, primitiveCount, nullptr);
    return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                     UINT numVertices, UINT startIndex, UINT primitiveCount) {
    const UINT count = VertexCountFor(type, primitiveCount);
    if (count == 0 || primitiveCount > kMaxPrimitives || numVertices == 0 || !indices_)
        return D3DERR_INVALIDCALL;
    if (!PrepareDraw())
        return D3DERR_INVALIDCALL;
    const UINT indexSize = indices_->Format() == D3DFMT_INDEX16 ? 2 : 4;
    if ((unsigned long long)(startIndex) + count > indices_->Size() / indexSize)
        return D3DERR_INVALIDCALL;
    if (!ReserveIndices(count))
        return E_OUTOFMEMORY;
    const BYTE* data = indices_->Data() + size_t(startIndex) * indexSize;
    for (UINT i = 0; i < count; ++i) {
        UINT index;
        if (indexSize == 2) {
            WORD w;
            std::memcpy(&w, data + size_t(i) * 2, 2);
            index = w;
        } else {
            std::memcpy(&index, data + size_t(i) * 4, 4);
        }
        if (index < minVertexIndex || index - minVertexIndex >= numVertices)
            return D3DERR_INVALIDCALL;
        indexScratch_[i] = index - minVertexIndex;
    }
    const HRESULT hr = ProcessStreamVertices(minVertexIndex, numVertices, baseVertexIndex);
    if (FAILED(hr))
        return hr;
    DrawAssembled(type, primitiveCount, indexScratch_.data());
    return D3D_OK;
}
