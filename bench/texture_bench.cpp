// Creating a texture from a 1024 x 1024 image file with all defaults (triangle filter, box mip
// chain), for JPEG, PNG, BMP and TGA files, against decoding the same file bare: libjpeg-turbo and
// libpng for JPEG and PNG, and reading the rows into an RGB buffer for BMP and TGA. Each texture
// benchmark reports its thread CPU time as a multiple of the bare decode ("x_decode"; the target
// is 3) and of the libpng decode of the same picture ("x_png_decode").

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "gfxutil/texture/D3DX9Tex.h"
#include "platform/d3d9/HeadlessDevice.h"

namespace {

constexpr int kSize = 1024;

using Bytes = std::vector<unsigned char>;

// A smooth picture with some grain, so the compressed files are of realistic size.
Bytes MakeRgb() {
    Bytes rgb(std::size_t{kSize} * kSize * 3);
    std::mt19937 random(5);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            unsigned char* p = &rgb[(std::size_t{static_cast<unsigned>(y)} * kSize + x) * 3];
            const int grain = static_cast<int>(random() % 16);
            p[0] = static_cast<unsigned char>((x / 4 + grain) & 255);
            p[1] = static_cast<unsigned char>((y / 4 + grain) & 255);
            p[2] = static_cast<unsigned char>(((x * y) >> 10) & 255);
        }
    }
    return rgb;
}

