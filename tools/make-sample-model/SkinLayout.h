#pragma once
// Where each part of the sample character finds its colours on the 256 x 256 skin.

constexpr int SKIN_SIZE = 256;

// A rectangle of the skin in texels; parts map their own u, v (0..1) into it.
struct SkinRegion {
    int x = 0;
    int y = 0;
    int width = SKIN_SIZE;
    int height = SKIN_SIZE;

    // Kept two texels inside the rectangle so filtering never picks up a neighbour's colour.
    float S(float u) const { return static_cast<float>(x) + 2.0f + u * static_cast<float>(width - 4); }
    float T(float v) const { return static_cast<float>(y) + 2.0f + v * static_cast<float>(height - 4); }
};

namespace SkinLayout {
// The head is wrapped around once: u runs from the back of the head (0) round the face (0.5) and
// back again, v from the crown (0) to the chin (1).
constexpr SkinRegion Head{0, 0, 128, 128};
constexpr SkinRegion Shirt{128, 0, 128, 64};    // chest and back
constexpr SkinRegion Sleeves{128, 64, 128, 64}; // shoulders and arms
constexpr SkinRegion Trousers{0, 128, 128, 64}; // hips and legs
constexpr SkinRegion Shoes{128, 128, 64, 64};
constexpr SkinRegion Hands{192, 128, 64, 64}; // hands, neck and nose
constexpr SkinRegion Whole{0, 0, SKIN_SIZE, SKIN_SIZE};

// The face on the head region, as fractions of its u and v.
constexpr float EyeV = 0.44f;
constexpr float EyeU = 0.08f; // either side of the face's centre line
constexpr float MouthV = 0.64f;
} // namespace SkinLayout
