#pragma once
// Turns a sequence of posed meshes into MD2 key frames.

#include <string>
#include <vector>

#include "Mesh.h"
#include "model/MD2Writer.h"

struct ModelFrame {
    std::string name;
    Mesh mesh;
};

// All frames share the first frame's triangles and texture coordinates (later frames may leave
// theirs empty); only positions, normals and part centres change. Each frame gets one scale for all three
// axes, so the viewer, which scales the table normals by the frame scale, still sees the normals chosen here.
// False with a message when the frames cannot be stored in an MD2 file.
bool PackModel(const std::vector<ModelFrame>& frames, MD2WriterModel& model, std::string& error);
