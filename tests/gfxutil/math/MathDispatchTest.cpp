// Choosing the variant set on the first call, from the processor and the switches.

#include "MathTestSupport.h"

#include "gfxutil/math/AllocatorCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const ProcessorFeatures kNone{.hasCpuid = true};
const ProcessorFeatures kOnlySse{.hasCpuid = true, .sse = true};
const ProcessorFeatures kSse2{.hasCpuid = true, .sse = true, .sse2 = true};
const ProcessorFeatures kAmd{.hasCpuid = true, .mmx = true, .sse = true, .sse2 = true, .amd3DNow = true};
const DWORD kSse2State = Sse2MathFunctions() ? kMathStateSSE2 : kMathStatePortable;

// Resolves with a call every processor can run, whatever set gets installed.
DWORD ResolveOn(const ProcessorFeatures& features) {
    ResetMathDispatch();
    SetProcessorFeaturesOverride(&features);
    EXPECT_EQ(GetMathDispatchState(), kMathStateUnresolved);
    D3DXMATRIX m;
    D3DXMatrixScaling(&m, 1.0f, 2.0f, 3.0f);
    return GetMathDispatchState();
}

void ExpectPortableWithX87Tuned() {
    const MathFunctionSet entries = GetMathDispatchEntries();
    EXPECT_EQ(entries.normalize, X87TunedMathFunctions().normalize);
    EXPECT_EQ(entries.multiply, X87TunedMathFunctions().multiply);
    EXPECT_EQ(entries.scaling, PortableMathFunctions().scaling);
    EXPECT_EQ(entries.translation, PortableMathFunctions().translation);
    EXPECT_EQ(entries.rotationY, PortableMathFunctions().rotationY);
    EXPECT_EQ(entries.rotationZ, PortableMathFunctions().rotationZ);
}

TEST_F(MathDispatchTest, FirstCallOfEachOperationResolvesAndForwardsItsArguments) {
    const D3DXVECTOR3 in(0.0f, 3.0f, 4.0f);
    D3DXVECTOR3 v;
    EXPECT_EQ(GetMathDispatchState(), kMathStateUnresolved);
    EXPECT_EQ(D3DXVec3Normalize(&v, &in), &v);
    EXPECT_NE(GetMathDispatchState(), kMathStateUnresolved);
    EXPECT_NEAR(v.y, 0.6f, 1e-6f);
    EXPECT_NEAR(v.z, 0.8f, 1e-6f);

    D3DXMATRIX m;
    ResetMathDispatch();
    EXPECT_EQ(D3DXMatrixScaling(&m, 2.0f, 3.0f, 4.0f), &m);
    EXPECT_TRUE(m._11 == 2.0f && m._22 == 3.0f && m._33 == 4.0f && m._44 == 1.0f && m._41 == 0.0f);
    ResetMathDispatch();
    EXPECT_EQ(D3DXMatrixTranslation(&m, 5.0f, 6.0f, 7.0f), &m);
    EXPECT_TRUE(m._41 == 5.0f && m._42 == 6.0f && m._43 == 7.0f && m._11 == 1.0f && m._14 == 0.0f);
    ResetMathDispatch();
    EXPECT_EQ(D3DXMatrixRotationY(&m, 0.5f), &m);
    EXPECT_NEAR(m._31, std::sin(0.5f), 1e-6f);
    ResetMathDispatch();
    EXPECT_EQ(D3DXMatrixRotationZ(&m, 0.25f), &m);
    EXPECT_NEAR(m._12, std::sin(0.25f), 1e-6f);

    D3DXMATRIX a;
    D3DXMATRIX b;
    PortableMathFunctions().scaling(&a, 2.0f, 2.0f, 2.0f);
    PortableMathFunctions().translation(&b, 1.0f, 0.0f, 0.0f);
    ResetMathDispatch();
    EXPECT_EQ(D3DXMatrixMultiply(&m, &a, &b), &m);
    EXPECT_NE(GetMathDispatchState(), kMathStateUnresolved);
    EXPECT_TRUE(m._11 == 2.0f && m._41 == 1.0f);
}

