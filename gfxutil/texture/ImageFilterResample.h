#pragma once
// Separable resampling: per axis, a weight table says which source texels each target pixel takes.
// Used by the linear and triangle filters in two and three dimensions.

#include "gfxutil/texture/ImageFilter.h"
#include "gfxutil/texture/ImageFilterStages.h"

// Resamples the source block into the target block; the weight tables map source to target
// sizes along x, y and z. Results are clamped to the writer's range.
void Resample(SourceRows& source, TargetRows& target, const AxisWeights& alongX, const AxisWeights& alongY,
              const AxisWeights& alongZ);
