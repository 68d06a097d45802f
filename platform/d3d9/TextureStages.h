#pragma once
// The texture stage cascade: each enabled stage combines its arguments (texture, diffuse,
// current, texture factor, specular, temporary, constant) with its colour and alpha operations,
// in 8-bit channels with rounding.

#include "platform/d3d9/D3D9Types.h"

struct Rgba {
    int r, g, b, a;
};

inline Rgba UnpackColor(DWORD c) {
    return {int((c >> 16) & 255), int((c >> 8) & 255), int(c & 255), int(c >> 24)};
}
inline DWORD PackColor(const Rgba& c) {
    return (DWORD(c.a) << 24) | (DWORD(c.r) << 16) | (DWORD(c.g) << 8) | DWORD(c.b);
}

// a * b / 255, rounded to nearest.
inline int Mul255(int a, int b) {
    const int t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

struct StageSetup {
    DWORD colorOp = D3DTOP_DISABLE;
    DWORD colorArg[3] = {D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_CURRENT}; // arg0, arg1, arg2
    DWORD alphaOp = D3DTOP_DISABLE;
    DWORD alphaArg[3] = {D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_CURRENT};
    bool resultToTemp = false;
    Rgba constant{};
};

// Reads a stage's states; `stageStates` is the D3DTSS_* array of one stage.
StageSetup ReadStageSetup(const DWORD* stageStates);

// Whether a stage reads its texture at all (an argument or an operation that uses it).
bool StageReadsTexture(const StageSetup& stage);
bool StageReadsSpecular(const StageSetup& stage);

// The registers the stages read and write for one pixel.
struct StageRegisters {
    Rgba diffuse;
    Rgba specular;
    Rgba textureFactor;
    Rgba current;
    Rgba temp;
    Rgba texture; // the texel of the stage being run
};

// Runs one stage on the registers.
void RunStage(const StageSetup& stage, StageRegisters& regs);
