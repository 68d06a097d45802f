#pragma once
// What the processor offers, read once from CPUID (x86 only; elsewhere everything is false).

#include "platform/os/WinTypes.h"

struct ProcessorFeatures {
    bool hasCpuid = false;
    bool mmx = false;         // leaf 1, EDX bit 23
    bool sse = false;         // leaf 1, EDX bit 25
    bool sse2 = false;        // leaf 1, EDX bit 26
    bool amd3DNow = false;    // leaf 0x80000001, EDX bit 31
    bool amd3DNowExt = false; // leaf 0x80000001, EDX bit 30
    bool amdMmxExt = false;   // leaf 0x80000001, EDX bit 22
};

// The features of this processor, or the override installed for tests.
const ProcessorFeatures& GetProcessorFeatures();

// Replaces what GetProcessorFeatures reports (null restores the real processor). For tests.
void SetProcessorFeaturesOverride(const ProcessorFeatures* features);

constexpr DWORD PF_MMX_INSTRUCTIONS_AVAILABLE = 3;
constexpr DWORD PF_XMMI_INSTRUCTIONS_AVAILABLE = 6;
constexpr DWORD PF_3DNOW_INSTRUCTIONS_AVAILABLE = 7;
constexpr DWORD PF_XMMI64_INSTRUCTIONS_AVAILABLE = 10;

// The operating system's view of the same features, as the Win32 call answers it.
BOOL IsProcessorFeaturePresent(DWORD feature);