Bytes EncodeJpeg(const Bytes& rgb) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = kSize;
    info.image_height = kSize;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(&rgb[std::size_t{info.next_scanline} * kSize * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes file(out, out + outSize);
    jpeg_destroy_compress(&info);
    std::free(out);
    return file;
}

Bytes EncodePng(const Bytes& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kSize;
    image.height = kSize;
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    Bytes file(size);
    png_image_write_to_memory(&image, file.data(), &size, 0, rgb.data(), 0, nullptr);
    file.resize(size);
    return file;
}

void Put(Bytes& out, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// Bottom-up rows in blue, green, red order, as both BMP and TGA store them by default.
void PutRowsBottomUp(Bytes& out, const Bytes& rgb) {
    for (int y = kSize - 1; y >= 0; --y)
        for (int x = 0; x < kSize; ++x) {
            const unsigned char* p = &rgb[(std::size_t{static_cast<unsigned>(y)} * kSize + x) * 3];
            out.insert(out.end(), {p[2], p[1], p[0]});
        }
}

Bytes EncodeBmp(const Bytes& rgb) {
    Bytes out{'B', 'M'};
    const unsigned pixels = kSize * kSize * 3;
    Put(out, 54 + pixels, 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    for (unsigned v : {40u, unsigned(kSize), unsigned(kSize)})
        Put(out, v, 4);
    Put(out, 1, 2);
    Put(out, 24, 2);
    for (unsigned v : {0u, pixels, 2835u, 2835u, 0u, 0u})
        Put(out, v, 4);
    PutRowsBottomUp(out, rgb);
    return out;
}

Bytes EncodeTga(const Bytes& rgb) {
    Bytes out{0, 0, 2};
    Put(out, 0, 2);
    Put(out, 0, 2);
    out.push_back(0);
    Put(out, 0, 2);
    Put(out, 0, 2);
    Put(out, kSize, 2);
    Put(out, kSize, 2);
    out.push_back(24);
    out.push_back(0);
    PutRowsBottomUp(out, rgb);
    return out;
}

// ---- Bare decodes ----

void DecodeJpegBare(const Bytes& file, Bytes& rgb) {
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    rgb.resize(std::size_t{info.output_width} * info.output_height * info.output_components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &rgb[std::size_t{info.output_scanline} * info.output_width * info.output_components];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

void DecodePngBare(const Bytes& file, Bytes& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, file.data(), file.size());
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
}

// Reading the file and turning its bottom-up rows into top-down RGB rows.
void DecodeRowsBare(const Bytes& file, std::size_t headerBytes, Bytes& rgb) {
    rgb.resize(std::size_t{kSize} * kSize * 3);
    const std::size_t stride = std::size_t{kSize} * 3;
    for (int y = 0; y < kSize; ++y)
        std::memcpy(&rgb[std::size_t{static_cast<unsigned>(y)} * stride],
                    &file[headerBytes + std::size_t{static_cast<unsigned>(kSize - 1 - y)} * stride], stride);
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    Bytes bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// CPU time of this thread, so other work on the machine does not skew the ratios.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Sample {
    std::string path;
    std::function<void(const Bytes&, Bytes&)> decode;
    double decodeSeconds = 0;
};

double TimeBareDecode(const Sample& sample) {
    Bytes rgb;
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        const double start = ThreadSeconds();
        constexpr int repeats = 4;
        for (int i = 0; i < repeats; ++i) {
            const Bytes file = ReadFile(sample.path);
            sample.decode(file, rgb);
            benchmark::DoNotOptimize(rgb.data());
        }
        best = std::min(best, (ThreadSeconds() - start) / repeats);
    }
    return best;
}

struct Samples {
    Sample jpeg, png, bmp, tga;

    Samples() {
        const Bytes rgb = MakeRgb();
        const auto dir = std::filesystem::temp_directory_path();
        auto write = [&](const char* name, const Bytes& bytes) {
            const std::string path = (dir / name).string();
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
            return path;
        };
        jpeg = {write("lumivox-bench-texture.jpg", EncodeJpeg(rgb)), DecodeJpegBare};
        png = {write("lumivox-bench-texture.png", EncodePng(rgb)), DecodePngBare};
        bmp = {write("lumivox-bench-texture.bmp", EncodeBmp(rgb)),
               [](const Bytes& f, Bytes& out) { DecodeRowsBare(f, 54, out); }};
        tga = {write("lumivox-bench-texture.tga", EncodeTga(rgb)),
               [](const Bytes& f, Bytes& out) { DecodeRowsBare(f, 18, out); }};
        for (Sample* s : {&jpeg, &png, &bmp, &tga})
            s->decodeSeconds = TimeBareDecode(*s);
    }
    ~Samples() {
        for (const Sample* s : {&jpeg, &png, &bmp, &tga})
            std::filesystem::remove(s->path);
    }
};

Samples& TheSamples() {
    static Samples samples;
    return samples;
}

class HeadlessDevice {
public:
    HeadlessDevice() { CreateHeadlessDevice(64, 64, &device_); }
    ~HeadlessDevice() {
        if (device_)
            device_->Release();
    }
    HeadlessDevice(const HeadlessDevice&) = delete;
    HeadlessDevice& operator=(const HeadlessDevice&) = delete;
    IDirect3DDevice9* Get() const { return device_; }

private:
    IDirect3DDevice9* device_ = nullptr;
};

void BareDecode(benchmark::State& state, Sample Samples::*which) {
    const Sample& sample = TheSamples().*which;
    Bytes rgb;
    for (auto _ : state) {
        const Bytes file = ReadFile(sample.path);
        sample.decode(file, rgb);
        benchmark::DoNotOptimize(rgb.data());
    }
}

void CreateTexture(benchmark::State& state, Sample Samples::*which) {
    const Sample& sample = TheSamples().*which;
    HeadlessDevice device;
    if (!device.Get()) {
        state.SkipWithError("no device");
        return;
    }
    const double start = ThreadSeconds();
    for (auto _ : state) {
        IDirect3DTexture9* texture = nullptr;
        if (FAILED(D3DXCreateTextureFromFileA(device.Get(), sample.path.c_str(), &texture))) {
            state.SkipWithError("texture creation failed");
            return;
        }
        texture->Release();
    }
    const double perTexture = (ThreadSeconds() - start) / static_cast<double>(state.iterations());
    state.counters["x_decode"] = perTexture / sample.decodeSeconds;
    // BMP and TGA have no library decoder; the PNG file of the same picture gives a second scale.
    state.counters["x_png_decode"] = perTexture / TheSamples().png.decodeSeconds;
}

BENCHMARK_CAPTURE(BareDecode, jpeg, &Samples::jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CreateTexture, jpeg, &Samples::jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BareDecode, png, &Samples::png)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CreateTexture, png, &Samples::png)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BareDecode, bmp, &Samples::bmp)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CreateTexture, bmp, &Samples::bmp)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BareDecode, tga, &Samples::tga)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CreateTexture, tga, &Samples::tga)->Unit(benchmark::kMillisecond);

} // namespace
