// Vertices with the common layouts (three-float position and normal, float texture coordinates,
// no colours) take a short path through transformation and lighting. Its pictures must be those
// of the general path to the last bit: the same vertices drawn with a diffuse colour the device
// is told to ignore (D3DRS_COLORVERTEX off) go the general way and must give the same pixels.

#include "DeviceFixture.h"

#include "platform/d3d9/VertexProcessor.h"

#include <cstring>
#include <limits>
#include <random>
#include <set>

namespace {

// The program's model vertex: position, normal, a 2-D and a 1-D coordinate set.
struct ModelVertex {
    float x, y, z, nx, ny, nz, u, v, shade;
};
struct ColoredModelVertex {
    float x, y, z, nx, ny, nz;
    D3DCOLOR color;
    float u, v, shade;
};
constexpr DWORD kModelFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE1(1);
constexpr DWORD kColoredModelFvf = kModelFvf | D3DFVF_DIFFUSE;

D3DMATRIX Scaled(float scale) {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = scale;
    m._44 = 1.0f;
    return m;
}

D3DMATRIX Perspective() {
    D3DMATRIX m{};
    m._11 = m._22 = 1.0f;
    m._33 = 100.0f / 99.0f;
    m._34 = 1.0f;
    m._43 = -100.0f / 99.0f;
    return m;
}

D3DLIGHT9 Directional(float dx, float dy, float dz, D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = diffuse;
    light.Ambient = ambient;
    light.Direction = {dx, dy, dz};
    return light;
}

std::vector<ModelVertex> RandomModel(unsigned seed, int triangles) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> across(-6.0f, 6.0f), depth(-1.0f, 12.0f), unit(-1.0f, 1.0f),
        coordinate(-0.5f, 1.5f);
    std::vector<ModelVertex> vertices(size_t(triangles) * 3);
    for (ModelVertex& v : vertices)
        v = {across(random), across(random),     depth(random),      unit(random),      unit(random),
             unit(random),   coordinate(random), coordinate(random), coordinate(random)};
    return vertices;
}

class VertexPathTest : public DeviceTest {
protected:
    void SetUp() override {
        CreateDevice(96, 80, D3DFMT_X8R8G8B8, true);
        std::mt19937 random(11);
        std::vector<DWORD> texels(64);
        for (DWORD& t : texels)
            t = random() | 0xFF000000u;
        skin = MakeTexture(8, 8, texels);
        // Rows that differ: a 1-D coordinate must read the first row.
        cartoon = MakeTexture(
            4, 2,
            {0xFF202020, 0xFF606060, 0xFFA0A0A0, 0xFFFFFFFF, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000});
        const D3DMATRIX projection = Perspective(), identity = Scaled(1.0f);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        device->SetTransform(D3DTS_VIEW, &identity);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetTexture(0, skin);
        device->SetTexture(1, cartoon);
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device->SetSamplerState(1, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    }

    void TearDown() override {
        device->SetTexture(0, nullptr);
        device->SetTexture(1, nullptr);
        skin->Release();
        cartoon->Release();
        DeviceTest::TearDown();
    }

    // Draws the model one triangle per call, as the program does, either as it is or with a
    // white diffuse colour added to every vertex.
    std::vector<DWORD> Draw(const std::vector<ModelVertex>& model, bool colored) {
        ClearTo(0xFF000000);
        for (size_t t = 0; t + 2 < model.size(); t += 3) {
            if (colored) {
                ColoredModelVertex v[3];
                for (int k = 0; k < 3; ++k) {
                    const ModelVertex& m = model[t + size_t(k)];
                    v[k] = {m.x, m.y, m.z, m.nx, m.ny, m.nz, 0xFFFFFFFFu, m.u, m.v, m.shade};
                }
                device->SetFVF(kColoredModelFvf);
                EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(v[0])), D3D_OK);
            } else {
                device->SetFVF(kModelFvf);
                EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, &model[t], sizeof(ModelVertex)),
                          D3D_OK);
            }
        }
        return ReadBackBuffer();
    }

    void ExpectSamePictures(const char* setting) {
        device->SetRenderState(D3DRS_COLORVERTEX, FALSE);
        const std::vector<ModelVertex> model = RandomModel(5, 60);
        const std::vector<DWORD> common = Draw(model, false), general = Draw(model, true);
        const std::set<DWORD> colours(common.begin(), common.end());
        EXPECT_GT(colours.size(), 100u) << setting << ": the picture shows too little to compare";
        EXPECT_EQ(common, general) << setting;
    }

    IDirect3DTexture9* skin = nullptr;
    IDirect3DTexture9* cartoon = nullptr;
};

