#include "gfxutil/texture/ImageFilterBox.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

bool Halves(UINT source, UINT target) {
    return source == 1 ? target == 1 : target == source / 2;
}

Color4 Sum(const Color4& a, const Color4& b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b, a.a + b.a};
}

Color4 Scale(const Color4& c, float k) {
    return {c.r * k, c.g * k, c.b * k, c.a * k};
}

// Averages the pixel pairs of a row (or takes single pixels when the source is one wide).
void PairAcross(const Color4* in, UINT sourceWidth, UINT targetWidth, Color4* out) {
    for (UINT x = 0; x < targetWidth; ++x)
        out[x] = sourceWidth == 1 ? in[0] : Sum(in[2 * x], in[2 * x + 1]);
}

class BlockAverager {
public:
    BlockAverager(SourceRows& source, UINT targetWidth)
        : source_(source), width_(source.Block().width), targetWidth_(targetWidth), row_(width_),
          pairs_(targetWidth) {}

    // Adds the pixel pairs of source row `y`, slice `z` to `sum`.
    void AddRow(UINT y, UINT z, std::vector<Color4>& sum) {
        source_.Read(0, y, z, width_, row_.data());
        PairAcross(row_.data(), width_, targetWidth_, pairs_.data());
        for (UINT x = 0; x < targetWidth_; ++x)
            sum[x] = Sum(sum[x], pairs_[x]);
    }

    float PixelsPerRow() const { return width_ == 1 ? 1.0f : 2.0f; }

private:
    SourceRows& source_;
    UINT width_;
    UINT targetWidth_;
    std::vector<Color4> row_;
    std::vector<Color4> pairs_;
};

} // namespace

bool BoxFilterApplies2D(const PixelSource& source, const PixelTarget& target) {
    return source.depth == 1 && target.depth == 1 && Halves(source.width, target.width) &&
           Halves(source.height, target.height);
}

bool BoxFilterApplies3D(const PixelSource& source, const PixelTarget& target) {
    return Halves(source.width, target.width) && Halves(source.height, target.height) &&
           Halves(source.depth, target.depth);
}

void BoxFilter2D(SourceRows& source, TargetRows& target) {
    BoxFilter3D(source, target); // a 2D block is a volume one slice deep
}

void BoxFilter3D(SourceRows& source, TargetRows& target) {
    const PixelSource& from = source.Block();
    const PixelTarget& to = target.Block();
    BlockAverager averager(source, to.width);
    std::vector<Color4> sum(to.width);
    const UINT rowsPerBlock = from.height == 1 ? 1 : 2;
    const UINT slicesPerBlock = from.depth == 1 ? 1 : 2;
    const float scale = 1.0f / (averager.PixelsPerRow() * static_cast<float>(rowsPerBlock * slicesPerBlock));
    for (UINT z = 0; z < to.depth; ++z) {
        target.BeginSlice();
        for (UINT y = 0; y < to.height; ++y) {
            std::fill(sum.begin(), sum.end(), Color4{0, 0, 0, 0});
            for (UINT dz = 0; dz < slicesPerBlock; ++dz)
                for (UINT dy = 0; dy < rowsPerBlock; ++dy)
                    averager.AddRow(rowsPerBlock * y + dy, slicesPerBlock * z + dz, sum);
            for (Color4& c : sum)
                c = Scale(c, scale);
            target.Write(y, z, sum.data(), to.width, false);
        }
    }
}

bool BoxFilter2DBytes(const PixelSource& source, const PixelTarget& target) {
    if (source.format != target.format || source.width < 2 || source.height < 2 ||
        !BoxFilterApplies2D(source, target))
        return false;
    const std::optional<ByteBoxReducer> reducer = ByteBoxReducer::For(source.format);
    if (!reducer)
        return false;
    const std::size_t bytes = reducer->PixelBytes();
    for (UINT y = 0; y < target.height; ++y) {
        const BYTE* top = source.bits + (source.top + 2 * y) * source.rowPitch + source.left * bytes +
                          source.front * source.slicePitch;
        reducer->Apply(top, top + source.rowPitch, target.bits + y * target.rowPitch, target.width);
    }
    return true;
}
