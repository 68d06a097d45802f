#pragma once
// Pictures gathered into an animated WebP file (libwebp's animation encoder, lossless, looping).

#include <string>

#include "BackBuffer.h"

struct WebPAnimEncoder;

class WebpAnimation {
public:
    WebpAnimation(int width, int height);
    ~WebpAnimation();
    WebpAnimation(const WebpAnimation&) = delete;
    WebpAnimation& operator=(const WebpAnimation&) = delete;

    // Adds a picture (of the animation's size, its fourth byte ignored) shown from `timestampMs`.
    bool Add(const Picture& picture, int timestampMs, std::string& error);
    // Ends the last picture at `endMs` and writes the file whole, or leaves none.
    bool Write(const std::string& path, int endMs, std::string& error);

private:
    int width_;
    int height_;
    WebPAnimEncoder* encoder_ = nullptr;
};