TEST_F(MathDispatchTest, PicksTheSetTheProcessorOffersInOrder) {
    EXPECT_EQ(ResolveOn(kNone), kMathStatePortable);
    ExpectPortableWithX87Tuned();

    EXPECT_EQ(ResolveOn(kSse2), kSse2State);
    if (const MathFunctionSet* sse2 = Sse2MathFunctions()) {
        EXPECT_EQ(GetMathDispatchEntries().normalize, sse2->normalize);
        EXPECT_EQ(GetMathDispatchEntries().multiply, sse2->multiply);
        EXPECT_EQ(GetMathDispatchEntries().rotationY, PortableMathFunctions().rotationY);
    }
    if (const MathFunctionSet* sse = SseMathFunctions()) {
        EXPECT_EQ(ResolveOn(kOnlySse), kMathStateSSE);
        EXPECT_EQ(GetMathDispatchEntries().normalize, sse->normalize);
    }

    // 3DNow! comes first where it is built; elsewhere such a processor gets SSE2.
    const MathFunctionSet* threeDNow = ThreeDNowMathFunctions();
    EXPECT_EQ(ResolveOn(kAmd), threeDNow ? kMathState3DNow : kSse2State);
    if (threeDNow != nullptr) {
        EXPECT_EQ(GetMathDispatchEntries().normalize, threeDNow->normalize);
        EXPECT_EQ(GetMathDispatchEntries().rotationZ, threeDNow->rotationZ);
        EXPECT_EQ(GetMathDispatchEntries().scaling, PortableMathFunctions().scaling);
        // Reported by the system but without CPUID's MMX bit: the state says 3DNow!, the
        // functions stay portable.
        EXPECT_EQ(ResolveOn(ProcessorFeatures{.hasCpuid = true, .amd3DNow = true}), kMathState3DNow);
        ExpectPortableWithX87Tuned();
    }
}

TEST_F(MathDispatchTest, SwitchesLimitTheChoice) {
    setenv("DisablePSGP", "1", 1);
    EXPECT_EQ(ResolveOn(kAmd), kMathStatePortable);
    ExpectPortableWithX87Tuned();

    setenv("DisablePSGP", "2", 1); // skips 3DNow! only
    EXPECT_EQ(ResolveOn(kAmd), kSse2State);

    // The D3DX switch, when present, replaces the general one; not a number counts as missing.
    setenv("DisablePSGP", "1", 1);
    setenv("DisableD3DXPSGP", "0", 1);
    EXPECT_EQ(ResolveOn(kSse2), kSse2State);
    setenv("DisableD3DXPSGP", "yes", 1);
    EXPECT_EQ(ResolveOn(kSse2), kMathStatePortable);
    setenv("DisablePSGP", "0", 1);
    setenv("DisableD3DXPSGP", "1", 1);
    EXPECT_EQ(ResolveOn(kSse2), kMathStatePortable);

    // The public call then behaves as the x87-tuned normalise: within 1e-5 of unit length it
    // returns the input unchanged.
    const D3DXVECTOR3 in(0.999996f, 0.0f, 0.0f);
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &in);
    EXPECT_EQ(Bits(out.x), Bits(in.x));
}

TEST_F(MathDispatchTest, ResolvesOnlyOnce) {
    ResolveOn(kNone);
    SetProcessorFeaturesOverride(&kSse2);
    D3DXVECTOR3 v(1.0f, 1.0f, 0.0f);
    D3DXVec3Normalize(&v, &v);
    EXPECT_EQ(GetMathDispatchState(), kMathStatePortable);
    ExpectPortableWithX87Tuned();
}

std::vector<void*> released;
char arena[2];
int allocations = 0;
void* SamePointer(std::size_t) {
    return &arena[0];
}
void* NullPointer(std::size_t) {
    return nullptr;
}
void* DistinctPointers(std::size_t) {
    return &arena[allocations++ % 2];
}
void Record(void* pointer) {
    released.push_back(pointer);
}

TEST(AllocatorCheck, ZeroByteAllocationsMustBeDistinctAndNonNull) {
    EXPECT_FALSE(ZeroByteAllocationsConform(SamePointer, Record));
    EXPECT_EQ(released, (std::vector<void*>{&arena[0], nullptr})); // released once, then null
    EXPECT_FALSE(ZeroByteAllocationsConform(NullPointer, Record));
    released.clear();
    EXPECT_TRUE(ZeroByteAllocationsConform(DistinctPointers, Record));
    EXPECT_EQ(released, (std::vector<void*>{&arena[0], &arena[1], nullptr}));

    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    WriteAllocatorWarning(file);
    std::rewind(file);
    char text[512] = {};
    const std::size_t length = std::fread(text, 1, sizeof(text) - 1, file);
    std::fclose(file);
    EXPECT_EQ(std::count(text, text + length, '\n'), 4);
    EXPECT_EQ(std::strncmp(text, "D3DX: (WARN) Overloaded ::new and ::delete operators do not conform", 67),
              0);
    EXPECT_NE(std::strstr(text, "D3DX: (WARN) D3DX relies upon this behavior.\n"), nullptr);
}

} // namespace
