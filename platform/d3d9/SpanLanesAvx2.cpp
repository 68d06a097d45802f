// The span lanes built for AVX2 (this file is compiled with it enabled on x86); the processor's
// support is checked before any of it runs.

#if defined(__x86_64__) || defined(__i386__)

#include "platform/d3d9/SpanLaneKernels.h"

void ComputeLanesAvx2(const LaneSetup& setup, int x, LaneResults& results) {
    ComputeLanes(setup, x, results);
}

LaneSpanFunction PickShadeLanesAvx2(int blend, bool depth, bool second) {
    return PickShadeLanes(blend, depth, second);
}

#endif
