#include "gfxutil/texture/ImageFilterStages.h"

#include <algorithm>
#include <cmath>

namespace {

DWORD ToByte(float value) {
    const float clamped = value > 1.0f ? 1.0f : (value >= 0.0f ? value : 0.0f); // not-a-number gives 0
    return static_cast<DWORD>(std::floor(clamped * 255.0f + 0.5f));
}

} // namespace

D3DCOLOR ToArgb(const Color4& colour) {
    return (ToByte(colour.a) << 24) | (ToByte(colour.r) << 16) | (ToByte(colour.g) << 8) | ToByte(colour.b);
}

SourceRows::SourceRows(const PixelSource& source, std::unique_ptr<PixelReader> reader, D3DCOLOR colorKey,
                       bool srgbIn)
    : source_(source), reader_(std::move(reader)), colorKey_(colorKey), srgbIn_(srgbIn) {}

void SourceRows::Read(UINT x, UINT y, UINT z, UINT count, Color4* out) const {
    const BYTE* slice = source_.bits + (source_.front + z) * source_.slicePitch;
    reader_->ReadRow(slice, source_.rowPitch, source_.top + y, source_.left + x, count, out);
    if (colorKey_ != 0) {
        for (UINT i = 0; i < count; ++i)
            if (ToArgb(out[i]) == colorKey_)
                out[i] = {0.0f, 0.0f, 0.0f, 0.0f};
    }
    if (srgbIn_) {
        for (UINT i = 0; i < count; ++i) {
            out[i].r = SrgbToLinear(out[i].r);
            out[i].g = SrgbToLinear(out[i].g);
            out[i].b = SrgbToLinear(out[i].b);
        }
    }
}

TargetRows::TargetRows(const PixelTarget& target, std::unique_ptr<PixelWriter> writer, bool srgbOut)
    : target_(target), writer_(std::move(writer)), srgbOut_(srgbOut) {}

void TargetRows::Write(UINT y, UINT z, Color4* row, UINT count, bool clamp) {
    if (clamp) {
        const float low = writer_->IsSigned() ? -1.0f : 0.0f;
        for (UINT i = 0; i < count; ++i) {
            row[i].r = std::clamp(row[i].r, low, 1.0f);
            row[i].g = std::clamp(row[i].g, low, 1.0f);
            row[i].b = std::clamp(row[i].b, low, 1.0f);
            row[i].a = std::clamp(row[i].a, low, 1.0f);
        }
    }
    if (srgbOut_) {
        for (UINT i = 0; i < count; ++i) {
            row[i].r = LinearToSrgb(std::max(row[i].r, 0.0f));
            row[i].g = LinearToSrgb(std::max(row[i].g, 0.0f));
            row[i].b = LinearToSrgb(std::max(row[i].b, 0.0f));
        }
    }
    writer_->WriteRow(row, target_.bits + z * target_.slicePitch + y * target_.rowPitch, count);
}
