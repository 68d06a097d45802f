#include "gfxutil/math/MathDispatch.h"

#include "gfxutil/math/AllocatorCheck.h"
#include "platform/os/ProcessorFeatures.h"
#include "platform/os/SwitchStore.h"

namespace {

void ResolveMathDispatch();

// Each entry starts at its own stub: resolve, then forward the very same call.
D3DXVECTOR3* NormalizeStub(D3DXVECTOR3* out, const D3DXVECTOR3* in);
D3DXMATRIX* MultiplyStub(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2);
D3DXMATRIX* ScalingStub(D3DXMATRIX* out, float sx, float sy, float sz);
D3DXMATRIX* TranslationStub(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* RotationYStub(D3DXMATRIX* out, float angle);
D3DXMATRIX* RotationZStub(D3DXMATRIX* out, float angle);

constexpr MathFunctionSet kStubs{NormalizeStub,   MultiplyStub,  ScalingStub,
                                 TranslationStub, RotationYStub, RotationZStub};

struct DispatchTable {
    MathFunctionSet entries;
    DWORD state;
};

// Constant-initialised, so calls from other static initialisers find the stubs in place.
constinit DispatchTable table{kStubs, kMathStateUnresolved};

D3DXVECTOR3* NormalizeStub(D3DXVECTOR3* out, const D3DXVECTOR3* in) {
    ResolveMathDispatch();
    return table.entries.normalize(out, in);
}

D3DXMATRIX* MultiplyStub(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    ResolveMathDispatch();
    return table.entries.multiply(out, m1, m2);
}

D3DXMATRIX* ScalingStub(D3DXMATRIX* out, float sx, float sy, float sz) {
    ResolveMathDispatch();
    return table.entries.scaling(out, sx, sy, sz);
}

D3DXMATRIX* TranslationStub(D3DXMATRIX* out, float x, float y, float z) {
    ResolveMathDispatch();
    return table.entries.translation(out, x, y, z);
}

D3DXMATRIX* RotationYStub(D3DXMATRIX* out, float angle) {
    ResolveMathDispatch();
    return table.entries.rotationY(out, angle);
}

D3DXMATRIX* RotationZStub(D3DXMATRIX* out, float angle) {
    ResolveMathDispatch();
    return table.entries.rotationZ(out, angle);
}

template <typename Function> void Replace(Function& entry, Function replacement) {
    if (replacement != nullptr) {
        entry = replacement;
    }
}

void Install(const MathFunctionSet& set) {
    Replace(table.entries.normalize, set.normalize);
    Replace(table.entries.multiply, set.multiply);
    Replace(table.entries.scaling, set.scaling);
    Replace(table.entries.translation, set.translation);
    Replace(table.entries.rotationY, set.rotationY);
    Replace(table.entries.rotationZ, set.rotationZ);
}

// "DisablePSGP", replaced by "DisableD3DXPSGP" when that one is present; missing counts as 0.
// 1 keeps the portable set, 2 skips 3DNow!.
DWORD ReadDisableSwitch() {
    DWORD value = 0;
    DWORD read = 0;
    if (ReadSwitch("DisablePSGP", &read)) {
        value = read;
    }
    if (ReadSwitch("DisableD3DXPSGP", &read)) {
        value = read;
    }
    return value;
}

// A processor that reports 3DNow! gets the 3DNow! set where it is built. Where it is not built
// (other compilers), the choice goes on to SSE2 and SSE, which such processors may also have.
bool InstallThreeDNow() {
    const MathFunctionSet* threeDNow = ThreeDNowMathFunctions();
    if (threeDNow == nullptr || !IsProcessorFeaturePresent(PF_3DNOW_INSTRUCTIONS_AVAILABLE)) {
        return false;
    }
    table.state = kMathState3DNow;
    const ProcessorFeatures& features = GetProcessorFeatures();
    if (features.mmx && features.amd3DNow) {
        Install(*threeDNow);
    }
    return true;
}

bool InstallSse2() {
    const MathFunctionSet* sse2 = Sse2MathFunctions();
    if (sse2 == nullptr || !GetProcessorFeatures().sse2) {
        return false;
    }
    table.state = kMathStateSSE2;
    Install(*sse2);
    return true;
}

bool InstallSse() {
    const MathFunctionSet* sse = SseMathFunctions();
    if (sse == nullptr || !IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE)) {
        return false;
    }
    table.state = kMathStateSSE;
    Install(*sse);
    return true;
}

void ResolveMathDispatch() {
    CheckGlobalAllocatorOnce();
    if (table.state != kMathStateUnresolved) {
        return;
    }
    table.state = kMathStatePortable;
    Install(PortableMathFunctions());
    Install(X87TunedMathFunctions());

    const DWORD disable = ReadDisableSwitch();
    if (disable == 1) {
        return;
    }
    if (disable != 2 && InstallThreeDNow()) {
        return;
    }
    if (InstallSse2()) {
        return;
    }
    InstallSse();
}

} // namespace

DWORD GetMathDispatchState() {
    return table.state;
}

MathFunctionSet GetMathDispatchEntries() {
    return table.entries;
}

void ResetMathDispatch() {
    table = DispatchTable{kStubs, kMathStateUnresolved};
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* in) {
    return table.entries.normalize(out, in);
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    return table.entries.multiply(out, m1, m2);
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    return table.entries.scaling(out, sx, sy, sz);
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    return table.entries.translation(out, x, y, z);
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    return table.entries.rotationY(out, angle);
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    return table.entries.rotationZ(out, angle);
}
