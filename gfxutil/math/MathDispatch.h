#pragma once
// The process-wide table through which the six dispatched math operations are called, and the
// processor-specific sets that can fill it. The table starts unresolved; the first call of any
// dispatched operation picks the best set for this processor and the "DisablePSGP" /
// "DisableD3DXPSGP" switches. Tests and benchmarks use this header to check the choice and to
// call each set directly.

#include "gfxutil/math/D3DXMath.h"
#include "platform/os/WinTypes.h"

using NormalizeFunction = D3DXVECTOR3* (*)(D3DXVECTOR3* out, const D3DXVECTOR3* in);
using MultiplyFunction = D3DXMATRIX* (*)(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2);
using ThreeFloatFunction = D3DXMATRIX* (*)(D3DXMATRIX* out, float x, float y, float z);
using RotationFunction = D3DXMATRIX* (*)(D3DXMATRIX* out, float angle);

// One function per dispatched operation. In a variant set, a null entry means the set keeps
// whatever was installed before it.
struct MathFunctionSet {
    NormalizeFunction normalize = nullptr;
    MultiplyFunction multiply = nullptr;
    ThreeFloatFunction scaling = nullptr;
    ThreeFloatFunction translation = nullptr;
    RotationFunction rotationY = nullptr;
    RotationFunction rotationZ = nullptr;
};

// The state word: unresolved, or which variant set was chosen.
constexpr DWORD kMathStateUnresolved = 0xFFFF;
constexpr DWORD kMathStatePortable = 0; // portable set with the x87-tuned replacements
constexpr DWORD kMathState3DNow = 1;
constexpr DWORD kMathStateSSE2 = 2;
constexpr DWORD kMathStateSSE = 3;

DWORD GetMathDispatchState();
MathFunctionSet GetMathDispatchEntries();

// Puts the table back to unresolved with every entry at its resolver stub, so a test can watch
// a fresh resolution. The program itself never calls it.
void ResetMathDispatch();

// The variant sets. The portable set fills all six operations; the others only the operations
// they replace. A null pointer means the set is not built for this processor family or compiler.
const MathFunctionSet& PortableMathFunctions();
const MathFunctionSet& X87TunedMathFunctions();
const MathFunctionSet* ThreeDNowMathFunctions();
const MathFunctionSet* Sse2MathFunctions();
const MathFunctionSet* SseMathFunctions();
