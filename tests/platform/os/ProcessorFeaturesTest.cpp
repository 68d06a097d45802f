#include "platform/os/ProcessorFeatures.h"

#include <gtest/gtest.h>

namespace {

bool SameFeatures(const ProcessorFeatures& a, const ProcessorFeatures& b) {
    return a.hasCpuid == b.hasCpuid && a.mmx == b.mmx && a.sse == b.sse && a.sse2 == b.sse2 &&
           a.amd3DNow == b.amd3DNow && a.amd3DNowExt == b.amd3DNowExt && a.amdMmxExt == b.amdMmxExt;
}

TEST(ProcessorFeatures, OverrideIsReportedAndRemoved) {
    const ProcessorFeatures real = GetProcessorFeatures();

    ProcessorFeatures only3DNow;
    only3DNow.hasCpuid = true;
    only3DNow.mmx = true;
    only3DNow.amd3DNow = true;
    SetProcessorFeaturesOverride(&only3DNow);
    only3DNow.mmx = false; // the override is a copy

    EXPECT_TRUE(GetProcessorFeatures().mmx);
    EXPECT_FALSE(GetProcessorFeatures().sse2);
    EXPECT_TRUE(IsProcessorFeaturePresent(PF_3DNOW_INSTRUCTIONS_AVAILABLE));
    EXPECT_TRUE(IsProcessorFeaturePresent(PF_MMX_INSTRUCTIONS_AVAILABLE));
    EXPECT_FALSE(IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE));
    EXPECT_FALSE(IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE));

    SetProcessorFeaturesOverride(nullptr);
    EXPECT_TRUE(SameFeatures(GetProcessorFeatures(), real));
}

TEST(ProcessorFeatures, OperatingSystemViewMatchesTheProcessor) {
    const ProcessorFeatures& features = GetProcessorFeatures();
    EXPECT_EQ(IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE) != FALSE, features.sse);
    EXPECT_EQ(IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE, features.sse2);
    EXPECT_FALSE(IsProcessorFeaturePresent(12345));
#if defined(__x86_64__)
    // Every x86-64 processor has CPUID, MMX, SSE and SSE2.
    EXPECT_TRUE(features.hasCpuid);
    EXPECT_TRUE(features.mmx);
    EXPECT_TRUE(features.sse);
    EXPECT_TRUE(features.sse2);
#elif !defined(__i386__)
    EXPECT_FALSE(features.hasCpuid);
    EXPECT_FALSE(features.mmx);
#endif
}

} // namespace
