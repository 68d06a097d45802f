#include "platform/d3d9/TextureStages.h"

#include "platform/d3d9/DeviceState.h"

#include <algorithm>

namespace {

int Clamp8(int v) {
    return std::clamp(v, 0, 255);
}

Rgba SelectArgument(DWORD arg, const StageSetup& stage, const StageRegisters& r) {
    Rgba v;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
        v = r.diffuse;
        break;
    case D3DTA_CURRENT:
        v = r.current;
        break;
    case D3DTA_TEXTURE:
        v = r.texture;
        break;
    case D3DTA_TFACTOR:
        v = r.textureFactor;
        break;
    case D3DTA_SPECULAR:
        v = r.specular;
        break;
    case D3DTA_TEMP:
        v = r.temp;
        break;
    case D3DTA_CONSTANT:
        v = stage.constant;
        break;
    default:
        v = r.current;
        break;
    }
    if (arg & D3DTA_ALPHAREPLICATE)
        v.r = v.g = v.b = v.a;
    if (arg & D3DTA_COMPLEMENT)
        v = {255 - v.r, 255 - v.g, 255 - v.b, 255 - v.a};
    return v;
}

// One channel of an operation; `ch` picks the channel of the argument vectors (0 r, 1 g, 2 b,
// 3 a) for the operations that mix channels.
int Channel(const Rgba& c, int ch) {
    return ch == 0 ? c.r : ch == 1 ? c.g : ch == 2 ? c.b : c.a;
}

int DotProduct3(const Rgba& a, const Rgba& b) {
    const int dot = (2 * a.r - 255) * (2 * b.r - 255) + (2 * a.g - 255) * (2 * b.g - 255) +
                    (2 * a.b - 255) * (2 * b.b - 255);
    // dot / 255^2 is the product of signed vectors in [-1, 1]; the result is clamped to [0, 1].
    if (dot <= 0)
        return 0;
    return Clamp8((dot + 255 / 2) / 255);
}

int Operate(DWORD op, const Rgba* args, int ch, const StageRegisters& r) {
    const int a0 = Channel(args[0], ch), a1 = Channel(args[1], ch), a2 = Channel(args[2], ch);
    switch (op) {
    case D3DTOP_SELECTARG1:
        return a1;
    case D3DTOP_SELECTARG2:
        return a2;
    case D3DTOP_MODULATE:
        return Mul255(a1, a2);
    case D3DTOP_MODULATE2X:
        return Clamp8((a1 * a2 * 2 + 127) / 255);
    case D3DTOP_MODULATE4X:
        return Clamp8((a1 * a2 * 4 + 127) / 255);
    case D3DTOP_ADD:
        return Clamp8(a1 + a2);
    case D3DTOP_ADDSIGNED:
        return Clamp8(a1 + a2 - 128);
    case D3DTOP_ADDSIGNED2X:
        return Clamp8(2 * (a1 + a2) - 255);
    case D3DTOP_SUBTRACT:
        return Clamp8(a1 - a2);
    case D3DTOP_ADDSMOOTH:
        return Clamp8(a1 + Mul255(255 - a1, a2));
    case D3DTOP_BLENDDIFFUSEALPHA:
        return (a1 * r.diffuse.a + a2 * (255 - r.diffuse.a) + 127) / 255;
    case D3DTOP_BLENDTEXTUREALPHA:
        return (a1 * r.texture.a + a2 * (255 - r.texture.a) + 127) / 255;
    case D3DTOP_BLENDFACTORALPHA:
        return (a1 * r.textureFactor.a + a2 * (255 - r.textureFactor.a) + 127) / 255;
    case D3DTOP_BLENDCURRENTALPHA:
        return (a1 * r.current.a + a2 * (255 - r.current.a) + 127) / 255;
    case D3DTOP_BLENDTEXTUREALPHAPM:
        return Clamp8(a1 + Mul255(a2, 255 - r.texture.a));
    case D3DTOP_MODULATEALPHA_ADDCOLOR:
        return ch == 3 ? a1 : Clamp8(a1 + Mul255(args[1].a, a2));
    case D3DTOP_MODULATECOLOR_ADDALPHA:
        return ch == 3 ? a1 : Clamp8(Mul255(a1, a2) + args[1].a);
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
        return ch == 3 ? a1 : Clamp8(Mul255(255 - args[1].a, a2) + a1);
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
        return ch == 3 ? a1 : Clamp8(Mul255(255 - a1, a2) + args[1].a);
    case D3DTOP_DOTPRODUCT3:
        return DotProduct3(args[1], args[2]);
    case D3DTOP_MULTIPLYADD:
        return Clamp8(a0 + Mul255(a1, a2));
    case D3DTOP_LERP:
        return (a0 * a1 + (255 - a0) * a2 + 127) / 255;
    default: // operations without a fixed-function meaning here act as SELECTARG1
        return a1;
    }
}

