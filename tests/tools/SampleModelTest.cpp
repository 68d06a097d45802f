// Checks the bundled sample files in Data/: the character model is wound and lit the way the
// viewer needs, its blocks animate, its texture coordinates stay inside the skin's part regions,
// and the cartoon ramp steps from dark to light along u.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "model/MD2File.h"
#include "model/MD2Normals.h"
#include "tools/make-sample-model/SkinLayout.h"

namespace {

const std::string DATA = std::string(LUMIVOX_SOURCE_DIR) + "/Data/";

struct Vec {
    float x, y, z;
};
Vec Sub(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec Cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
float Length(Vec a) {
    return std::sqrt(Dot(a, a));
}

struct Frame {
    std::string name;
    std::vector<Vec> positions;
    std::vector<Vec> normals; // as the viewer reads them: table normal times scale, normalised
};

struct Model {
    MD2Header header{};
    std::vector<MD2TexCoord> texCoords;
    std::vector<MD2Triangle> triangles;
    std::vector<Frame> frames;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <typename T>
bool ReadRecords(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t count,
                 std::vector<T>& out) {
    if (offset > bytes.size() || count > (bytes.size() - offset) / sizeof(T))
        return false;
    out.resize(count);
    std::memcpy(out.data(), bytes.data() + offset, count * sizeof(T));
    return true;
}

Frame DecodeFrame(const std::uint8_t* at, int vertexCount) {
    float scale[3], translate[3];
    char name[MD2_FRAME_NAME_SIZE + 1] = {};
    std::memcpy(scale, at, 12);
    std::memcpy(translate, at + 12, 12);
    std::memcpy(name, at + 24, MD2_FRAME_NAME_SIZE);
    Frame frame{name, {}, {}};
    for (int i = 0; i < vertexCount; ++i) {
        MD2PackedVertex v;
        std::memcpy(&v, at + MD2_FRAME_HEADER_SIZE + 4 * i, sizeof v);
        frame.positions.push_back({v.position[0] * scale[0] + translate[0],
                                   v.position[1] * scale[1] + translate[1],
                                   v.position[2] * scale[2] + translate[2]});
        const float* n = MD2Normals[std::min<int>(v.normalIndex, MD2_NORMAL_COUNT - 1)];
        const Vec scaled{n[0] * scale[0], n[1] * scale[1], n[2] * scale[2]};
        const float length = Length(scaled);
        frame.normals.push_back({scaled.x / length, scaled.y / length, scaled.z / length});
    }
    return frame;
}

// Plain reads of the file's records, every one checked against the file's size.
bool LoadModel(const std::string& path, Model& model) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    if (bytes.size() < sizeof(MD2Header))
        return false;
    std::memcpy(&model.header, bytes.data(), sizeof(MD2Header));
    const MD2Header& h = model.header;
    if (h.magic != MD2_MAGIC || h.version != MD2_VERSION || h.numVertices <= 0 || h.numFrames < 0 ||
        h.offsetFrames < 0 || !ReadRecords(bytes, h.offsetTexCoords, h.numTexCoords, model.texCoords) ||
        !ReadRecords(bytes, h.offsetTriangles, h.numTriangles, model.triangles))
        return false;
    const std::size_t frameBytes = MD2FrameBytes(h.numVertices);
    if (static_cast<std::size_t>(h.offsetFrames) + frameBytes * h.numFrames > bytes.size())
        return false;
    for (int f = 0; f < h.numFrames; ++f)
        model.frames.push_back(DecodeFrame(bytes.data() + h.offsetFrames + f * frameBytes, h.numVertices));
    for (const MD2Triangle& tri : model.triangles)
        for (int k = 0; k < 3; ++k)
            if (tri.vertexIndex[k] >= h.numVertices || tri.texCoordIndex[k] >= h.numTexCoords)
                return false;
    return true;
}

class SampleModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadModel(DATA + "ex1.md2", model)) << "cannot read " << DATA << "ex1.md2";
    }

    Vec Corner(const Frame& frame, const MD2Triangle& tri, int k) const {
        return frame.positions[tri.vertexIndex[k]];
    }

    // (b - a) x (c - a) of a triangle's corners in the file's axes.
    Vec FileCross(const Frame& frame, const MD2Triangle& tri) const {
        const Vec a = Corner(frame, tri, 0);
        return Cross(Sub(Corner(frame, tri, 1), a), Sub(Corner(frame, tri, 2), a));
    }

    std::string BlockOf(const Frame& frame) const { return frame.name.substr(0, frame.name.size() - 2); }

    Model model;
};

