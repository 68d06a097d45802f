#pragma once
// Paints the sample character's skin and the cartoon shading ramp.

#include <cstdint>
#include <vector>

struct RgbColour {
    std::uint8_t r = 0, g = 0, b = 0;
};

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // rows top to bottom, three bytes per pixel

    RgbImage(int w, int h, RgbColour fill);
    void Set(int x, int y, RgbColour c);
    RgbColour At(int x, int y) const;
    void FillRect(int x, int y, int w, int h, RgbColour c);
    // Filled ellipse centred at (cx, cy); pixels whose centres lie inside are painted.
    void FillEllipse(float cx, float cy, float rx, float ry, RgbColour c);
};

// 256 x 256, one region per part as SkinLayout lays them out.
RgbImage PaintCharacterSkin();

// Four grey tones from dark to light along u, the same down every column.
RgbImage PaintCartoonRamp();
