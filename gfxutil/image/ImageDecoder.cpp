#include "gfxutil/image/ImageDecoder.h"

#include <clocale>
#include <cstring>
#include <new>
#include <string>

#include "gfxutil/image/ImageFormatDecoders.h"

namespace {

using DecodeFunction = HRESULT (*)(const BYTE*, std::size_t, DecodedImage&);

struct Decoder {
    D3DXIMAGE_FILEFORMAT fileFormat;
    DecodeFunction decode;
};

// The order matters: the headerless bitmap and TGA accept the most, so they come late. PCX comes
// after all of them, so no file that decoded before decodes differently now.
constexpr Decoder kDecoders[] = {
    {D3DXIFF_BMP, DecodeBmp}, {D3DXIFF_PPM, DecodePpm}, {D3DXIFF_DDS, DecodeDds}, {D3DXIFF_JPG, DecodeJpeg},
    {D3DXIFF_PNG, DecodePng}, {D3DXIFF_PFM, DecodePfm}, {D3DXIFF_HDR, DecodeHdr}, {D3DXIFF_TGA, DecodeTga},
    {D3DXIFF_DIB, DecodeDib}, {D3DXIFF_PCX, DecodePcx},
};

// Numbers in the text headers are read as in the "C" locale while the probe runs.
class NumericLocaleGuard {
public:
    NumericLocaleGuard() {
        const char* current = std::setlocale(LC_NUMERIC, nullptr);
        if (current != nullptr && std::strcmp(current, "C") != 0) {
            saved_ = current;
            changed_ = std::setlocale(LC_NUMERIC, "C") != nullptr;
        }
    }
    ~NumericLocaleGuard() {
        if (changed_)
            std::setlocale(LC_NUMERIC, saved_.c_str());
    }
    NumericLocaleGuard(const NumericLocaleGuard&) = delete;
    NumericLocaleGuard& operator=(const NumericLocaleGuard&) = delete;

private:
    std::string saved_;
    bool changed_ = false;
};

HRESULT TryDecoder(const Decoder& decoder, const BYTE* data, std::size_t size, bool loadPixels,
                   std::unique_ptr<DecodedImage>& image) {
    image = std::make_unique<DecodedImage>();
    image->loadPixels = loadPixels;
    image->fileFormat = decoder.fileFormat;
    try {
        return decoder.decode(data, size, *image);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

UINT CountFurtherLevels(const DecodedImage& image) {
    UINT count = 0;
    for (const DecodedImage* level = image.nextMip.get(); level != nullptr; level = level->nextMip.get())
        ++count;
    return count;
}

void SetWholeExtent(DecodedImage& image) {
    for (DecodedImage* face = &image; face != nullptr; face = face->nextFace.get()) {
        for (DecodedImage* level = face; level != nullptr; level = level->nextMip.get()) {
            level->sourceRect = RECT{0, 0, static_cast<LONG>(level->width), static_cast<LONG>(level->height)};
            level->front = 0;
            level->back = level->depth;
        }
    }
}

void FillInfo(const DecodedImage& image, D3DXIMAGE_INFO& info) {
    info.Width = image.width;
    info.Height = image.height;
    info.Depth = image.depth;
    info.MipLevels = 1 + CountFurtherLevels(image);
    info.Format = PublicImageFormat(image.format);
    info.ResourceType = image.resourceType;
    info.ImageFileFormat = image.fileFormat;
}

} // namespace

HRESULT DecodeImage(const void* data, std::size_t size, D3DXIMAGE_INFO* info, bool loadPixels,
                    std::unique_ptr<DecodedImage>* image) {
    if (image == nullptr)
        return D3DERR_INVALIDCALL;
    image->reset();
    if (data == nullptr || size == 0)
        return D3DXERR_INVALIDDATA;

    NumericLocaleGuard locale;
    const auto* bytes = static_cast<const BYTE*>(data);
    std::unique_ptr<DecodedImage> candidate;
    for (const Decoder& decoder : kDecoders) {
        const HRESULT hr = TryDecoder(decoder, bytes, size, loadPixels, candidate);
        if (hr == E_OUTOFMEMORY)
            return hr;
        if (FAILED(hr))
            continue;
        SetWholeExtent(*candidate);
        if (info != nullptr)
            FillInfo(*candidate, *info);
        *image = std::move(candidate);
        return S_OK;
    }
    return D3DXERR_INVALIDDATA;
}
