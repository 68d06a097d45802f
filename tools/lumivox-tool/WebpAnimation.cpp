#include "WebpAnimation.h"

#include <cstdio>
#include <webp/encode.h>
#include <webp/mux.h>

namespace {

std::string EncoderError(WebPAnimEncoder* encoder) {
    const char* text = WebPAnimEncoderGetError(encoder);
    return std::string("the WebP encoder failed") +
           (text && *text ? std::string(": ") + text : std::string());
}

bool WriteWhole(const std::string& path, const WebPData& data) {
    const std::string temporary = path + ".partial";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data.bytes, 1, data.size, file) == data.size;
    const bool closed = std::fclose(file) == 0;
    if (written && closed && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}

} // namespace

WebpAnimation::WebpAnimation(int width, int height) : width_(width), height_(height) {
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options))
        return;
    options.anim_params.loop_count = 0; // for ever
    encoder_ = WebPAnimEncoderNew(width, height, &options);
}

WebpAnimation::~WebpAnimation() {
    if (encoder_)
        WebPAnimEncoderDelete(encoder_);
}

bool WebpAnimation::Add(const Picture& picture, int timestampMs, std::string& error) {
    if (!encoder_ || picture.width != width_ || picture.height != height_) {
        error = "the WebP encoder cannot take this picture";
        return false;
    }
    WebPConfig config;
    WebPPicture frame;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&frame)) {
        error = "the WebP library does not match its headers";
        return false;
    }
    // Flat cartoon colours and hard edges: lossless keeps them exactly.
    config.lossless = 1;
    frame.use_argb = 1;
    frame.width = width_;
    frame.height = height_;
    bool added = WebPPictureImportBGRX(&frame, picture.bgra.data(), width_ * 4) &&
                 WebPAnimEncoderAdd(encoder_, &frame, timestampMs, &config);
    if (!added)
        error = EncoderError(encoder_);
    WebPPictureFree(&frame);
    return added;
}

bool WebpAnimation::Write(const std::string& path, int endMs, std::string& error) {
    WebPData data;
    WebPDataInit(&data);
    if (!encoder_ || !WebPAnimEncoderAdd(encoder_, nullptr, endMs, nullptr) ||
        !WebPAnimEncoderAssemble(encoder_, &data)) {
        error = encoder_ ? EncoderError(encoder_) : "the WebP encoder could not be made";
        WebPDataClear(&data);
        return false;
    }
    const bool written = WriteWhole(path, data);
    WebPDataClear(&data);
    if (!written)
        error = "cannot write " + path;
    return written;
}
