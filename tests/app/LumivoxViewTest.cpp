#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/LumivoxView.h"
#include "gfxutil/text/D3DX9Font.h"
#include "platform/d3d9/Direct3D.h"
#include "support/HeapUsage.h"
#include "support/MessageRecorder.h"
#include "support/SettingsScope.h"

namespace {

const std::string kData = LUMIVOX_SOURCE_DIR "/Data/";

// Stands in for the overlay font and keeps what it was asked to draw.
class RecordingFont final : public ID3DXFont {
public:
    struct Line {
        std::string text;
        RECT rect;
        DWORD format;
        D3DCOLOR color;
    };
    std::vector<Line> lines;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override { return --references_; }
    HRESULT GetDevice(IDirect3DDevice9**) override { return E_NOTIMPL; }
    HRESULT GetDescA(D3DXFONT_DESCA*) override { return E_NOTIMPL; }
    HRESULT GetDescW(D3DXFONT_DESCW*) override { return E_NOTIMPL; }
    HDC GetDC() override { return nullptr; }
    HRESULT GetGlyphData(UINT, IDirect3DTexture9**, RECT*, POINT*) override { return E_NOTIMPL; }
    HRESULT PreloadCharacters(UINT, UINT) override { return S_OK; }
    HRESULT PreloadGlyphs(UINT, UINT) override { return S_OK; }
    HRESULT PreloadTextA(const char*, INT) override { return S_OK; }
    HRESULT PreloadTextW(LPCWSTR, INT) override { return S_OK; }
    INT DrawTextA(ID3DXSprite*, const char* text, INT, RECT* rect, DWORD format, D3DCOLOR color) override {
        lines.push_back({text, *rect, format, color});
        return 16;
    }
    INT DrawTextW(ID3DXSprite*, LPCWSTR, INT, RECT*, DWORD, D3DCOLOR) override { return 0; }
    HRESULT OnLostDevice() override { return S_OK; }
    HRESULT OnResetDevice() override { return S_OK; }

private:
    ULONG references_ = 1;
};

class LumivoxViewTest : public ::testing::Test {
protected:
    void StartUp(int width = 720, int height = 600) {
        view.OnInitialUpdate(width, height);
        ModelFile& file = scope.scene.modelFile;
        std::strcpy(file.md2Path, (kData + "ex1.md2").c_str());
        std::strcpy(file.texturePath, (kData + "ex1.jpg").c_str());
        std::strcpy(file.cartoonPath, (kData + "catoon.jpg").c_str());
        view.OnSize(0, width, height);
    }
    void UseRecordingFont() {
        view.destroy();
        view.overlayFont = &font;
    }
    std::uint32_t Pixel(int x, int y) const {
        IDirect3DSurface9* back = nullptr;
        view.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
        D3DSURFACE_DESC desc{};
        back->GetDesc(&desc);
        IDirect3DSurface9* copy = nullptr;
        view.device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                 &copy, nullptr);
        view.device->GetRenderTargetData(back, copy);
        D3DLOCKED_RECT locked{};
        copy->LockRect(&locked, nullptr, D3DLOCK_READONLY);
        std::uint32_t value = 0;
        std::memcpy(&value, static_cast<const char*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
        copy->UnlockRect();
        copy->Release();
        back->Release();
        return value & 0xFFFFFF;
    }
    D3DSURFACE_DESC BackBuffer() const {
        IDirect3DSurface9* back = nullptr;
        view.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
        D3DSURFACE_DESC desc{};
        back->GetDesc(&desc);
        back->Release();
        return desc;
    }
    // One size message, then one picture at the new size.
    void ResizeAndDraw(int cx, int cy, float timeMs) {
        view.OnSize(0, cx, cy);
        view.Update();
        view.Render(timeMs);
    }

    MessageRecorder messages;
    SettingsScope scope;
    CLumivoxView view;
    RecordingFont font;

