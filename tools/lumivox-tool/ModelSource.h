#pragma once
// A model named on the command line, shown by a headless view in place of the model of the
// settings file (which is neither needed nor written).

#include <string>

#include "app/LumivoxView.h"
#include "model/MD2Model.h"
#include "scene/Scene.h"

struct ModelSource {
    std::string model;
    std::string skin; // empty: found for the model as the window finds it
    std::string ramp; // empty: the cartoon ramp of the bundled sample
};

class ModelView {
public:
    ModelView() { view_.saveSettingsOnDestroy = false; }

    // Creates the device and loads `source` at the default speed. False, with the reason in
    // `error`, when there is no device or the model cannot be read.
    bool Open(const ModelSource& source, int width, int height, std::string& error);
    // A new picture size; like every resize of the window, it reads the model again.
    bool Resize(int width, int height, std::string& error);

    CLumivoxView& View() { return view_; }
    MD2Model& Model() const { return *theScene->model; }

private:
    bool Loaded(const std::string& model, std::string& error) const;

    CLumivoxView view_;
    std::string modelPath_;
};
