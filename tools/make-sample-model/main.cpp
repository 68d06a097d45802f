// make-sample-model: writes the bundled sample character (ex1.md2), its skin (ex1.jpg) and the
// cartoon shading ramp (catoon.jpg), or synthetic test models of a chosen size.

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "BlobModel.h"
#include "CharacterAnimation.h"
#include "FramePacking.h"
#include "JpegWriter.h"
#include "SkinPainter.h"
#include "WindingCheck.h"

namespace {

constexpr int SKIN_QUALITY = 95;
constexpr int RAMP_QUALITY = 98;

const char* const USAGE =
    "usage: make-sample-model [FOLDER]\n"
    "           writes ex1.md2, ex1.jpg and catoon.jpg into FOLDER (default Data)\n"
    "       make-sample-model --out FILE.md2 [--one-frame]\n"
    "           writes only the sample character, or only its first frame\n"
    "       make-sample-model --triangles N [--frames N] [--blocks N] [--one-frame] --out FILE.md2\n"
    "           writes a wobbling blob of exactly N triangles (6 to 60000); the frames (default 10)\n"
    "           are shared out among blocks blockA, blockB, ... (default 1), earlier blocks taking\n"
    "           the spare frames\n";

struct Options {
    std::string folder = "Data";
    std::string out;
    bool synthetic = false;
    bool oneFrame = false;
    BlobOptions blob;
};

bool ParseCount(const char* text, int& value) {
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    return error == std::errc{} && stop == end && *text != '\0';
}

bool ParseOptions(int argc, char** argv, Options& options) {
    bool folderSeen = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--one-frame") {
            options.oneFrame = true;
        } else if (arg == "--out" && hasValue) {
            options.out = argv[++i];
        } else if ((arg == "--triangles" || arg == "--frames" || arg == "--blocks") && hasValue) {
            int& target = arg == "--triangles" ? options.blob.triangles
                          : arg == "--frames"  ? options.blob.frames
                                               : options.blob.blocks;
            if (!ParseCount(argv[++i], target)) {
                std::fprintf(stderr, "make-sample-model: %s needs a whole number, not '%s'\n", arg.c_str(),
                             argv[i]);
                return false;
            }
            options.synthetic = options.synthetic || arg == "--triangles";
        } else if (arg.rfind("--", 0) != 0 && !folderSeen) {
            options.folder = arg;
            folderSeen = true;
        } else {
            std::fprintf(stderr, "make-sample-model: unexpected argument '%s'\n", arg.c_str());
            return false;
        }
    }
    if (options.synthetic && options.out.empty()) {
        std::fprintf(stderr, "make-sample-model: a synthetic model needs --out FILE.md2\n");
        return false;
    }
    if (options.oneFrame)
        options.blob.frames = options.blob.blocks = 1;
    return true;
}

// Written beside the target first and renamed over it, so a failed write leaves no broken file.
bool WriteFileSafely(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string temporary = path + ".tmp";
    if (!bytes.empty() && WriteFileBytes(temporary, bytes) &&
        std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    std::fprintf(stderr, "make-sample-model: could not write %s\n", path.c_str());
    return false;
}

std::vector<ModelFrame> CharacterFrames(bool oneFrame) {
    std::vector<ModelFrame> frames;
    for (const NamedPose& named : CharacterAnimation()) {
        frames.push_back({named.name, BuildCharacter(named.pose)});
        if (oneFrame)
            break;
    }
    return frames;
}

void PrintSummary(const std::string& path, const MD2WriterModel& model,
                  const std::vector<ModelFrame>& frames) {
    float lowest = frames.front().mesh.LowestZ();
    std::set<std::string> seen;
    std::string blocks;
    for (const ModelFrame& frame : frames) {
        lowest = std::min(lowest, frame.mesh.LowestZ());
        const std::string block = frame.name.substr(0, frame.name.size() - 2);
        if (seen.insert(block).second)
            blocks += (blocks.empty() ? "" : ", ") + block;
    }
    std::printf("%s: %zu triangles, %d vertices, %zu frames (%s), lowest z %.3f\n", path.c_str(),
                model.triangles.size(), model.vertexCount, model.frames.size(), blocks.c_str(), lowest);
}

// Packs, checks the winding of every frame as the viewer will read it, and writes the file.
bool WriteModel(const std::string& path, const std::vector<ModelFrame>& frames) {
    MD2WriterModel model;
    std::string error;
    if (!PackModel(frames, model, error)) {
        std::fprintf(stderr, "make-sample-model: %s\n", error.c_str());
        return false;
    }
    const WindingReport report = CheckWinding(model, frames);
    if (!report.Passed()) {
        std::fprintf(stderr,
                     "make-sample-model: %s fails the winding check: %d of %d triangles wound outward, %d "
                     "normals pointing in\n",
                     path.c_str(), report.woundOutward, report.triangles, report.normalsInward);
        return false;
    }
    if (!WriteFileSafely(path, WriteMD2(model)))
        return false;
    PrintSummary(path, model, frames);
    if (report.degenerate > 0)
        std::printf("  %d of %d triangles collapsed to lines by the 8-bit packing\n", report.degenerate,
                    report.triangles);
    return true;
}

bool WriteSampleFolder(const Options& options) {
    std::error_code error;
    std::filesystem::create_directories(options.folder, error);
    const std::string folder = options.folder + "/";
    return WriteModel(folder + "ex1.md2", CharacterFrames(options.oneFrame)) &&
           WriteFileSafely(folder + "ex1.jpg", EncodeJpeg(PaintCharacterSkin(), SKIN_QUALITY)) &&
           WriteFileSafely(folder + "catoon.jpg", EncodeJpeg(PaintCartoonRamp(), RAMP_QUALITY));
}

bool WriteSyntheticModel(const Options& options) {
    std::vector<ModelFrame> frames;
    std::string error;
    if (!BuildBlobFrames(options.blob, frames, error)) {
        std::fprintf(stderr, "make-sample-model: %s\n", error.c_str());
        return false;
    }
    return WriteModel(options.out, frames);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    bool written = false;
    if (options.synthetic)
        written = WriteSyntheticModel(options);
    else if (!options.out.empty())
        written = WriteModel(options.out, CharacterFrames(options.oneFrame));
    else
        written = WriteSampleFolder(options);
    return written ? 0 : 1;
}
