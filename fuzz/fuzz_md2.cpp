// The MD2 reader over arbitrary bytes, read through a memory file as the viewer reads a model
// file. Every corner of every frame is read back, so the sanitizers see any vertex written
// outside the arrays or left unset.
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "model/MD2Model.h"
#include "platform/os/MessageBox.h"

namespace {

int MemoryFile() {
    static const int fd = [] {
        SetMessageBoxHandler([](HWND, const char*, const char*, UINT) { return IDOK; });
        return memfd_create("model.md2", 0);
    }();
    return fd;
}

float TouchFrames(const MD2Model& model) {
    float sum = model.offsetY;
    for (const FrameRecord& frame : model.frames)
        for (std::size_t i = 0; i < model.triangles.size() * 3; ++i)
            sum += frame.vertices[i].x + frame.vertices[i].nz + frame.vertices[i].u + frame.vertices[i].v;
    for (std::int32_t start : model.blockStarts)
        sum += static_cast<float>(start);
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = MemoryFile();
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return 0;
    MD2Model model;
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    std::snprintf(model.md2Path, sizeof model.md2Path, "%s", path.c_str());
    if (SUCCEEDED(model.ReadFile())) {
        volatile float sink = TouchFrames(model);
        (void)sink;
        // A second read of the same object starts afresh.
        if (FAILED(model.ReadFile()) || model.FrameCount() != static_cast<int>(model.header.numFrames))
            __builtin_trap();
    }
    return 0;
}
