#pragma once
// Shared helpers for the math tests: each test starts from an unresolved dispatch table with
// the processor switches cleared, and leaves it that way.

#include "gfxutil/math/MathDispatch.h"
#include "platform/os/ProcessorFeatures.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

inline std::uint32_t Bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

// p' = p * M for the row vector p = (x, y, z, w).
struct Row4 {
    double v[4];
};

inline Row4 TransformRow(const Row4& p, const D3DXMATRIX& m) {
    Row4 result{};
    for (int col = 0; col < 4; ++col) {
        for (int k = 0; k < 4; ++k) {
            result.v[col] += p.v[k] * m.m[k][col];
        }
    }
    return result;
}

class MathDispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 2; ++i) {
            const char* value = std::getenv(kSwitches[i]);
            saved_[i] = value ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(kSwitches[i]);
        }
        SetProcessorFeaturesOverride(nullptr);
        ResetMathDispatch();
    }

    void TearDown() override {
        for (int i = 0; i < 2; ++i) {
            if (saved_[i]) {
                setenv(kSwitches[i], saved_[i]->c_str(), 1);
            } else {
                unsetenv(kSwitches[i]);
            }
        }
        SetProcessorFeaturesOverride(nullptr);
        ResetMathDispatch();
    }

    static constexpr const char* kSwitches[2] = {"DisablePSGP", "DisableD3DXPSGP"};
    std::optional<std::string> saved_[2];
};