TEST_F(VertexPathTest, LitModelsDrawAsOnTheGeneralPath) {
    D3DMATERIAL9 material{};
    material.Diffuse = {0.9f, 0.7f, 0.5f, 0.8f};
    material.Ambient = {0.3f, 0.6f, 0.9f, 1.0f};
    material.Emissive = {0.05f, 0.0f, 0.1f, 0.0f};
    material.Specular = {1, 1, 1, 1};
    material.Power = 0.0f; // specular enabled but without highlights stays on the short path
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_AMBIENT, 0x00183048);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    const D3DLIGHT9 key = Directional(0.3f, -0.5f, 1.0f, {0.8f, 0.8f, 0.7f, 1}, {0.1f, 0.1f, 0.1f, 0});
    const D3DLIGHT9 fill = Directional(-1.0f, 0.2f, -0.3f, {0.2f, 0.3f, 0.6f, 1}, {0.05f, 0, 0.2f, 0});
    device->SetLight(0, &key);
    device->LightEnable(0, TRUE);
    const D3DMATRIX world = Scaled(1.0f);
    device->SetTransform(D3DTS_WORLD, &world);
    ExpectSamePictures("one light");

    device->SetLight(1, &fill);
    device->LightEnable(1, TRUE);
    ExpectSamePictures("two lights");

    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    ExpectSamePictures("specular without power");
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);

    // A scaled world matrix makes the normals short; normalising them is part of the maths.
    const D3DMATRIX scaled = Scaled(0.6f);
    device->SetTransform(D3DTS_WORLD, &scaled);
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    ExpectSamePictures("normalised normals");
    device->SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);
    ExpectSamePictures("short normals");

    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    ExpectSamePictures("flat shading");
}

TEST_F(VertexPathTest, UnlitModelsDrawAsOnTheGeneralPath) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    ExpectSamePictures("without lighting");
    // A second stage that reads nothing: the coordinate sets are laid out differently.
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    ExpectSamePictures("one stage");
}

TEST_F(VertexPathTest, OneComponentCoordinatesReadZeroForTheSecond) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTexture(0, cartoon);
    device->SetTexture(1, nullptr);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    struct Vertex {
        float x, y, z, u;
    };
    // u = 0.6 picks the third texel of the first row; the second row is red.
    const Vertex v[3] = {{-8, -8, 4, 0.6f}, {0, 8, 4, 0.6f}, {8, -8, 4, 0.6f}};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE1(0));
    ClearTo(0xFF000000);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(v[0])), D3D_OK);
    EXPECT_EQ(Pixel(48, 40), 0xFFA0A0A0u);
}

