// Creating fonts: argument checks, the description read back, the Windows meaning of the height
// and the geometry of the glyph textures.

#include "FontTestSupport.h"

#include "gfxutil/text/Font.h"

#include <cstring>
#include <string>

namespace fonttest {
namespace {

class FontCreateTest : public HeadlessDeviceTest {
protected:
    void TearDown() override {
        if (font)
            font->Release();
        HeadlessDeviceTest::TearDown();
    }

    HRESULT Create(INT height, UINT mipLevels = 0, const char* face = "Arial", UINT weight = FW_BOLD,
                   DWORD quality = 0) {
        if (font)
            font->Release();
        font = nullptr;
        return D3DXCreateFontA(device, height, 0, weight, mipLevels, FALSE, DEFAULT_CHARSET, 0, quality, 0,
                               face, &font);
    }

    Font& Ours() { return *dynamic_cast<Font*>(font); }

    ID3DXFont* font = nullptr;
};

TEST_F(FontCreateTest, MissingArgumentsAreRejected) {
    D3DXFONT_DESCA desc{};
    desc.Height = 16;
    EXPECT_EQ(D3DXCreateFontIndirectA(nullptr, &desc, &font), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateFontIndirectA(device, nullptr, &font), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateFontIndirectA(device, &desc, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(font, nullptr);
}

TEST_F(FontCreateTest, DescriptionReadsBackWithNameCutTo31) {
    const std::string longName(40, 'N');
    ASSERT_EQ(Create(16, 0, longName.c_str()), D3D_OK) << "an unknown name still finds a face";
    D3DXFONT_DESCA desc{};
    ASSERT_EQ(font->GetDescA(&desc), D3D_OK);
    EXPECT_EQ(std::strlen(desc.FaceName), 31u);
    EXPECT_EQ(std::string(desc.FaceName), longName.substr(0, 31));
    EXPECT_EQ(desc.Height, 16);
    EXPECT_EQ(desc.Weight, FW_BOLD);
    EXPECT_EQ(desc.CharSet, DEFAULT_CHARSET);
    EXPECT_EQ(desc.Quality, ANTIALIASED_QUALITY) << "default quality is raised to antialiased";
    EXPECT_EQ(font->GetDescA(nullptr), D3DERR_INVALIDCALL);

    D3DXFONT_DESCW wide{};
    ASSERT_EQ(font->GetDescW(&wide), D3D_OK);
    EXPECT_EQ(wide.FaceName[30], u'N');
    EXPECT_EQ(wide.FaceName[31], u'\0');
    EXPECT_EQ(wide.Height, 16);
}

TEST_F(FontCreateTest, UnterminatedNameInDescriptionIsCut) {
    D3DXFONT_DESCA desc{};
    desc.Height = 12;
    std::memset(desc.FaceName, 'Q', sizeof(desc.FaceName));
    ASSERT_EQ(D3DXCreateFontIndirectA(device, &desc, &font), D3D_OK);
    D3DXFONT_DESCA back{};
    ASSERT_EQ(font->GetDescA(&back), D3D_OK);
    EXPECT_EQ(std::strlen(back.FaceName), 31u);
}

TEST_F(FontCreateTest, PositiveHeightIsCellHeightNegativeIsEmHeight) {
    ASSERT_EQ(Create(16), D3D_OK);
    const FontMetrics cell = Ours().Metrics();
    EXPECT_EQ(cell.height, 16);
    EXPECT_EQ(cell.ascent + cell.descent, 16);
    EXPECT_GT(cell.ascent, cell.descent);
    EXPECT_EQ(Ours().FamilyOf(GlyphId{0, 1}), "Liberation Sans") << "Arial resolves to its metric twin";

    ASSERT_EQ(Create(-16), D3D_OK);
    const FontMetrics em = Ours().Metrics();
    EXPECT_GT(em.height, 16) << "a 16-pixel em has a taller cell";
    EXPECT_LT(em.height, 20);
    EXPECT_EQ(em.ascent + em.descent, em.height);
}

TEST_F(FontCreateTest, HeightSixteenUsesSixteenPixelCells) {
    ASSERT_EQ(Create(16), D3D_OK);
    const CellGeometry& g = Ours().Geometry();
    EXPECT_EQ(g.cell, 16u);
    EXPECT_EQ(g.cellLevels, 5u);
    EXPECT_EQ(g.textureSide, 64u) << "room for sixteen cells";
    EXPECT_GE(g.largeCell, 16u);
    EXPECT_GE(g.largeTextureSide, g.largeCell);
    EXPECT_GE(g.largeTextureSide, g.textureSide);

    ASSERT_EQ(Create(16, 1), D3D_OK);
    EXPECT_EQ(Ours().Geometry().cellLevels, 1u) << "mip levels cap the cell levels";
    EXPECT_EQ(Ours().Geometry().largeLevels, 1u);
}

TEST_F(FontCreateTest, GeometryFollowsTheMetrics) {
    FontMetrics metrics;
    metrics.height = 20;
    metrics.averageCharWidth = 9;
    metrics.maxCharWidth = 40;
    metrics.glyphCount = 3;
    CellGeometry g = ComputeCellGeometry(metrics, 0);
    EXPECT_EQ(g.cell, 32u);
    EXPECT_EQ(g.largeCell, 64u);
    EXPECT_EQ(g.largeLevels, 7u);
    EXPECT_EQ(g.textureSide, 64u) << "three glyphs need no more than four cells";
    EXPECT_EQ(g.largeTextureSide, 64u);

    metrics.height = 100;
    metrics.glyphCount = 1000;
    g = ComputeCellGeometry(metrics, 3);
    EXPECT_EQ(g.cell, 128u);
    EXPECT_EQ(g.textureSide, 256u) << "growth stops at 256";
    EXPECT_EQ(g.cellLevels, 3u);
}

TEST_F(FontCreateTest, HeightTooLargeForTheDeviceFails) {
    EXPECT_EQ(Create(100000), D3DXERR_INVALIDDATA);
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(Create(INT(0x80000000u)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(font, nullptr);
}

TEST_F(FontCreateTest, ZeroHeightAndMonochromeFontsWork) {
    ASSERT_EQ(Create(0), D3D_OK);
    EXPECT_GT(Ours().Metrics().height, 8);
    ASSERT_EQ(Create(16, 0, "Arial", FW_NORMAL, NONANTIALIASED_QUALITY), D3D_OK);
    RECT rect{2, 2, 0, 0};
    EXPECT_EQ(font->DrawTextA(nullptr, "mono", -1, &rect, DT_NOCLIP, 0xFFFFFFFFu), 16);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_GT(CountPixels(pixels, 0, 0, 80, 20, NotBlack), 10);
    EXPECT_EQ(CountPixels(pixels, 0, 0, 80, 20, [](DWORD p) { return p != 0 && p != 0xFFFFFFu; }), 0)
        << "no partly covered pixels";
}

TEST_F(FontCreateTest, InterfacesAndDeviceAreReachable) {
    ASSERT_EQ(Create(16), D3D_OK);
    IDirect3DDevice9* got = nullptr;
    ASSERT_EQ(font->GetDevice(&got), D3D_OK);
    EXPECT_EQ(got, device);
    got->Release();
    EXPECT_EQ(font->GetDevice(nullptr), D3DERR_INVALIDCALL);
    void* object = nullptr;
    ASSERT_EQ(font->QueryInterface(IID_ID3DXFont, &object), S_OK);
    EXPECT_EQ(object, font);
    font->Release();
    EXPECT_EQ(font->QueryInterface(IID_IDirect3DDevice9, &object), E_NOINTERFACE);
    EXPECT_NE(font->GetDC(), nullptr);
    EXPECT_EQ(font->OnLostDevice(), D3D_OK);
    EXPECT_EQ(font->OnResetDevice(), D3D_OK);
}

} // namespace
} // namespace fonttest
