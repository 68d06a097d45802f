#include "gfxutil/texture/ImageFilterResample.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Horizontally resampled source rows are kept while target rows still need them; the cache never
// holds more than about this many bytes unless a single target row needs more.
constexpr std::size_t kRowCacheBudget = std::size_t{64} << 20;

class ResampledRows {
public:
    ResampledRows(SourceRows& source, const AxisWeights& alongX, UINT capacity)
        : source_(source), alongX_(alongX), sourceRow_(source.Block().width), slots_(capacity) {}

    // Source row `y` of slice `z` resampled to the target width.
    const std::vector<Color4>& Row(UINT y, UINT z) {
        ++clock_;
        Slot* victim = &slots_[0];
        for (Slot& slot : slots_) {
            if (slot.valid && slot.y == y && slot.z == z) {
                slot.lastUse = clock_;
                return slot.pixels;
            }
            if (!slot.valid || slot.lastUse < victim->lastUse)
                victim = &slot;
        }
        Fill(*victim, y, z);
        return victim->pixels;
    }

private:
    struct Slot {
        bool valid = false;
        UINT y = 0;
        UINT z = 0;
        std::uint64_t lastUse = 0;
        std::vector<Color4> pixels;
    };

    void Fill(Slot& slot, UINT y, UINT z) {
        source_.Read(0, y, z, static_cast<UINT>(sourceRow_.size()), sourceRow_.data());
        const UINT width = alongX_.TargetSize();
        slot.pixels.resize(width);
        for (UINT x = 0; x < width; ++x) {
            Color4 sum{0, 0, 0, 0};
            for (const FilterTap* tap = alongX_.TapsBegin(x); tap != alongX_.TapsEnd(x); ++tap) {
                const Color4& c = sourceRow_[tap->source];
                sum.r += c.r * tap->weight;
                sum.g += c.g * tap->weight;
                sum.b += c.b * tap->weight;
                sum.a += c.a * tap->weight;
            }
            slot.pixels[x] = sum;
        }
        slot.valid = true;
        slot.y = y;
        slot.z = z;
        slot.lastUse = clock_;
    }

    SourceRows& source_;
    const AxisWeights& alongX_;
    std::vector<Color4> sourceRow_;
    std::vector<Slot> slots_;
    std::uint64_t clock_ = 0;
};

UINT CacheCapacity(const AxisWeights& alongX, const AxisWeights& alongY, const AxisWeights& alongZ) {
    const std::size_t rowBytes = std::max<std::size_t>(1, alongX.TargetSize()) * sizeof(Color4);
    const std::size_t needed = std::size_t{alongY.MaxTaps()} * alongZ.MaxTaps() + 2;
    const std::size_t affordable = std::max<std::size_t>(4, kRowCacheBudget / rowBytes);
    return static_cast<UINT>(std::min(needed, affordable));
}

} // namespace

void Resample(SourceRows& source, TargetRows& target, const AxisWeights& alongX, const AxisWeights& alongY,
              const AxisWeights& alongZ) {
    ResampledRows rows(source, alongX, CacheCapacity(alongX, alongY, alongZ));
    const UINT width = alongX.TargetSize();
    std::vector<Color4> sum(width);
    for (UINT z = 0; z < alongZ.TargetSize(); ++z) {
        target.BeginSlice();
        for (UINT y = 0; y < alongY.TargetSize(); ++y) {
            std::fill(sum.begin(), sum.end(), Color4{0, 0, 0, 0});
            for (const FilterTap* tz = alongZ.TapsBegin(z); tz != alongZ.TapsEnd(z); ++tz) {
                for (const FilterTap* ty = alongY.TapsBegin(y); ty != alongY.TapsEnd(y); ++ty) {
                    const float weight = tz->weight * ty->weight;
                    const std::vector<Color4>& row = rows.Row(ty->source, tz->source);
                    for (UINT x = 0; x < width; ++x) {
                        sum[x].r += row[x].r * weight;
                        sum[x].g += row[x].g * weight;
                        sum[x].b += row[x].b * weight;
                        sum[x].a += row[x].a * weight;
                    }
                }
            }
            target.Write(y, z, sum.data(), width, true);
        }
    }
}
