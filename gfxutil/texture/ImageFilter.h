#pragma once
// Per-axis weight tables of the separable resampling filters: which source texels each
// destination pixel takes, and how much of each.

#include <vector>

#include "platform/os/WinTypes.h"

struct FilterTap {
    UINT source;
    float weight;
};

class AxisWeights {
public:
    // Destination pixel i takes texels floor(x) and floor(x) + 1 of the source, x = (i + 0.5) *
    // source / target - 0.5, weighted 1 - frac(x) and frac(x). Beyond an edge the texels wrap
    // around, or with `mirror` the edge texel is used.
    static AxisWeights Linear(UINT source, UINT target, bool mirror);

    // Each source texel j spreads over the destination as a tent peaking at (j + 0.5) * s,
    // s = target / source, falling to 0 at distance s; a destination pixel takes the integral of
    // the tent over its extent. Beyond an edge the tents wrap around, or with `mirror` they are cut
    // at the edge and the outer halves of the first and last tents are flat at full height.
    static AxisWeights Triangle(UINT source, UINT target, bool mirror);

    // Destination pixel i takes only source texel i.
    static AxisWeights Identity(UINT size);

    UINT TargetSize() const { return static_cast<UINT>(first_.size()) - 1; }
    const FilterTap* TapsBegin(UINT target) const { return taps_.data() + first_[target]; }
    const FilterTap* TapsEnd(UINT target) const { return taps_.data() + first_[target + 1]; }
    UINT MaxTaps() const;

private:
    static AxisWeights Flatten(const std::vector<std::vector<FilterTap>>& perPixel);

    std::vector<UINT> first_; // taps of pixel i: [first_[i], first_[i + 1])
    std::vector<FilterTap> taps_;
};
