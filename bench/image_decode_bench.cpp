// Image decoding speed: the program's decoders on 1024 x 1024 files against bare libjpeg-turbo and
// libpng decodes of the same files. The files are written at start-up, not read from disk.

#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "gfxutil/image/ImageDecoder.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr UINT kSize = 1024;

// A smooth picture with some noise, so that the compressed files have a realistic size.
Bytes RgbPicture() {
    Bytes rgb(static_cast<std::size_t>(kSize) * kSize * 3);
    std::uint32_t state = 1;
    for (UINT y = 0; y < kSize; ++y) {
        for (UINT x = 0; x < kSize; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = static_cast<int>(state >> 28);
            BYTE* p = &rgb[(static_cast<std::size_t>(y) * kSize + x) * 3];
            p[0] = static_cast<BYTE>((x / 4 + noise) & 0xFF);
            p[1] = static_cast<BYTE>((y / 4 + noise) & 0xFF);
            p[2] = static_cast<BYTE>(((x + y) / 8 + noise) & 0xFF);
        }
    }
    return rgb;
}

void PutLE16(Bytes& out, unsigned v) {
    out.push_back(static_cast<BYTE>(v));
    out.push_back(static_cast<BYTE>(v >> 8));
}

void PutLE32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(v >> (8 * i)));
}

Bytes WriteJpeg(const Bytes& rgb) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = kSize;
    info.image_height = kSize;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < kSize) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[static_cast<std::size_t>(info.next_scanline) * kSize * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

Bytes WritePng(const Bytes& rgb) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendPng, FlushNothing);
    png_set_IHDR(png, info, kSize, kSize, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (UINT y = 0; y < kSize; ++y)
        png_write_row(png, &rgb[static_cast<std::size_t>(y) * kSize * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// 24-bit bottom-up bitmap (rows copied when decoded), or top-down (used in place).
Bytes WriteBmp(const Bytes& rgb, bool topDown) {
    Bytes out = {'B', 'M'};
    const std::uint32_t pixelBytes = kSize * kSize * 3;
    PutLE32(out, 54 + pixelBytes);
    PutLE32(out, 0);
    PutLE32(out, 54);
    PutLE32(out, 40);
    PutLE32(out, kSize);
    PutLE32(out, topDown ? static_cast<std::uint32_t>(-static_cast<std::int32_t>(kSize)) : kSize);
    PutLE16(out, 1);
    PutLE16(out, 24);
    for (int i = 0; i < 6; ++i)
        PutLE32(out, 0);
    for (UINT row = 0; row < kSize; ++row) {
        const UINT y = topDown ? row : kSize - 1 - row;
        for (UINT x = 0; x < kSize; ++x) {
            const BYTE* p = &rgb[(static_cast<std::size_t>(y) * kSize + x) * 3];
            out.insert(out.end(), {p[2], p[1], p[0]});
        }
    }
    return out;
}

// 24-bit TGA, bottom-up, plain or run-length coded (runs of equal pixels, else literals).
Bytes WriteTga(const Bytes& rgb, bool runLength) {
    Bytes out = {0, 0, static_cast<BYTE>(runLength ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutLE16(out, kSize);
    PutLE16(out, kSize);
    out.push_back(24);
    out.push_back(0);
    for (UINT row = 0; row < kSize; ++row) {
        const BYTE* line = &rgb[static_cast<std::size_t>(kSize - 1 - row) * kSize * 3];
        for (UINT x = 0; x < kSize;) {
            const UINT count = std::min<UINT>(128, kSize - x);
            if (runLength)
                out.push_back(static_cast<BYTE>(count - 1));
            for (UINT i = 0; i < count; ++i, ++x)
                out.insert(out.end(), {line[3 * x + 2], line[3 * x + 1], line[3 * x]});
        }
    }
    return out;
}

struct Files {
    Bytes jpeg, png, bmpBottomUp, bmpTopDown, tga, tgaRunLength;
};

const Files& TestFiles() {
    static const Files files = [] {
        const Bytes rgb = RgbPicture();
        return Files{WriteJpeg(rgb),      WritePng(rgb),        WriteBmp(rgb, false),
                     WriteBmp(rgb, true), WriteTga(rgb, false), WriteTga(rgb, true)};
    }();
    return files;
}

void DecodeWithProgram(benchmark::State& state, const Bytes& file) {
    for (auto _ : state) {
        std::unique_ptr<DecodedImage> image;
        if (FAILED(DecodeImage(file.data(), file.size(), nullptr, true, &image))) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(image->pixels);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize * kSize * 4);
}

void BM_ProgramJpeg(benchmark::State& state) {
    DecodeWithProgram(state, TestFiles().jpeg);
}
void BM_ProgramPng(benchmark::State& state) {
    DecodeWithProgram(state, TestFiles().png);
}
void BM_ProgramBmpBottomUp(benchmark::State& state) {
    DecodeWithProgram(state, TestFiles().bmpBottomUp);
}
void BM_ProgramBmpTopDownInPlace(benchmark::State& state) {
    DecodeWithProgram(state, TestFiles().bmpTopDown);
}
void BM_ProgramTga(benchmark::State& state) {
    DecodeWithProgram(state, TestFiles().tga);
}
void BM_ProgramTgaRunLength(benchmark::State& state) {
    DecodeWithProgram(state, TestFiles().tgaRunLength);
}

void BM_BareLibjpeg(benchmark::State& state) {
    const Bytes& file = TestFiles().jpeg;
    Bytes pixels(static_cast<std::size_t>(kSize) * kSize * 3);
    for (auto _ : state) {
        jpeg_decompress_struct info{};
        jpeg_error_mgr errors{};
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, file.data(), file.size());
        jpeg_read_header(&info, TRUE);
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = &pixels[static_cast<std::size_t>(info.output_scanline) * kSize * 3];
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize * kSize * 4);
}

void BM_BareLibpng(benchmark::State& state) {
    const Bytes& file = TestFiles().png;
    Bytes pixels(static_cast<std::size_t>(kSize) * kSize * 4);
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_memory(&image, file.data(), file.size());
        image.format = PNG_FORMAT_BGRA;
        png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize * kSize * 4);
}

} // namespace

BENCHMARK(BM_ProgramJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareLibjpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareLibpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramBmpBottomUp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramBmpTopDownInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramTga)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramTgaRunLength)->Unit(benchmark::kMillisecond);
