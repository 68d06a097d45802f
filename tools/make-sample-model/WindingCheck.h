#pragma once
// Reads the packed frames back as the viewer will and checks every triangle against the part it
// belongs to: the file's corner order must make (b - a) x (c - a) point into the part, and every
// corner's normal must point out of it.

#include <vector>

#include "FramePacking.h"

struct WindingReport {
    int triangles = 0;  // checked, over all frames
    int degenerate = 0; // corners collapsed onto one line by the 8-bit packing
    int woundOutward = 0;
    int normalsInward = 0;

    bool Passed() const { return woundOutward == 0 && normalsInward == 0; }
};

WindingReport CheckWinding(const MD2WriterModel& model, const std::vector<ModelFrame>& frames);