TEST_F(SampleModelTest, IsASmallCharacterOnA256By256Skin) {
    EXPECT_EQ(model.header.skinWidth, 256);
    EXPECT_EQ(model.header.skinHeight, 256);
    EXPECT_GE(model.header.numTriangles, 400);
    EXPECT_LE(model.header.numTriangles, 1500);
    for (const MD2TexCoord& tc : model.texCoords) {
        EXPECT_LT(tc.s, 256);
        EXPECT_LT(tc.t, 256);
    }
}

TEST_F(SampleModelTest, FramesFormStandRunAndJumpBlocksOfSixToTwelve) {
    std::vector<std::string> blocks;
    std::vector<int> lengths;
    for (const Frame& frame : model.frames) {
        ASSERT_GT(frame.name.size(), 2u);
        if (blocks.empty() || blocks.back() != BlockOf(frame)) {
            blocks.push_back(BlockOf(frame));
            lengths.push_back(0);
        }
        ++lengths.back();
        const std::string number = std::to_string(lengths.back());
        EXPECT_EQ(frame.name.substr(frame.name.size() - 2), (number.size() < 2 ? "0" : "") + number)
            << frame.name;
    }
    EXPECT_EQ(blocks, (std::vector<std::string>{"stand", "run", "jump"}));
    for (int length : lengths) {
        EXPECT_GE(length, 6);
        EXPECT_LE(length, 12);
    }
}

TEST_F(SampleModelTest, EveryBlockMovesItsLimbsVisibly) {
    std::size_t first = 0;
    for (std::size_t f = 1; f <= model.frames.size(); ++f) {
        if (f < model.frames.size() && BlockOf(model.frames[f]) == BlockOf(model.frames[first]))
            continue;
        float largest = 0.0f;
        for (std::size_t g = first + 1; g < f; ++g)
            for (std::size_t v = 0; v < model.frames[g].positions.size(); ++v)
                largest = std::max(
                    largest, Length(Sub(model.frames[g].positions[v], model.frames[first].positions[v])));
        EXPECT_GT(largest, 2.0f) << "block " << BlockOf(model.frames[first]);
        first = f;
    }
}

// The viewer exchanges y and z and culls counter-clockwise triangles, so a triangle it shows from
// outside has (b - a) x (c - a) pointing into the model in the file's own axes.
TEST_F(SampleModelTest, CornersTurnInwardAndNormalsPointOutInEveryFrame) {
    for (const Frame& frame : model.frames) {
        double signedVolume = 0.0;
        int collapsed = 0, normalsAgainstWinding = 0;
        for (const MD2Triangle& tri : model.triangles) {
            const Vec cross = FileCross(frame, tri);
            signedVolume += Dot(Corner(frame, tri, 0), cross) / 6.0;
            if (Length(cross) == 0.0f) {
                ++collapsed;
                continue;
            }
            for (int k = 0; k < 3; ++k)
                if (Dot(frame.normals[tri.vertexIndex[k]], cross) >= 0.0f)
                    ++normalsAgainstWinding;
        }
        // Closed parts wound this way enclose a negative volume; a figure this size holds hundreds.
        EXPECT_LT(signedVolume, -500.0) << frame.name;
        EXPECT_EQ(collapsed, 0) << frame.name;
        EXPECT_EQ(normalsAgainstWinding, 0) << frame.name;
    }
}

TEST_F(SampleModelTest, StandsOnGroundBelowZeroAboutFiftySixUnitsTall) {
    float lowest = 1e9f, highest = -1e9f;
    for (const Frame& frame : model.frames)
        for (const Vec& p : frame.positions)
            lowest = std::min(lowest, p.z);
    for (const Vec& p : model.frames.front().positions)
        highest = std::max(highest, p.z);
    EXPECT_NEAR(lowest, -24.0f, 0.5f);
    EXPECT_NEAR(highest - lowest, 56.0f, 4.0f);
}

