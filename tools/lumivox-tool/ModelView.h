#pragma once
// A model named on the command line, shown by a headless view in place of the model of the
// settings file (which is neither needed nor written).

#include <string>

#include "app/LumivoxView.h"
#include "app/ModelChoice.h"
#include "model/MD2Model.h"
#include "scene/Scene.h"

class ModelView {
public:
    ModelView() { view_.saveSettingsOnDestroy = false; }

    // Creates the device and loads the choice at the default speed: its skin found from the
    // model when not named (as the window finds it), the bundled cartoon ramp when none is named.
    // False, with the reason in `error`, when there is no device or the model cannot be read.
    bool Open(const ModelChoice& choice, int width, int height, std::string& error);
    // A new picture size; like every resize of the window, it reads the model again.
    bool Resize(int width, int height, std::string& error);

    CLumivoxView& View() { return view_; }
    MD2Model& Model() const { return *theScene->model; }

private:
    CLumivoxView view_;
    std::string modelPath_;
};