    void TearDown() override {
        if (view.overlayFont == &font)
            view.overlayFont = nullptr;
        view.saveSettingsOnDestroy = false;
    }
};

TEST_F(LumivoxViewTest, ASizeMessageBeforeTheDeviceChangesNothing) {
    view.OnSize(0, 300, 200);
    EXPECT_EQ(view.device, nullptr);
    EXPECT_EQ(scope.scene.model, nullptr);
    EXPECT_EQ(scope.settings.viewWidth, 0.0f);
    EXPECT_EQ(view.Render(0.0f), S_OK); // and nothing is drawn without one
}

TEST_F(LumivoxViewTest, AResizeRebuildsEverythingAndForgetsHeldKeys) {
    StartUp();
    ASSERT_NE(view.device, nullptr);
    ASSERT_EQ(scope.scene.model->FrameCount(), 28);
    scope.scene.model->currentFrame = 7; // a new model starts at frame 0
    scope.scene.model->selectedBlock = 2;
    scope.settings.keyDown['W'] = 1;
    view.OnSize(0, 640, 480);
    EXPECT_EQ(scope.scene.model->currentFrame, 0); // read again from disk
    EXPECT_EQ(scope.scene.model->selectedBlock, 0);
    EXPECT_EQ(scope.scene.model->FrameCount(), 28);
    EXPECT_EQ(scope.settings.keyDown['W'], 0);
    EXPECT_EQ(scope.settings.viewWidth, 640.0f);
    IDirect3DSurface9* back = nullptr;
    view.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    D3DSURFACE_DESC desc{};
    back->GetDesc(&desc);
    back->Release();
    EXPECT_EQ(desc.Width, 640u);
    EXPECT_EQ(desc.Height, 480u);
    EXPECT_NE(view.overlayFont, nullptr);

    view.OnSize(0, 0, 0); // minimised: no failure, nothing divides by zero
    EXPECT_TRUE(messages.messages.empty());
    view.Update();
    EXPECT_EQ(view.Render(100.0f), S_OK);
}

TEST_F(LumivoxViewTest, ResizingBetweenPicturesWorksAtEverySize) {
    StartUp();
    view.Update();
    view.Render(0.0f);
    struct Size {
        int cx, cy;
    };
    // Minimised, one pixel, a 4K window, the device's largest back buffer each way and beyond it.
    const int cap = int(kMaxBackBufferSize);
    for (const Size size :
         {Size{0, 0}, Size{1, 1}, Size{3840, 2160}, Size{cap, 8}, Size{8, cap}, Size{cap + 808, 16}}) {
        ResizeAndDraw(size.cx, size.cy, 16.0f);
        const D3DSURFACE_DESC back = BackBuffer();
        EXPECT_EQ(back.Width, UINT(std::clamp(size.cx, 1, cap))) << size.cx << "x" << size.cy;
        EXPECT_EQ(back.Height, UINT(std::clamp(size.cy, 1, cap))) << size.cx << "x" << size.cy;
        EXPECT_EQ(scope.settings.viewWidth, float(size.cx));
        ASSERT_NE(scope.scene.shadowTexture, nullptr);
        ASSERT_NE(view.overlayFont, nullptr);
    }
    ResizeAndDraw(720, 600, 32.0f);
    EXPECT_EQ(Pixel(650, 60), 0xFFFFFFu) << "the shadow preview is back in its corner";
    EXPECT_TRUE(messages.messages.empty());
}

// Every resize releases and rebuilds the device objects, the model and the font; after a few
// rounds nothing more is held, however many follow.
TEST_F(LumivoxViewTest, TwoHundredResizesBetweenPicturesHoldNoMoreMemory) {
    StartUp();
    struct Size {
        int cx, cy;
    };
    const Size sizes[] = {{320, 240}, {1, 1},   {0, 0},     {160, 120},
                          {641, 479}, {64, 48}, {300, 200}, {720, 600}};
    const int rounds = 200;
    const int settledAfter = rounds - 22 * int(std::size(sizes)); // same size as the last round
    std::size_t settled = 0;
    for (int i = 0; i < rounds; ++i) {
        const Size size = sizes[i % std::size(sizes)];
        ResizeAndDraw(size.cx, size.cy, float(i) * 16.0f);
        if (i == settledAfter - 1)
            settled = HeapBytesInUse();
    }
    const std::size_t last = HeapBytesInUse();
    EXPECT_LT(last, settled + 512 * 1024) << "grew by " << (last - settled) << " bytes";
    EXPECT_EQ(BackBuffer().Width, 720u);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(LumivoxViewTest, TheFontIsRecreatedOnceAfterAChange) {
    StartUp();
    scope.settings.fontHeight = 30;
    scope.settings.fontChanged = 1;
    view.Render(0.0f);
    EXPECT_EQ(scope.settings.fontChanged, 0);
    ASSERT_NE(view.overlayFont, nullptr);
    D3DXFONT_DESCA desc{};
    view.overlayFont->GetDescA(&desc);
    EXPECT_EQ(desc.Height, 30);
    EXPECT_EQ(desc.Weight, 700u);
    const ID3DXFont* recreated = view.overlayFont;
    view.Render(16.0f);
    EXPECT_EQ(view.overlayFont, recreated);
}

TEST_F(LumivoxViewTest, OverlayShowsSixLinesOneFontHeightApart) {
    StartUp();
    UseRecordingFont();
    scope.settings.fontHeight = 20;
    EXPECT_EQ(view.DrawOverlayText(), 0);
    ASSERT_EQ(font.lines.size(), 6u);
    EXPECT_EQ(font.lines[0].text.rfind("FPS: ", 0), 0u);
    EXPECT_EQ(font.lines[1].text, "speed(frame/second): 30");
    EXPECT_EQ(font.lines[2].text, "MD2file: ex1.md2");
    EXPECT_EQ(font.lines[3].text, "Texture: ex1.jpg");
    EXPECT_EQ(font.lines[4].text, "Cartoon: catoon.jpg");
    EXPECT_EQ(font.lines[5].text, "offsetY: -24.000");
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(font.lines[i].rect.left, 5);
        EXPECT_EQ(font.lines[i].rect.top, 5 + 20 * i);
        EXPECT_EQ(font.lines[i].rect.right, 0);
        EXPECT_EQ(font.lines[i].format, DT_NOCLIP);
        EXPECT_EQ(font.lines[i].color, 0xFFFFFF00u);
    }
}

TEST_F(LumivoxViewTest, LongFileNamesAreCutAndOtherSeparatorsCount) {
    StartUp();
    UseRecordingFont();
    std::strcpy(scope.scene.modelFile.md2Path, ("C:\\models\\" + std::string(70, 'w') + ".md2").c_str());
    std::strcpy(scope.scene.modelFile.texturePath, "skin.png");
    view.DrawOverlayText();
    EXPECT_EQ(font.lines.at(2).text, "MD2file: " + std::string(60, 'w'));
    EXPECT_EQ(font.lines.at(3).text, "Texture: skin.png");
}

TEST_F(LumivoxViewTest, WithTheOverlayOffNothingIsDrawnAndTheRateIsKept) {
    StartUp();
    UseRecordingFont();
    view.DrawOverlayText();
    const float rate = view.framesPerSecond;
    const LONGLONG last = view.lastCounter;
    scope.settings.showText = 0;
    font.lines.clear();
    EXPECT_EQ(view.DrawOverlayText(), 1);
    EXPECT_TRUE(font.lines.empty());
    EXPECT_EQ(view.framesPerSecond, rate);
    EXPECT_EQ(view.lastCounter, last);
}

TEST_F(LumivoxViewTest, TheWholePictureHasItsPartsInPlace) {
    StartUp();
    view.Update();
    view.Render(0.0f);
    const std::uint32_t background = 0x7DA7D9;
    EXPECT_EQ(Pixel(0, 599), background);
    EXPECT_EQ(Pixel(719, 599), background);
    EXPECT_EQ(Pixel(300, 20), background);
    EXPECT_EQ(Pixel(650, 60), 0xFFFFFFu);  // the shadow preview, white around the model
    EXPECT_EQ(Pixel(360, 100), 0x00FF00u); // the y axis above the model's head
    int yellow = 0;
    for (int y = 5; y < 22; ++y)
        for (int x = 5; x < 80; ++x)
            yellow += Pixel(x, y) == 0xFFFF00u;
    EXPECT_GT(yellow, 20); // "FPS: ..."
}

} // namespace
