#include "SkinPainter.h"

#include <algorithm>

#include "SkinLayout.h"

namespace {

constexpr RgbColour UNUSED{128, 128, 128};
constexpr RgbColour SKIN{240, 196, 160};
constexpr RgbColour CHEEK{236, 160, 140};
constexpr RgbColour HAIR{92, 56, 30};
constexpr RgbColour EYE_WHITE{250, 250, 245};
constexpr RgbColour PUPIL{30, 40, 70};
constexpr RgbColour MOUTH{150, 40, 40};
constexpr RgbColour SHIRT{200, 50, 40};
constexpr RgbColour COLLAR{150, 30, 25};
constexpr RgbColour EMBLEM{250, 210, 40};
constexpr RgbColour TROUSERS{50, 80, 140};
constexpr RgbColour BELT{40, 30, 25};
constexpr RgbColour SHOE{80, 45, 25};
constexpr RgbColour SOLE{30, 30, 30};

void FillRegion(RgbImage& image, const SkinRegion& r, RgbColour c) {
    image.FillRect(r.x, r.y, r.width, r.height, c);
}

// Hair over the crown and the back of the head, a face with eyes, cheeks and mouth in front.
void PaintHead(RgbImage& image) {
    using namespace SkinLayout;
    FillRegion(image, Head, SKIN);
    image.FillRect(Head.x, Head.y, Head.width, static_cast<int>(Head.T(0.33f)) - Head.y, HAIR);
    const int backHairBottom = static_cast<int>(Head.T(0.62f)) - Head.y;
    image.FillRect(Head.x, Head.y, static_cast<int>(Head.S(0.22f)) - Head.x, backHairBottom, HAIR);
    const int rightStart = static_cast<int>(Head.S(0.78f));
    image.FillRect(rightStart, Head.y, Head.x + Head.width - rightStart, backHairBottom, HAIR);

    const float eyeY = Head.T(EyeV);
    for (const float side : {-1.0f, 1.0f}) {
        const float eyeX = Head.S(0.5f + side * EyeU);
        image.FillEllipse(eyeX, eyeY, 4.0f, 6.0f, EYE_WHITE);
        image.FillEllipse(eyeX + side * 0.5f, eyeY + 1.0f, 2.2f, 3.5f, PUPIL);
        image.FillRect(static_cast<int>(eyeX) - 4, static_cast<int>(eyeY) - 10, 9, 2, HAIR); // eyebrow
        image.FillEllipse(Head.S(0.5f + side * 0.13f), Head.T(0.57f), 3.5f, 2.5f, CHEEK);
    }
    const float mouthX = Head.S(0.5f), mouthY = Head.T(MouthV);
    image.FillEllipse(mouthX, mouthY, 8.0f, 3.5f, MOUTH);
    image.FillEllipse(mouthX, mouthY - 2.0f, 8.0f, 2.5f, SKIN); // leaves a smile
}

// A darker collar at the top, a belt at the bottom, a round badge on the chest in front.
void PaintShirt(RgbImage& image) {
    using namespace SkinLayout;
    FillRegion(image, Shirt, SHIRT);
    image.FillRect(Shirt.x, Shirt.y, Shirt.width, 6, COLLAR);
    image.FillRect(Shirt.x, Shirt.y + Shirt.height - 6, Shirt.width, 6, BELT);
    image.FillEllipse(Shirt.S(0.5f), Shirt.T(0.35f), 9.0f, 9.0f, EMBLEM);
    image.FillEllipse(Shirt.S(0.5f), Shirt.T(0.35f), 4.0f, 4.0f, SHIRT);
}

// The sixth cell of the box layout is the bottom face: the sole.
void PaintShoes(RgbImage& image) {
    using namespace SkinLayout;
    FillRegion(image, Shoes, SHOE);
    const int cellWidth = (Shoes.width - 4) / 3;
    image.FillRect(Shoes.x + 2 + 2 * cellWidth, Shoes.y + Shoes.height / 2, Shoes.width - 2 - 2 * cellWidth,
                   Shoes.height / 2, SOLE);
}

} // namespace

RgbImage::RgbImage(int w, int h, RgbColour fill)
    : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3) {
    FillRect(0, 0, w, h, fill);
}

void RgbImage::Set(int x, int y, RgbColour c) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

RgbColour RgbImage::At(int x, int y) const {
    const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
}

void RgbImage::FillRect(int x, int y, int w, int h, RgbColour c) {
    for (int row = std::max(y, 0); row < std::min(y + h, height); ++row)
        for (int col = std::max(x, 0); col < std::min(x + w, width); ++col)
            Set(col, row, c);
}

void RgbImage::FillEllipse(float cx, float cy, float rx, float ry, RgbColour c) {
    for (int y = static_cast<int>(cy - ry); y <= static_cast<int>(cy + ry) + 1; ++y)
        for (int x = static_cast<int>(cx - rx); x <= static_cast<int>(cx + rx) + 1; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - cx) / rx,
                        dy = (static_cast<float>(y) + 0.5f - cy) / ry;
            if (dx * dx + dy * dy <= 1.0f)
                Set(x, y, c);
        }
}

RgbImage PaintCharacterSkin() {
    using namespace SkinLayout;
    RgbImage image(SKIN_SIZE, SKIN_SIZE, UNUSED);
    PaintHead(image);
    PaintShirt(image);
    FillRegion(image, Sleeves, SHIRT);
    FillRegion(image, Trousers, TROUSERS);
    PaintShoes(image);
    FillRegion(image, Hands, SKIN);
    return image;
}

// Step edges fall on 8-pixel block boundaries so the JPEG blocks stay flat and the steps clean.
RgbImage PaintCartoonRamp() {
    constexpr struct {
        int start;
        std::uint8_t grey;
    } steps[] = {{0, 0x50}, {88, 0x8C}, {144, 0xC8}, {208, 0xFF}};
    RgbImage image(256, 8, {});
    for (const auto& step : steps)
        image.FillRect(step.start, 0, image.width - step.start, image.height,
                       {step.grey, step.grey, step.grey});
    return image;
}
