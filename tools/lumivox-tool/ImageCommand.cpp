#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "Commands.h"
#include "FormatNames.h"
#include "HeadlessDevice.h"
#include "Json.h"
#include "PngWriter.h"
#include "gfxutil/image/ImageDecoder.h"
#include "gfxutil/texture/D3DX9Tex.h"
#include "platform/os/FileSource.h"

namespace {

struct ImageOptions {
    std::string file;
    std::string out;
    UINT level = 0;
};

const char* ResourceTypeName(D3DRESOURCETYPE type) {
    switch (type) {
    case D3DRTYPE_TEXTURE:
        return "TEXTURE";
    case D3DRTYPE_VOLUMETEXTURE:
        return "VOLUMETEXTURE";
    case D3DRTYPE_CUBETEXTURE:
        return "CUBETEXTURE";
    default:
        return "UNKNOWN";
    }
}

const char* FileFormatName(D3DXIMAGE_FILEFORMAT format) {
    static const char* const names[] = {"BMP", "JPG", "TGA", "PNG", "DDS", "PPM", "DIB", "HDR", "PFM", "PCX"};
    return format < std::size(names) ? names[format] : "UNKNOWN";
}

bool ParseOptions(int argc, char** argv, ImageOptions& options, std::string& error) {
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--out" || arg == "--level") && i + 1 < argc) {
            const std::string value = argv[++i];
            if (arg == "--out") {
                options.out = value;
                continue;
            }
            char* end = nullptr;
            const unsigned long level = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || level > 31) {
                error = "--level wants a number from 0 to 31";
                return false;
            }
            options.level = static_cast<UINT>(level);
        } else if (options.file.empty() && arg.rfind("--", 0) != 0) {
            options.file = arg;
        } else {
            error = "usage: lumivox-tool image FILE [--out OUT.png] [--level N]";
            return false;
        }
    }
    if (options.file.empty())
        error = "usage: lumivox-tool image FILE [--out OUT.png] [--level N]";
    return error.empty();
}

std::string InfoJson(const D3DXIMAGE_INFO& info) {
    return JsonObject()
        .Add("width", std::int64_t{info.Width})
        .Add("height", std::int64_t{info.Height})
        .Add("depth", std::int64_t{info.Depth})
        .Add("mipLevels", std::int64_t{info.MipLevels})
        .Add("format", std::int64_t{info.Format})
        .Add("formatName", FormatName(info.Format))
        .Add("resourceType", ResourceTypeName(info.ResourceType))
        .Add("imageFileFormat", FileFormatName(info.ImageFileFormat))
        .Text();
}

// Converts one level of the texture to 8-bit RGBA through an A8R8G8B8 surface.
bool WriteLevel(IDirect3DDevice9* device, IDirect3DTexture9* texture, const ImageOptions& options,
                std::string& error) {
    D3DSURFACE_DESC desc{};
    if (options.level >= texture->GetLevelCount() || FAILED(texture->GetLevelDesc(options.level, &desc))) {
        error = "the texture has no level " + std::to_string(options.level);
        return false;
    }
    IDirect3DSurface9* level = nullptr;
    IDirect3DSurface9* argb = nullptr;
    bool converted = false;
    if (SUCCEEDED(texture->GetSurfaceLevel(options.level, &level)) &&
        SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, D3DFMT_A8R8G8B8,
                                                      D3DPOOL_SYSTEMMEM, &argb, nullptr))) {
        D3DLOCKED_RECT source{};
        if (SUCCEEDED(level->LockRect(&source, nullptr, D3DLOCK_READONLY))) {
            const RECT whole{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
            converted = SUCCEEDED(D3DXLoadSurfaceFromMemory(argb, nullptr, nullptr, source.pBits, desc.Format,
                                                            static_cast<UINT>(source.Pitch), nullptr, &whole,
                                                            D3DX_FILTER_NONE, 0));
            level->UnlockRect();
        }
    }
    bool written = false;
    D3DLOCKED_RECT pixels{};
    if (converted && SUCCEEDED(argb->LockRect(&pixels, nullptr, D3DLOCK_READONLY))) {
        written = WriteArgbPng(options.out, pixels.pBits, static_cast<int>(desc.Width),
                               static_cast<int>(desc.Height), pixels.Pitch, false, error);
        argb->UnlockRect();
    } else if (error.empty()) {
        error = "the texture level cannot be read";
    }
    if (argb)
        argb->Release();
    if (level)
        level->Release();
    return written;
}

bool WriteTexture(const ImageOptions& options, std::string& error) {
    HeadlessDevice device(64, 64);
    if (!device.get()) {
        error = "no device";
        return false;
    }
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileA(device.get(), options.file.c_str(), &texture))) {
        error = "no texture can be made from " + options.file;
        return false;
    }
    const bool written = WriteLevel(device.get(), texture, options, error);
    texture->Release();
    return written;
}

} // namespace

int RunImage(int argc, char** argv) {
    ImageOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::puts(JsonError(error).c_str());
        return 1;
    }
    FileBytes file;
    D3DXIMAGE_INFO info{};
    std::string problem;
    const FileStatus status = ReadFileBytes(options.file, file, problem);
    if (status != FileStatus::Read) {
        std::puts(JsonError(status == FileStatus::Damaged ? problem : "cannot open " + options.file).c_str());
        return 1;
    }
    std::unique_ptr<DecodedImage> headers;
    if (FAILED(DecodeImage(file.data(), file.size(), &info, false, &headers))) {
        std::puts(JsonError("not an image file: " + options.file).c_str());
        return 1;
    }
    if (!options.out.empty() && !WriteTexture(options, error)) {
        std::puts(JsonError(error).c_str());
        return 1;
    }
    std::puts(InfoJson(info).c_str());
    return 0;
}
