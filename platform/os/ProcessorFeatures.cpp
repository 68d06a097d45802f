#include "platform/os/ProcessorFeatures.h"

#include <optional>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

bool Bit(unsigned value, int bit) {
    return ((value >> bit) & 1u) != 0;
}

ProcessorFeatures DetectProcessorFeatures() {
    ProcessorFeatures features;
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) == 0) {
        return features;
    }
    features.hasCpuid = true;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
        features.mmx = Bit(edx, 23);
        features.sse = Bit(edx, 25);
        features.sse2 = Bit(edx, 26);
    }
    if (static_cast<unsigned>(__get_cpuid_max(0x80000000u, nullptr)) >= 0x80000001u &&
        __get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx) != 0) {
        features.amd3DNow = Bit(edx, 31);
        features.amd3DNowExt = Bit(edx, 30);
        features.amdMmxExt = Bit(edx, 22);
    }
#endif
    return features;
}

const ProcessorFeatures& RealProcessorFeatures() {
    static const ProcessorFeatures features = DetectProcessorFeatures();
    return features;
}

std::optional<ProcessorFeatures>& FeaturesOverride() {
    static std::optional<ProcessorFeatures> features;
    return features;
}

} // namespace

const ProcessorFeatures& GetProcessorFeatures() {
    const std::optional<ProcessorFeatures>& overridden = FeaturesOverride();
    return overridden ? *overridden : RealProcessorFeatures();
}

void SetProcessorFeaturesOverride(const ProcessorFeatures* features) {
    if (features != nullptr) {
        FeaturesOverride() = *features;
    } else {
        FeaturesOverride().reset();
    }
}

BOOL IsProcessorFeaturePresent(DWORD feature) {
    const ProcessorFeatures& features = GetProcessorFeatures();
    switch (feature) {
    case PF_MMX_INSTRUCTIONS_AVAILABLE:
        return features.mmx ? TRUE : FALSE;
    case PF_XMMI_INSTRUCTIONS_AVAILABLE:
        return features.sse ? TRUE : FALSE;
    case PF_3DNOW_INSTRUCTIONS_AVAILABLE:
        return features.amd3DNow ? TRUE : FALSE;
    case PF_XMMI64_INSTRUCTIONS_AVAILABLE:
        return features.sse2 ? TRUE : FALSE;
    default:
        return FALSE;
    }
}