// The front of the head, where the skin has the face, must look towards -y: the default camera
// sees the model from that side.
TEST_F(SampleModelTest, FaceLooksTowardsMinusY) {
    const Frame& stand = model.frames.front();
    const SkinRegion& head = SkinLayout::Head;
    int faceCorners = 0;
    for (const MD2Triangle& tri : model.triangles)
        for (int k = 0; k < 3; ++k) {
            const MD2TexCoord& tc = model.texCoords[tri.texCoordIndex[k]];
            if (std::abs(tc.s - head.S(0.5f)) <= 0.1f * head.width && tc.t >= head.T(0.35f) &&
                tc.t <= head.T(0.7f)) {
                ++faceCorners;
                EXPECT_LT(stand.normals[tri.vertexIndex[k]].y, -0.5f);
            }
        }
    EXPECT_GT(faceCorners, 0);
}

TEST_F(SampleModelTest, EachTriangleTakesItsColoursFromOnePartRegion) {
    using namespace SkinLayout;
    const SkinRegion regions[] = {Head, Shirt, Sleeves, Trousers, Shoes, Hands};
    auto regionOf = [&](const MD2TexCoord& tc) {
        for (int r = 0; r < 6; ++r)
            if (tc.s >= regions[r].x && tc.s < regions[r].x + regions[r].width && tc.t >= regions[r].y &&
                tc.t < regions[r].y + regions[r].height)
                return r;
        return -1;
    };
    for (const MD2Triangle& tri : model.triangles) {
        const int region = regionOf(model.texCoords[tri.texCoordIndex[0]]);
        ASSERT_GE(region, 0);
        EXPECT_EQ(regionOf(model.texCoords[tri.texCoordIndex[1]]), region);
        EXPECT_EQ(regionOf(model.texCoords[tri.texCoordIndex[2]]), region);
    }
}

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    int Channel(int x, int y, int c) const { return rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c]; }
};

struct JpegErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorTrap*>(info->err)->jump, 1);
}

bool DecodeJpeg(const std::vector<std::uint8_t>& bytes, Picture& picture) {
    jpeg_decompress_struct info{};
    JpegErrorTrap trap{};
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JumpOnJpegError;
    if (bytes.empty() || setjmp(trap.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    picture.width = static_cast<int>(info.output_width);
    picture.height = static_cast<int>(info.output_height);
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &picture.rgb[static_cast<std::size_t>(info.output_scanline) * picture.width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

TEST(SampleSkin, Is256By256WithDarkEyesOnTheFace) {
    Picture skin;
    ASSERT_TRUE(DecodeJpeg(ReadBytes(DATA + "ex1.jpg"), skin));
    ASSERT_EQ(skin.width, 256);
    ASSERT_EQ(skin.height, 256);
    const SkinRegion& head = SkinLayout::Head;
    const int eyeY = static_cast<int>(head.T(SkinLayout::EyeV)) + 1;
    for (const float side : {-1.0f, 1.0f}) {
        const int eyeX = static_cast<int>(head.S(0.5f + side * SkinLayout::EyeU));
        EXPECT_LT(skin.Channel(eyeX, eyeY, 0) + skin.Channel(eyeX, eyeY, 1), 200) << "pupil";
    }
    const int noseX = static_cast<int>(head.S(0.5f));
    EXPECT_GT(skin.Channel(noseX, eyeY, 0), 200) << "skin between the eyes";
    EXPECT_GT(skin.Channel(noseX, eyeY, 0), skin.Channel(noseX, eyeY, 2));
}

TEST(SampleCartoonRamp, StepsFromDarkToLightAlongUAndStaysConstantAlongV) {
    Picture ramp;
    ASSERT_TRUE(DecodeJpeg(ReadBytes(DATA + "catoon.jpg"), ramp));
    ASSERT_GE(ramp.width, 64);
    int steps = 0;
    for (int x = 0; x < ramp.width; ++x) {
        for (int y = 1; y < ramp.height; ++y)
            EXPECT_NEAR(ramp.Channel(x, y, 0), ramp.Channel(x, 0, 0), 4) << "column " << x;
        EXPECT_NEAR(ramp.Channel(x, 0, 1), ramp.Channel(x, 0, 0), 4) << "grey at " << x;
        if (x > 0) {
            const int rise = ramp.Channel(x, 0, 0) - ramp.Channel(x - 1, 0, 0);
            EXPECT_GE(rise, -4) << "darker again at " << x;
            steps += rise > 20 ? 1 : 0;
        }
    }
    EXPECT_LT(ramp.Channel(0, 0, 0), 0x60);
    EXPECT_GT(ramp.Channel(ramp.width - 1, 0, 0), 0xF0);
    EXPECT_GE(steps, 2);
    EXPECT_LE(steps, 3);
}

} // namespace
