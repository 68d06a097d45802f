#include "TextureTestSupport.h"

#include "gfxutil/texture/TextureRequirements.h"

namespace {

struct Wish {
    UINT width = D3DX_DEFAULT;
    UINT height = D3DX_DEFAULT;
    UINT levels = 0;
    D3DFORMAT format = D3DFMT_A8R8G8B8;
};

class TextureRequirementsTest : public TextureDeviceTest {
protected:
    HRESULT Check(IDirect3DDevice9* on, Wish& wish, DWORD usage = 0, D3DPOOL pool = D3DPOOL_MANAGED) {
        return D3DXCheckTextureRequirements(on, &wish.width, &wish.height, &wish.levels, usage, &wish.format,
                                            pool);
    }
};

TEST_F(TextureRequirementsTest, MissingSizesFollowTheGivenOneOrDefaultTo256) {
    Wish widthOnly{100};
    ASSERT_EQ(Check(device, widthOnly), S_OK);
    EXPECT_EQ(widthOnly.width, 100u);
    EXPECT_EQ(widthOnly.height, 100u);
    EXPECT_EQ(widthOnly.levels, 7u);

    Wish heightOnly{D3DX_DEFAULT, 40};
    ASSERT_EQ(Check(device, heightOnly), S_OK);
    EXPECT_EQ(heightOnly.width, 40u);

    Wish neither;
    ASSERT_EQ(Check(device, neither), S_OK);
    EXPECT_EQ(neither.width, 256u);
    EXPECT_EQ(neither.height, 256u);
    EXPECT_EQ(neither.levels, 9u);

    Wish zeros{0, 0};
    ASSERT_EQ(Check(device, zeros), S_OK);
    EXPECT_EQ(zeros.width, 1u);
    EXPECT_EQ(zeros.height, 1u);
    EXPECT_EQ(zeros.levels, 1u);
}

TEST_F(TextureRequirementsTest, RequestedLevelsShortenTheChainButNeverLengthenIt) {
    Wish three{64, 32, 3};
    ASSERT_EQ(Check(device, three), S_OK);
    EXPECT_EQ(three.levels, 3u);
    Wish many{64, 32, 40};
    ASSERT_EQ(Check(device, many), S_OK);
    EXPECT_EQ(many.levels, 7u);
}

TEST_F(TextureRequirementsTest, InvalidUsageOrPoolIsRefused) {
    Wish wish;
    EXPECT_EQ(Check(device, wish, D3DUSAGE_WRITEONLY), D3DERR_INVALIDCALL);
    EXPECT_EQ(Check(device, wish, 0x80000000u), D3DERR_INVALIDCALL);
    EXPECT_EQ(Check(device, wish, 0, static_cast<D3DPOOL>(4)), D3DERR_INVALIDCALL);
    EXPECT_EQ(Check(nullptr, wish), D3DERR_INVALIDCALL);
    EXPECT_EQ(Check(device, wish, D3DX_DEFAULT), S_OK); // counts as no usage
}

TEST_F(TextureRequirementsTest, FormatBecomesTheClosestTheDeviceSupports) {
    Wish palette;
    palette.format = D3DFMT_P8;
    ASSERT_EQ(Check(device, palette), S_OK);
    EXPECT_EQ(palette.format, D3DFMT_A8R8G8B8);

    Wish unknown;
    unknown.format = D3DFMT_UNKNOWN;
    ASSERT_EQ(Check(device, unknown), S_OK);
    EXPECT_EQ(unknown.format, D3DFMT_A8R8G8B8);

    Wish depth;
    depth.format = D3DFMT_D16;
    EXPECT_EQ(Check(device, depth), D3DERR_NOTAVAILABLE);

    Wish scratch;
    scratch.format = D3DFMT_UNKNOWN;
    ASSERT_EQ(Check(device, scratch, 0, D3DPOOL_SCRATCH), S_OK);
    EXPECT_EQ(scratch.format, D3DFMT_A8R8G8B8);
}

TEST_F(TextureRequirementsTest, RenderTargetsGetARenderTargetFormat) {
    Wish wish{128, 128, 0, D3DFMT_R8G8B8};
    ASSERT_EQ(Check(device, wish, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT), S_OK);
    EXPECT_EQ(wish.format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(wish.levels, 8u);
}

TEST_F(TextureRequirementsTest, DeviceLimitsShapeTheSize) {
    RecordingDevice limited(device);
    limited.AdjustCaps([](D3DCAPS9& caps) {
        caps.TextureCaps |= D3DPTEXTURECAPS_POW2;
        caps.MaxTextureWidth = 512;
        caps.MaxTextureHeight = 512;
        caps.MaxTextureAspectRatio = 4;
    });
    Wish wish{100, 60};
    ASSERT_EQ(Check(&limited, wish), S_OK);
    EXPECT_EQ(wish.width, 128u);
    EXPECT_EQ(wish.height, 64u);
    EXPECT_EQ(wish.levels, 8u);

    Wish wide{2000, 10};
    ASSERT_EQ(Check(&limited, wide), S_OK);
    EXPECT_EQ(wide.width, 64u); // 512 wide at most, then at most 4 x 10, then a power of two
    EXPECT_EQ(wide.height, 16u);
}

TEST_F(TextureRequirementsTest, ConditionalNonPowerOfTwoAllowsSingleLevels) {
    RecordingDevice conditional(device);
    conditional.AdjustCaps([](D3DCAPS9& caps) {
        caps.TextureCaps |= D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_NONPOW2CONDITIONAL;
    });
    Wish single{100, 60, 1};
    ASSERT_EQ(Check(&conditional, single), S_OK);
    EXPECT_EQ(single.width, 100u);
    EXPECT_EQ(single.height, 60u);
    EXPECT_EQ(single.levels, 1u);
    Wish chain{100, 60, 0};
    ASSERT_EQ(Check(&conditional, chain), S_OK);
    EXPECT_EQ(chain.width, 128u);
    EXPECT_EQ(chain.levels, 8u);
}

TEST_F(TextureRequirementsTest, DevicesThatCannotMipMapGetOneLevel) {
    RecordingDevice flat(device);
    flat.AdjustCaps([](D3DCAPS9& caps) { caps.TextureCaps &= ~D3DPTEXTURECAPS_MIPMAP; });
    Wish wish{64, 64, 0};
    ASSERT_EQ(Check(&flat, wish), S_OK);
    EXPECT_EQ(wish.levels, 1u);

    RecordingDevice square(device);
    square.AdjustCaps([](D3DCAPS9& caps) { caps.TextureCaps |= D3DPTEXTURECAPS_SQUAREONLY; });
    Wish oblong{64, 16};
    ASSERT_EQ(Check(&square, oblong), S_OK);
    EXPECT_EQ(oblong.width, 16u);
    EXPECT_EQ(oblong.height, 16u);
}

TEST_F(TextureRequirementsTest, CreateTextureMakesTheShadowRenderTarget) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTexture(device, 128, 128, 0, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                &texture),
              S_OK);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetLevelCount(), 8u);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), S_OK);
    EXPECT_EQ(desc.Width, 128u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(desc.Usage, D3DUSAGE_RENDERTARGET);
    EXPECT_EQ(texture->Release(), 0u);

    EXPECT_EQ(D3DXCreateTexture(device, 16, 16, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &texture),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(D3DXCreateTexture(nullptr, 16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
}

} // namespace
