#pragma once
// The box filter: each target pixel is the average of a 2 x 2 (x 2) block of the source, for
// targets exactly half the source in each dimension (or 1 where the source is 1).

#include "gfxutil/texture/ImageFilterStages.h"

// Whether the box filter applies to these sizes: in two dimensions when both depths are 1,
// otherwise in three.
bool BoxFilterApplies2D(const PixelSource& source, const PixelTarget& target);
bool BoxFilterApplies3D(const PixelSource& source, const PixelTarget& target);

void BoxFilter2D(SourceRows& source, TargetRows& target);
void BoxFilter3D(SourceRows& source, TargetRows& target);

// The same as BoxFilter2D for formats whose channels are whole bytes, source and target in the
// same format, no colour key, sRGB or dithering. False when it does not apply.
bool BoxFilter2DBytes(const PixelSource& source, const PixelTarget& target);
