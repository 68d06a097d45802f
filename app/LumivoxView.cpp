#include "app/LumivoxView.h"

#include <algorithm>
#include <cstdio>

#include "gfxutil/text/D3DX9Font.h"
#include "platform/d3d9/PresentParameters.h"
#include "platform/os/Clock.h"
#include "platform/os/CurrentDirectory.h"
#include "platform/os/MessageBox.h"
#include "platform/os/WindowMessages.h"
#include "scene/Scene.h"
#include "state/RenderSettings.h"

namespace {

constexpr int kOverlayLeft = 5;
constexpr int kOverlayTop = 5;
constexpr UINT kBoldWeight = 700;

LONGLONG ReadCounter() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

} // namespace

CLumivoxView::CLumivoxView() : settingsFile_(currentDirectory, theScene->modelFile) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    counterFrequency = frequency.QuadPart;
    lastCounter = ReadCounter();
    CaptureCurrentDirectory(currentDirectory);
}

CLumivoxView::~CLumivoxView() {
    destroy();
    if (device) {
        if (theRenderSettings->device == device)
            theRenderSettings->device = nullptr;
        device->Release();
        device = nullptr;
    }
    if (saveSettingsOnDestroy)
        SaveSettings(SETTINGS_FILE_NAME);
}

HRESULT CLumivoxView::initD3D(HWND window, int width, int height, BOOL windowed, D3DDEVTYPE deviceType) {
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d) {
        MessageBoxA(nullptr, "Direct3DCreat9() - FAILED", nullptr, MB_OK);
        return E_FAIL;
    }
    D3DCAPS9 caps{};
    d3d->GetDeviceCaps(0, deviceType, &caps);
    if (FAILED(d3d->GetAdapterDisplayMode(0, &theScene->displayMode))) {
        d3d->Release();
        return E_FAIL;
    }

    presentParams = PresentParameters(static_cast<UINT>(width), static_cast<UINT>(height),
                                      theScene->displayMode.Format, window);
    presentParams.Windowed = windowed;

    const DWORD behaviour = (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                                            : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    const HRESULT created = d3d->CreateDevice(0, deviceType, window, behaviour, &presentParams, &device);
    if (FAILED(created)) {
        d3d->Release();
        MessageBoxA(nullptr, "CreateDevice() - FAILED", nullptr, MB_OK);
        return created;
    }
    theRenderSettings->device = device;
    theRenderSettings->window = window;
    theRenderSettings->ResetMatrices();
    d3d->Release();
    return S_OK;
}

void CLumivoxView::OnInitialUpdate(int clientWidth, int clientHeight) {
    if (FAILED(initD3D(window_, clientWidth, clientHeight, TRUE, D3DDEVTYPE_HAL))) {
        MessageBoxA(window_, "initD3D() - Failed", "Error", MB_OK);
        PostQuitMessage(0);
    }
    theRenderSettings->viewWidth = static_cast<float>(clientWidth);
    theRenderSettings->viewHeight = static_cast<float>(clientHeight);
    LoadSettings(SETTINGS_FILE_NAME);
}

void CLumivoxView::OnSize(UINT type, int cx, int cy) {
    DefWindowProc(WM_SIZE, type, MAKELPARAM(cx, cy));
    if (!device)
        return;
    // A minimised window has no client area; the device keeps a one-pixel back buffer meanwhile.
    presentParams.BackBufferWidth = static_cast<UINT>(std::max(cx, 1));
    presentParams.BackBufferHeight = static_cast<UINT>(std::max(cy, 1));
    theRenderSettings->viewWidth = static_cast<float>(cx);
    theRenderSettings->viewHeight = static_cast<float>(cy);
    ResetDevice();
}

void CLumivoxView::ResetDevice() {
    destroy();
    theScene->ReleaseDeviceObjects();
    if (FAILED(device->Reset(&presentParams))) {
        MessageBoxA(window_, "Reset() - Failed", "Error", MB_OK);
        PostQuitMessage(0);
    }
    theRenderSettings->device = device;
    theRenderSettings->window = window_;
    theRenderSettings->ResetMatrices();
    setup();
}