// Pictures round colours to eight bits; the vertices themselves must agree in every bit.
class VertexBitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDeviceState(state, true, 96, 80);
        state.world = Scaled(0.7f);
        state.view = Scaled(1.0f);
        state.view._41 = 0.25f;
        state.projection = Perspective();
        state.material.Diffuse = {0.9f, 0.7f, 0.5f, 0.8f};
        state.material.Ambient = {0.3f, 0.6f, 0.9f, 1.0f};
        state.material.Emissive = {0.05f, 0.0f, 0.1f, 0.0f};
        state.render[D3DRS_AMBIENT] = 0x00183048;
        state.render[D3DRS_LIGHTING] = TRUE;
        AddLight(Directional(0.3f, -0.5f, 1.0f, {0.8f, 0.8f, 0.7f, 1}, {0.1f, 0.1f, 0.1f, 0}));
        ASSERT_TRUE(LayoutFromFvf(kModelFvf, &layout));
    }

    void AddLight(const D3DLIGHT9& light) {
        LightSlot slot;
        slot.light = light;
        slot.set = slot.enabled = true;
        state.lights.push_back(slot);
    }

    // Processes random vertices, some with extreme values, on the short path and on the general
    // one; `shortPath` says which path the setting should take.
    void ExpectSameBits(const char* setting, bool shortPath, int specularAt = -1) {
        VertexSetup setup;
        PrepareTransforms(state, setup);
        PrepareLights(state, setup);
        PrepareViewport(state.viewport, setup);
        setup.varyings.texcoord[0] = 4;
        setup.varyings.texcoord[1] = 7;
        setup.varyings.texComponents[0] = setup.varyings.texComponents[1] = 3;
        setup.varyings.count = 10;
        if (specularAt >= 0) {
            setup.varyings.specular = specularAt;
            setup.varyings.count += 4;
        }
        VertexPlan plan;
        PrepareVertexPlan(layout, setup, plan);
        EXPECT_EQ(plan.common, shortPath) << setting;
        const VertexPlan general;

        std::vector<ModelVertex> vertices = RandomModel(9, 200);
        const float big = 1e30f, nan = std::numeric_limits<float>::quiet_NaN();
        vertices.push_back({0, 0, 0, 0, 0, 0, 0, 0, 0});
        vertices.push_back({-0.0f, 1, 5, 0, 0, -0.0f, -0.0f, 1, -1});
        vertices.push_back({big, -big, big, big, 0, -big, big, -big, 2});
        vertices.push_back({1, 1, nan, nan, 1, 0, nan, 0.5f, nan});
        for (const ModelVertex& v : vertices) {
            VertexStreams streams;
            streams.data[0] = reinterpret_cast<const BYTE*>(&v);
            PipelineVertex a, b;
            std::memset(&a, 0, sizeof a);
            std::memset(&b, 0, sizeof b);
            ProcessVertex(layout, streams, setup, plan, a);
            ProcessVertex(layout, streams, setup, general, b);
            EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0)
                << setting << ": vertex (" << v.x << ", " << v.y << ", " << v.z << ")";
        }
    }

    DeviceState state;
    VertexLayout layout;
};

TEST_F(VertexBitsTest, ShortPathGivesTheGeneralPathsBits) {
    ExpectSameBits("one light", true);
    AddLight(Directional(-1.0f, 0.2f, -0.3f, {0.2f, 0.3f, 0.6f, 1}, {0.05f, 0, 0.2f, 0}));
    ExpectSameBits("two lights", true);
    ExpectSameBits("with a specular colour", true, 10);
    state.render[D3DRS_NORMALIZENORMALS] = TRUE;
    ExpectSameBits("normalised normals", true);
    state.lights.clear();
    ExpectSameBits("no lights", true);
    state.render[D3DRS_LIGHTING] = FALSE;
    ExpectSameBits("without lighting", true, 10);
}

TEST_F(VertexBitsTest, OtherLightsAndHighlightsTakeTheGeneralPath) {
    D3DLIGHT9 point = Directional(0, 0, 1, {1, 1, 1, 1}, {0, 0, 0, 0});
    point.Type = D3DLIGHT_POINT;
    point.Range = 100.0f;
    point.Attenuation0 = 1.0f;
    AddLight(point);
    ExpectSameBits("a point light", false);
    state.lights.pop_back();
    state.render[D3DRS_SPECULARENABLE] = TRUE;
    state.material.Power = 8.0f;
    ExpectSameBits("highlights", false, 10);
}

} // namespace
