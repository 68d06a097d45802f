#include "platform/d3d9/PixelPipeline.h"

#include "platform/d3d9/PixelFormats.h"
#include "platform/d3d9/PixelOps.h"

#include <cstring>

DWORD ReadTargetPixel(const TargetView& t, int x, int y) {
    const BYTE* p = t.bits + size_t(y) * t.pitch;
    switch (t.format) {
    case D3DFMT_A8R8G8B8: {
        DWORD v;
        std::memcpy(&v, p + size_t(x) * 4, 4);
        return v;
    }
    case D3DFMT_X8R8G8B8: {
        DWORD v;
        std::memcpy(&v, p + size_t(x) * 4, 4);
        return v | 0xFF000000u;
    }
    default: {
        DWORD v;
        DecodePixels(t.format, p + size_t(x) * FindPixelFormat(t.format)->bytesPerPixel, &v, 1);
        return v;
    }
    }
}

void WriteTargetPixel(const TargetView& t, int x, int y, DWORD color) {
    BYTE* p = t.bits + size_t(y) * t.pitch;
    switch (t.format) {
    case D3DFMT_A8R8G8B8:
        std::memcpy(p + size_t(x) * 4, &color, 4);
        break;
    case D3DFMT_X8R8G8B8:
        color |= 0xFF000000u;
        std::memcpy(p + size_t(x) * 4, &color, 4);
        break;
    default:
        EncodePixels(t.format, &color, p + size_t(x) * FindPixelFormat(t.format)->bytesPerPixel, 1);
        break;
    }
}

namespace {

DWORD StencilOperation(DWORD op, DWORD value, DWORD ref) {
    switch (op) {
    case D3DSTENCILOP_ZERO:
        return 0;
    case D3DSTENCILOP_REPLACE:
        return ref & 0xFF;
    case D3DSTENCILOP_INCRSAT:
        return value < 255 ? value + 1 : 255;
    case D3DSTENCILOP_DECRSAT:
        return value > 0 ? value - 1 : 0;
    case D3DSTENCILOP_INVERT:
        return ~value & 0xFF;
    case D3DSTENCILOP_INCR:
        return (value + 1) & 0xFF;
    case D3DSTENCILOP_DECR:
        return (value - 1) & 0xFF;
    default:
        return value;
    }
}

void UpdateStencil(const PixelSetup& s, int x, int y, DWORD op) {
    if (op == D3DSTENCILOP_KEEP)
        return;
    DWORD stored = ReadDepthValue(s.depth, x, y);
    const DWORD old = stored & 0xFF;
    const DWORD updated = StencilOperation(op, old, s.stencilRef);
    stored = (stored & 0xFFFFFF00u) | ((old & ~s.stencilWriteMask) | (updated & s.stencilWriteMask));
    BYTE* row = s.depth.bits + size_t(y) * s.depth.pitch;
    std::memcpy(row + size_t(x) * 4, &stored, 4);
}

// The stencil test and then the depth test, with the stencil operations their outcome asks for.
bool StencilAndDepthPass(const PixelSetup& s, int x, int y, DWORD depthValue) {
    const DWORD stored = ReadDepthValue(s.depth, x, y);
    if (!Compare(s.stencilFunc, s.stencilRef & s.stencilMask & 0xFF, stored & s.stencilMask & 0xFF)) {
        UpdateStencil(s, x, y, s.stencilFail);
        return false;
    }
    if (s.depthTest && !Compare(s.depthFunc, depthValue & s.depthCompareMask, stored & s.depthCompareMask)) {
        UpdateStencil(s, x, y, s.stencilDepthFail);
        return false;
    }
    UpdateStencil(s, x, y, s.stencilPass);
    return true;
}

} // namespace

void ShadeSpanGeneral(void* context, const SpanPlanes& pl, int y, int x0, int x1) {
    const PixelSetup& s = *static_cast<const PixelSetup*>(context);
    const float fy = float(y) - pl.originY;
    const float zRow = pl.z[0] + pl.z[2] * fy;
    const float qRow = pl.q[0] + pl.q[2] * fy;
    float rowBase[kMaxVaryings];
    for (int i = 0; i < pl.count; ++i)
        rowBase[i] = pl.base[i] + pl.dy[i] * fy;

    for (int x = x0; x <= x1; ++x) {
        const float fx = float(x) - pl.originX;
        DWORD depthValue = 0;
        if (s.depthTest || s.depthWrite)
            depthValue = QuantizeDepth(zRow + pl.z[1] * fx, s.depth.format);
        // Without stencil operations a pixel that fails the depth test can be dropped at once.
        if (s.depthTest && !s.stencilTest) {
            const DWORD stored = ReadDepthValue(s.depth, x, y) & s.depthCompareMask;
            if (!Compare(s.depthFunc, depthValue & s.depthCompareMask, stored))
                continue;
        }
        const float q = qRow + pl.q[1] * fx;
        const float w = 1.0f / q;
        float v[kMaxVaryings];
        for (int i = 0; i < pl.count; ++i)
            v[i] = (rowBase[i] + pl.dx[i] * fx) * w;

        StageRegisters regs;
        const float* diffuse = pl.flatDiffuse ? pl.diffuse : v;
        regs.diffuse = {ColorToByte(diffuse[0]), ColorToByte(diffuse[1]), ColorToByte(diffuse[2]),
                        ColorToByte(diffuse[3])};
        if (s.varyings.specular >= 0) {
            const float* sp = v + s.varyings.specular;
            regs.specular = {ColorToByte(sp[0]), ColorToByte(sp[1]), ColorToByte(sp[2]), ColorToByte(sp[3])};
        } else {
            regs.specular = {0, 0, 0, 0};
        }
        regs.textureFactor = s.textureFactor;
        regs.current = regs.diffuse;
        regs.temp = {0, 0, 0, 0};
        for (int st = 0; st < s.stageCount; ++st) {
            if (s.stageSamples[st]) {
                float coords[3] = {0.0f, 0.0f, 0.0f};
                TexelFootprint footprint;
                const int offset = s.stageCoords[st];
                if (offset >= 0) {
                    for (int c = 0; c < 3; ++c)
                        coords[c] = v[offset + c];
                    if (s.samplers[st].needsDerivatives)
                        footprint = PixelFootprint(SpanCoordsOf(pl, rowBase, offset), coords, w);
                }
                regs.texture = UnpackColor(SampleTexture(s.samplers[st], coords, footprint));
            } else {
                regs.texture = {255, 255, 255, 255};
            }
            RunStage(s.stages[st], regs);
        }
        Rgba out = regs.current;
        if (s.specularAdd) {
            out.r = std::min(255, out.r + regs.specular.r);
            out.g = std::min(255, out.g + regs.specular.g);
            out.b = std::min(255, out.b + regs.specular.b);
        }
        if (s.alphaTest && !Compare(s.alphaFunc, DWORD(out.a), s.alphaRef))
            continue;
        if (s.stencilTest && !StencilAndDepthPass(s, x, y, depthValue))
            continue;
        if (s.depthWrite)
            WriteDepthValue(s.depth, x, y, depthValue);
        DWORD color = PackColor(out);
        if (s.blend.enabled || s.writeMask != 0xFFFFFFFFu) {
            const DWORD dest = ReadTargetPixel(s.color, x, y);
            if (s.blend.enabled)
                color = BlendColors(s.blend, color, dest);
            color = (color & s.writeMask) | (dest & ~s.writeMask);
        }
        WriteTargetPixel(s.color, x, y, color);
    }
}