void CLumivoxView::OnSetFocus() { DefWindowProc(WM_SETFOCUS, 0, 0); }

void CLumivoxView::OnKillFocus() {
    DefWindowProc(WM_KILLFOCUS, 0, 0);
    theRenderSettings->ReleaseHeldKeys();
}

LRESULT CLumivoxView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    theRenderSettings->HandleInput(message, wParam, lParam);
    return 0;
}

HRESULT CLumivoxView::setup() {
    if (!device)
        return E_FAIL;
    theScene->InitData(device);
    ApplyFillMode(device, theRenderSettings->wireframe);
    theRenderSettings->SetupLighting();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
    CreateOverlayFont();
    return S_OK;
}

HRESULT CLumivoxView::CreateOverlayFont() {
    destroy();
    if (device)
        D3DXCreateFontA(device, theRenderSettings->fontHeight, 0, kBoldWeight, 0, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                        "Arial", &overlayFont);
    theRenderSettings->fontChanged = 0;
    return S_OK;
}

HRESULT CLumivoxView::destroy() {
    if (overlayFont) {
        overlayFont->Release();
        overlayFont = nullptr;
    }
    return S_OK;
}

HRESULT CLumivoxView::Update() {
    if (device) {
        theRenderSettings->MoveCamera();
        theRenderSettings->UpdateView();
    }
    return S_OK;
}

HRESULT CLumivoxView::Render(float timeMs) {
    // Nothing is composed before the first resize has set the scene up.
    if (!device || !theScene->model)
        return S_OK;
    RenderSettings& settings = *theRenderSettings;
    settings.pictureTime = timeMs;
    if (settings.fontChanged == 1)
        CreateOverlayFont();
    theScene->DrawShadowTexture();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                  ComposeColor(settings.backgroundRed, settings.backgroundGreen, settings.backgroundBlue), 1.0f, 0);
    device->BeginScene();
    theScene->DrawGrid();
    theScene->model->Animate(timeMs);
    theScene->DrawLightMarker();
    theScene->DrawShadowAndPreview();
    DrawOverlayText();
    if (frameDisplayHook)
        frameDisplayHook();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    return S_OK;
}

void CLumivoxView::MeasureFrameTime() {
    nowCounter = ReadCounter();
    frameSeconds = static_cast<float>(nowCounter - lastCounter) / static_cast<float>(counterFrequency);
    lastCounter = nowCounter;
    framesPerSecond = 1.0f / frameSeconds;
}

int CLumivoxView::DrawOverlayText() {
    const RenderSettings& settings = *theRenderSettings;
    if (settings.showText == 0)
        return 1;
    const D3DCOLOR color = ComposeColor(settings.textRed, settings.textGreen, settings.textBlue);
    MeasureFrameTime();
    if (!overlayFont)
        return 0;

    const ModelFile& file = theScene->modelFile;
    const float offsetY = theScene->model ? theScene->model->offsetY : 9999.0f;
    char lines[OVERLAY_LINE_COUNT][256];
    std::snprintf(lines[0], sizeof lines[0], "FPS: %.3f", static_cast<double>(framesPerSecond));
    std::snprintf(lines[1], sizeof lines[1], "speed(frame/second): %d", file.speed);
    std::snprintf(lines[2], sizeof lines[2], "MD2file: %s", DisplayFileName(file.md2Path).c_str());
    std::snprintf(lines[3], sizeof lines[3], "Texture: %s", DisplayFileName(file.texturePath).c_str());
    std::snprintf(lines[4], sizeof lines[4], "Cartoon: %s", DisplayFileName(file.cartoonPath).c_str());
    std::snprintf(lines[5], sizeof lines[5], "offsetY: %.3f", static_cast<double>(offsetY));
    for (int i = 0; i < OVERLAY_LINE_COUNT; ++i) {
        RECT rect{kOverlayLeft, i * settings.fontHeight + kOverlayTop, 0, 0};
        overlayFont->DrawTextA(nullptr, lines[i], -1, &rect, DT_NOCLIP, color);
    }
    return 0;
}
