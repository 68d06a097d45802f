// JPEG files, decoded by the IJG JPEG library (libjpeg-turbo's 6b interface) straight from memory.

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include <jerror.h>

#include "gfxutil/image/ImageFormatDecoders.h"
#include "platform/os/ProcessorFeatures.h"
#include "platform/os/SwitchStore.h"

namespace {

// libjpeg allocates beyond the image itself (progressive files keep all coefficients); bound it.
constexpr long kMaxLibraryMemory = static_cast<long>(kMaxDecodedImageBytes);

struct JpegErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}

// The whole file is in the buffer from the start; asking for more means it was cut short, so an
// end-of-image marker ends the picture as the library expects.
boolean FillInputBuffer(j_decompress_ptr info) {
    static const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
    WARNMS(info, JWRN_JPEG_EOF);
    info->src->next_input_byte = kEndOfImage;
    info->src->bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    if (count <= 0)
        return;
    jpeg_source_mgr* source = info->src;
    if (static_cast<unsigned long>(count) > source->bytes_in_buffer) {
        source->next_input_byte += source->bytes_in_buffer;
        source->bytes_in_buffer = 0;
        return;
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// The fast integer transform stands in where the processor lacks MMX or MMX use is switched off.
// The switch is read at every call; the processor is identified once per process.
bool UseMmx() {
    DWORD disabled = 0;
    if (ReadSwitch("DisableMMX", &disabled) && disabled != 0)
        return false;
    return GetProcessorFeatures().mmx;
}

D3DFORMAT FormatForComponents(int components) {
    if (components == 1)
        return D3DFMT_L8;
    if (components == 3)
        return D3DFMT_X8R8G8B8;
    return D3DFMT_UNKNOWN;
}

void StoreRow(const JSAMPLE* row, UINT width, int components, BYTE* target) {
    if (components == 1) {
        std::memcpy(target, row, width);
        return;
    }
    for (UINT x = 0; x < width; ++x, row += 3, target += 4) {
        target[0] = row[2];
        target[1] = row[1];
        target[2] = row[0];
        target[3] = 0;
    }
}

// Destroys the decompressor however the decoder leaves; declared before the error jump point so
// that jumping back skips no destructor.
struct DecompressGuard {
    jpeg_decompress_struct* info;
    ~DecompressGuard() { jpeg_destroy_decompress(info); }
};

} // namespace

HRESULT DecodeJpeg(const BYTE* data, std::size_t size, DecodedImage& image) {
    if (size < 2 || data[0] != 0xFF || data[1] != 0xD8)
        return E_FAIL;

    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    jpeg_source_mgr source{};
    std::vector<JSAMPLE> row;
    DecompressGuard guard{&info};

    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpOnError;
    errors.manager.output_message = IgnoreMessage;
    if (setjmp(errors.jump))
        return E_FAIL;

    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxLibraryMemory;
    source.init_source = InitSource;
    source.fill_input_buffer = FillInputBuffer;
    source.skip_input_data = SkipInputData;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = TermSource;
    source.next_input_byte = data;
    source.bytes_in_buffer = size;
    info.src = &source;

    jpeg_read_header(&info, TRUE);
    if (!UseMmx())
        info.dct_method = JDCT_IFAST;
    jpeg_calc_output_dimensions(&info);

    const int components = info.output_components;
    image.format = FormatForComponents(components);
    if (image.format == D3DFMT_UNKNOWN)
        return E_FAIL;
    image.width = info.output_width;
    image.height = info.output_height;
    image.depth = 1;
    image.rowPitch = image.width * (components == 1 ? 1u : 4u);
    image.slicePitch = image.rowPitch * image.height;
    if (!image.loadPixels)
        return S_OK;

    const std::size_t bytes = static_cast<std::size_t>(image.rowPitch) * image.height;
    BYTE* pixels = image.AllocatePixels(bytes);
    if (pixels == nullptr)
        return E_OUTOFMEMORY;
    row.resize(static_cast<std::size_t>(image.width) * components);

    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        const UINT y = info.output_scanline;
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            return E_FAIL;
        StoreRow(row.data(), image.width, components, pixels + static_cast<std::size_t>(y) * image.rowPitch);
    }
    jpeg_finish_decompress(&info);
    return S_OK;
}
