#pragma once
// A whole program in a scratch working folder holding a copy of the bundled data, with message
// boxes and the quit request recorded instead of shown and acted on.

#include <QApplication>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

#include "desktop/LumivoxApp.h"
#include "desktop/LumivoxViewWindow.h"
#include "desktop/MainFrame.h"
#include "platform/os/MessageBox.h"
#include "platform/os/MessageBoxRecorder.h"
#include "platform/os/TempFolder.h"
#include "scene/Scene.h"
#include "state/RenderSettings.h"

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(folder.Path() / "Data");
        for (const char* name : {"ex1.md2", "ex1.jpg", "catoon.jpg"})
            std::filesystem::copy_file(std::filesystem::path(LUMIVOX_SOURCE_DIR) / "Data" / name,
                                       folder.Path() / "Data" / name);
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(folder.Path());
        ResetSharedRecords();
        ClearQuitRequest();
        previousQuit = SetQuitHandler([this](int) { ++quitRequests; });
        app = std::make_unique<CLumivoxApp>();
    }

    void TearDown() override {
        app.reset();
        SetQuitHandler(previousQuit);
        ClearQuitRequest();
        std::filesystem::current_path(previousDirectory);
    }

    static void ResetSharedRecords() {
        RenderSettings& settings = *theRenderSettings;
        settings.wireframe = 0;
        settings.activeCamera = 0;
        settings.showNormals = 0;
        settings.lighting = 1;
        settings.modelAngle = 0.0f;
        settings.showText = 1;
        settings.interpolate = 0;
        settings.cameras[1].distance = 20.0f * settings.worldScale;
        settings.ResetCameras();
        settings.ReleaseHeldKeys();
    }

    // InitInstance without the start-up load dialog.
    void Start() {
        ASSERT_TRUE(app->CreateMainWindow());
        app->ShowMainWindow();
        ASSERT_NE(View(), nullptr);
    }

    CMainFrame* Frame() const { return app->MainFrame(); }
    CLumivoxViewWindow* View() const { return app->ActiveViewWindow(); }
    std::string SettingsFile() const { return folder.File("Data/MD2DATA.ini"); }
    void Pictures(int count) {
        for (int i = 0; i < count; ++i)
            app->OnIdle(i);
    }

    TempFolder folder;
    MessageBoxRecorder boxes;
    std::unique_ptr<CLumivoxApp> app;
    int quitRequests = 0;

private:
    std::filesystem::path previousDirectory;
    QuitHandler previousQuit;
};
