#pragma once
// Where a device shows its pictures. A window handle (HWND) is a pointer to one of these; a null
// handle makes a headless device.

#include "platform/os/WinTypes.h"

class PresentationTarget {
public:
    virtual ~PresentationTarget() = default;
    // Shows one picture: `height` rows of `width` X8R8G8B8 pixels, `pitch` bytes apart. The pixels
    // are only valid during the call.
    virtual void PresentImage(const void* pixels, int width, int height, int pitch) = 0;

    // A target may instead lend the device its own picture of `width` x `height` X8R8G8B8 pixels,
    // rows `*pitch` bytes apart, to be written directly; PictureWritten follows once it holds the
    // new picture, naming the rectangles outside which the pixels are those the picture held
    // before (none: nothing changed). Null (the default) means PresentImage is used.
    virtual void* PictureBuffer(int /*width*/, int /*height*/, int* /*pitch*/) { return nullptr; }
    virtual void PictureWritten(const RECT* /*changed*/, int /*count*/) {}
};

inline HWND WindowFromPresentationTarget(PresentationTarget* target) {
    return reinterpret_cast<HWND>(target);
}

inline PresentationTarget* PresentationTargetFromWindow(HWND window) {
    return reinterpret_cast<PresentationTarget*>(window);
}
