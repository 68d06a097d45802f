#include "gfxutil/texture/ImageFilter.h"

#include <algorithm>
#include <cmath>

namespace {

// Triangle contributions smaller than this are dropped.
constexpr double kNegligibleWeight = 1e-5;

UINT WrapIndex(long long index, UINT size) {
    const long long m = index % static_cast<long long>(size);
    return static_cast<UINT>(m < 0 ? m + size : m);
}

// Collects the taps of one destination pixel, merging repeated texels.
void AddTap(std::vector<FilterTap>& taps, UINT source, double weight) {
    for (FilterTap& tap : taps) {
        if (tap.source == source) {
            tap.weight += static_cast<float>(weight);
            return;
        }
    }
    taps.push_back({source, static_cast<float>(weight)});
}

// The integral over [a, b] of the ramp rising from 0 at `start` to 1 at `start + s`.
double RampIntegral(double start, double s, double a, double b) {
    const double lo = std::max(a, start);
    const double hi = std::min(b, start + s);
    if (hi <= lo)
        return 0.0;
    const double u = lo - start;
    const double v = hi - start;
    return (v * v - u * u) / (2 * s);
}

double FlatIntegral(double start, double end, double a, double b) {
    return std::max(0.0, std::min(b, end) - std::max(a, start));
}

struct Tent {
    double centre;
    double halfWidth;
    bool flatLeft;
    bool flatRight;

    // The integral of the tent over [a, b].
    double Integral(double a, double b) const {
        const double left = flatLeft ? FlatIntegral(centre - halfWidth, centre, a, b)
                                     : RampIntegral(centre - halfWidth, halfWidth, a, b);
        // The falling half, mirrored so it becomes a rising ramp.
        const double right = flatRight ? FlatIntegral(centre, centre + halfWidth, a, b)
                                       : RampIntegral(-(centre + halfWidth), halfWidth, -b, -a);
        return left + right;
    }
};

using TapsPerPixel = std::vector<std::vector<FilterTap>>;

} // namespace

AxisWeights AxisWeights::Flatten(const TapsPerPixel& perPixel) {
    AxisWeights weights;
    weights.first_.push_back(0);
    for (const auto& taps : perPixel) {
        weights.taps_.insert(weights.taps_.end(), taps.begin(), taps.end());
        weights.first_.push_back(static_cast<UINT>(weights.taps_.size()));
    }
    return weights;
}

AxisWeights AxisWeights::Linear(UINT source, UINT target, bool mirror) {
    TapsPerPixel perPixel(target);
    const double scale = static_cast<double>(source) / target;
    for (UINT i = 0; i < target; ++i) {
        const double x = (i + 0.5) * scale - 0.5;
        const double base = std::floor(x);
        const double frac = x - base;
        const auto first = static_cast<long long>(base);
        const long long indices[2] = {first, first + 1};
        const double weights[2] = {1.0 - frac, frac};
        for (int k = 0; k < 2; ++k) {
            if (weights[k] <= 0.0)
                continue;
            const UINT index = mirror ? static_cast<UINT>(std::clamp<long long>(indices[k], 0, source - 1))
                                      : WrapIndex(indices[k], source);
            AddTap(perPixel[i], index, weights[k]);
        }
    }
    return Flatten(perPixel);
}

AxisWeights AxisWeights::Triangle(UINT source, UINT target, bool mirror) {
    TapsPerPixel perPixel(target);
    const double s = static_cast<double>(target) / source;
    for (UINT j = 0; j < source; ++j) {
        const Tent tent{(j + 0.5) * s, s, mirror && j == 0, mirror && j == source - 1};
        const auto firstPixel = static_cast<long long>(std::floor(tent.centre - s));
        const auto lastPixel = static_cast<long long>(std::ceil(tent.centre + s));
        for (long long p = firstPixel; p < lastPixel; ++p) {
            if (mirror && (p < 0 || p >= static_cast<long long>(target)))
                continue; // cut at the edge
            const double weight = tent.Integral(static_cast<double>(p), static_cast<double>(p + 1));
            if (weight < kNegligibleWeight)
                continue;
            AddTap(perPixel[WrapIndex(p, target)], j, weight);
        }
    }
    return Flatten(perPixel);
}

AxisWeights AxisWeights::Identity(UINT size) {
    AxisWeights weights;
    weights.first_.reserve(size + 1);
    weights.taps_.reserve(size);
    weights.first_.push_back(0);
    for (UINT i = 0; i < size; ++i) {
        weights.taps_.push_back({i, 1.0f});
        weights.first_.push_back(i + 1);
    }
    return weights;
}

UINT AxisWeights::MaxTaps() const {
    UINT most = 0;
    for (std::size_t i = 0; i + 1 < first_.size(); ++i)
        most = std::max(most, first_[i + 1] - first_[i]);
    return most;
}
