// frame_renderer.h: composes the frames of an animation into one picture with
// palettes, transparency and disposal, mirrors frames, and works out the output
// geometry of the stretch modes. Presenting the picture is the platform's job.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "anigif/frame_decoder.h"
#include "anigif/gif_parser.h"

namespace mj::anigif {

struct Rect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const Rect&, const Rect&) = default;
};
Rect united(const Rect& a, const Rect& b);

// 0xAARRGGBB, row-major, top row first. Alpha is 0 where no frame pixel covers
// the point (what lies behind the control shows) and 255 elsewhere, so the
// pixels are valid premultiplied and straight alike.
struct Image {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
};
inline constexpr uint32_t Opaque = 0xFF000000u;

// The picture as the animation has left it after frame `index` was drawn. Frame
// 0 starts each pass from an empty picture; a frame is drawn over what the
// earlier ones left after their disposal.
class Compositor {
public:
    void reset(int32_t width, int32_t height);
    // Draws frame `index` (0-based) and returns the area that changed.
    Rect compose(const ParsedGif& gif, std::span<const FrameCell> cells, std::size_t index);
    // Flips the picture and any saved disposal state; bit 0 left-right, bit 1 top-bottom.
    void mirror(int flips);
    const Image& image() const { return canvas_; }

private:
    Image canvas_;
    // Disposal of the frame drawn last, carried out before the next one is drawn.
    Disposal pending_ = Disposal::Unspecified;
    Rect pendingRect_;
    std::vector<uint32_t> saved_;  // pixels under a "restore previous" frame
};

// Flips a decoded frame in place and mirrors its position in the logical
// screen of `width` x `height`.
void mirrorFrame(FrameRecord& frame, FrameCell& cell, int flips, int32_t width, int32_t height);

// The stretch modes of the control.
enum class StretchMode : int32_t { Clip = 0, Fit = 1, Fill = 2, FitNoEnlarge = 3, Natural = 4 };

struct StretchResult {
    int32_t width = 0, height = 0;  // output size
    float scaleX = 1, scaleY = 1;
};
// `w` x `h` is the control's inner size, `picW` x `picH` the picture's.
StretchResult computeStretch(StretchMode mode, int32_t w, int32_t h, int32_t picW, int32_t picH);

// A single-precision scale times a pixel count, to the nearest integer, halves to even.
int32_t scaled(float scale, int32_t value);

}  // namespace mj::anigif
