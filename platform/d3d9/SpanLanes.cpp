#include "platform/d3d9/SpanLaneKernels.h"

// The AVX2 build of the same code (SpanLanesAvx2.cpp).
#if defined(__x86_64__) || defined(__i386__)
void ComputeLanesAvx2(const LaneSetup& setup, int x, LaneResults& results);
LaneSpanFunction PickShadeLanesAvx2(int blend, bool depth, bool second);
#endif

namespace {

void ComputeLanesBase(const LaneSetup& s, int x, LaneResults& r) {
    ComputeLanes(s, x, r);
}

bool HasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

const SpanSet* overrideSet = nullptr;

} // namespace

SpanSet ActiveSpanSet() {
    static const bool avx2 = HasAvx2();
    if (overrideSet && (*overrideSet == SpanSet::Base || avx2))
        return *overrideSet;
    return avx2 ? SpanSet::Avx2 : SpanSet::Base;
}

void SetSpanSetOverride(const SpanSet* set) {
    overrideSet = set;
}

LaneFunction ChooseLaneFunction() {
#if defined(__x86_64__) || defined(__i386__)
    if (ActiveSpanSet() == SpanSet::Avx2)
        return ComputeLanesAvx2;
#endif
    return ComputeLanesBase;
}

LaneSpanFunction ChooseLaneSpanFunction(int blend, bool depth, bool second) {
#if defined(__x86_64__) || defined(__i386__)
    if (ActiveSpanSet() == SpanSet::Avx2)
        return PickShadeLanesAvx2(blend, depth, second);
#endif
    return PickShadeLanes(blend, depth, second);
}