bool UsesArgument(DWORD op, int index) {
    switch (op) {
    case D3DTOP_DISABLE:
        return false;
    case D3DTOP_SELECTARG1:
        return index == 1;
    case D3DTOP_SELECTARG2:
        return index == 2;
    case D3DTOP_MULTIPLYADD:
    case D3DTOP_LERP:
        return true;
    default:
        return index != 0;
    }
}

bool ReadsSource(const StageSetup& s, DWORD source) {
    for (int i = 0; i < 3; ++i) {
        if (UsesArgument(s.colorOp, i) && (s.colorArg[i] & D3DTA_SELECTMASK) == source)
            return true;
        if (UsesArgument(s.alphaOp, i) && (s.alphaArg[i] & D3DTA_SELECTMASK) == source)
            return true;
    }
    return false;
}

} // namespace

StageSetup ReadStageSetup(const DWORD* ts) {
    StageSetup s;
    s.colorOp = ts[D3DTSS_COLOROP];
    s.colorArg[0] = ts[D3DTSS_COLORARG0];
    s.colorArg[1] = ts[D3DTSS_COLORARG1];
    s.colorArg[2] = ts[D3DTSS_COLORARG2];
    s.alphaOp = ts[D3DTSS_ALPHAOP];
    s.alphaArg[0] = ts[D3DTSS_ALPHAARG0];
    s.alphaArg[1] = ts[D3DTSS_ALPHAARG1];
    s.alphaArg[2] = ts[D3DTSS_ALPHAARG2];
    s.resultToTemp = (ts[D3DTSS_RESULTARG] & D3DTA_SELECTMASK) == D3DTA_TEMP;
    s.constant = UnpackColor(ts[D3DTSS_CONSTANT]);
    return s;
}

bool StageReadsTexture(const StageSetup& s) {
    const auto usesTextureAlpha = [](DWORD op) {
        return op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM;
    };
    return ReadsSource(s, D3DTA_TEXTURE) || usesTextureAlpha(s.colorOp) || usesTextureAlpha(s.alphaOp);
}

bool StageReadsSpecular(const StageSetup& s) {
    return ReadsSource(s, D3DTA_SPECULAR);
}

void RunStage(const StageSetup& s, StageRegisters& r) {
    Rgba colorArgs[3];
    for (int i = 0; i < 3; ++i)
        colorArgs[i] = SelectArgument(s.colorArg[i], s, r);
    Rgba result;
    if (s.colorOp == D3DTOP_DOTPRODUCT3) {
        // The dot product goes to all four channels, alpha included.
        const int d = DotProduct3(colorArgs[1], colorArgs[2]);
        result = {d, d, d, d};
    } else {
        result.r = Operate(s.colorOp, colorArgs, 0, r);
        result.g = Operate(s.colorOp, colorArgs, 1, r);
        result.b = Operate(s.colorOp, colorArgs, 2, r);
        if (s.alphaOp == D3DTOP_DISABLE) {
            result.a = r.current.a;
        } else {
            Rgba alphaArgs[3];
            for (int i = 0; i < 3; ++i)
                alphaArgs[i] = SelectArgument(s.alphaArg[i], s, r);
            result.a = Operate(s.alphaOp, alphaArgs, 3, r);
        }
    }
    if (s.resultToTemp)
        r.temp = result;
    else
        r.current = result;
}
