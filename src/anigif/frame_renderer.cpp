// frame_renderer.cpp: composition, disposal, mirroring and stretch geometry.
#include "anigif/frame_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace mj::anigif {

Rect united(const Rect& a, const Rect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    const int32_t x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int32_t x1 = std::max(a.x + a.width, b.x + b.width), y1 = std::max(a.y + a.height, b.y + b.height);
    return {x0, y0, x1 - x0, y1 - y0};
}

namespace {

Rect clip(const Rect& r, int32_t width, int32_t height) {
    const int32_t x0 = std::clamp(r.x, 0, width), y0 = std::clamp(r.y, 0, height);
    const int32_t x1 = std::clamp<int64_t>(int64_t{r.x} + r.width, x0, width);
    const int32_t y1 = std::clamp<int64_t>(int64_t{r.y} + r.height, y0, height);
    return {x0, y0, x1 - x0, y1 - y0};
}

template <typename T>
void flipBlock(T* px, int32_t width, int32_t height, int flips) {
    if (flips & 1)
        for (int32_t y = 0; y < height; ++y) std::reverse(px + int64_t{y} * width, px + int64_t{y + 1} * width);
    if (flips & 2)
        for (int32_t y = 0; y < height / 2; ++y)
            std::swap_ranges(px + int64_t{y} * width, px + int64_t{y + 1} * width,
                             px + int64_t{height - 1 - y} * width);
}

Rect mirroredRect(const Rect& r, int flips, int32_t width, int32_t height) {
    Rect m = r;
    if (flips & 1) m.x = width - (r.x + r.width);
    if (flips & 2) m.y = height - (r.y + r.height);
    return m;
}

}  // namespace

void Compositor::reset(int32_t width, int32_t height) {
    canvas_.width = width;
    canvas_.height = height;
    canvas_.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    pending_ = Disposal::Unspecified;
    pendingRect_ = {};
    saved_.clear();
}

Rect Compositor::compose(const ParsedGif& gif, std::span<const FrameCell> cells, std::size_t index) {
    const int32_t cw = canvas_.width;
    uint32_t* const canvas = canvas_.pixels.data();
    Rect dirty;
    if (index == 0) {
        std::fill(canvas_.pixels.begin(), canvas_.pixels.end(), 0u);
        dirty = {0, 0, cw, canvas_.height};
    } else if (pending_ == Disposal::Background) {
        // Restore to background: the area becomes transparent; the stream's
        // background colour is not used.
        for (int32_t y = 0; y < pendingRect_.height; ++y)
            std::fill_n(canvas + int64_t{pendingRect_.y + y} * cw + pendingRect_.x, pendingRect_.width, 0u);
        dirty = pendingRect_;
    } else if (pending_ == Disposal::Previous) {
        for (int32_t y = 0; y < pendingRect_.height; ++y)
            std::memcpy(canvas + int64_t{pendingRect_.y + y} * cw + pendingRect_.x,
                        saved_.data() + int64_t{y} * pendingRect_.width, sizeof(uint32_t) * pendingRect_.width);
        dirty = pendingRect_;
    }
    pending_ = Disposal::Unspecified;
    pendingRect_ = {};

    if (index >= gif.frames.size() || index >= cells.size()) return dirty;
    const FrameRecord& f = gif.frames[index];
    const FrameCell& cell = cells[index];
    const Rect r = clip({f.left, f.top, f.width, f.height}, cw, canvas_.height);
    if (r.empty() || cell.indices.size() < static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height))
        return dirty;

    if (f.disposal == Disposal::Previous) {
        saved_.resize(static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height));
        for (int32_t y = 0; y < r.height; ++y)
            std::memcpy(saved_.data() + int64_t{y} * r.width, canvas + int64_t{r.y + y} * cw + r.x,
                        sizeof(uint32_t) * r.width);
    }
    if (f.disposal == Disposal::Background || f.disposal == Disposal::Previous) {
        pending_ = f.disposal;
        pendingRect_ = r;
    }

    // Indices past the palette's colour count show opaque black; the
    // transparent index shows what lies behind, whatever the count.
    uint32_t lut[256];
    const Palette& pal = gif.palettes.at(static_cast<std::size_t>(f.palette));
    for (int k = 0; k < 256; ++k) lut[k] = Opaque | (k < pal.count ? pal.colors[k] : 0u);
    const uint8_t* src = cell.indices.data() + int64_t{r.y - f.top} * f.width + (r.x - f.left);
    uint32_t* dst = canvas + int64_t{r.y} * cw + r.x;
    if (f.hasTransparency) {
        const uint8_t t = f.transparentIndex;
        for (int32_t y = 0; y < r.height; ++y, src += f.width, dst += cw)
            for (int32_t x = 0; x < r.width; ++x)
                if (src[x] != t) dst[x] = lut[src[x]];
    } else {
        for (int32_t y = 0; y < r.height; ++y, src += f.width, dst += cw)
            for (int32_t x = 0; x < r.width; ++x) dst[x] = lut[src[x]];
    }
    return united(dirty, r);
}

void Compositor::mirror(int flips) {
    flips &= 3;
    if (!flips) return;
    flipBlock(canvas_.pixels.data(), canvas_.width, canvas_.height, flips);
    if (pending_ != Disposal::Unspecified) {
        if (pending_ == Disposal::Previous) flipBlock(saved_.data(), pendingRect_.width, pendingRect_.height, flips);
        pendingRect_ = mirroredRect(pendingRect_, flips, canvas_.width, canvas_.height);
    }
}

void mirrorFrame(FrameRecord& frame, FrameCell& cell, int flips, int32_t width, int32_t height) {
    flips &= 3;
    if (!flips) return;
    const Rect m = mirroredRect({frame.left, frame.top, frame.width, frame.height}, flips, width, height);
    frame.left = m.x;
    frame.top = m.y;
    if (cell.indices.size() == static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height))
        flipBlock(cell.indices.data(), frame.width, frame.height, flips);
}

int32_t scaled(float scale, int32_t value) {
    const float product = scale * static_cast<float>(value);
    return static_cast<int32_t>(std::nearbyint(product));  // the default rounding mode is half-even
}

StretchResult computeStretch(StretchMode mode, int32_t w, int32_t h, int32_t picW, int32_t picH) {
    StretchResult r;
    if (picW <= 0 || picH <= 0) return r;
    const float fx = static_cast<float>(static_cast<double>(w) / picW);
    const float fy = static_cast<float>(static_cast<double>(h) / picH);
    switch (mode) {
    case StretchMode::Clip:
        r.width = std::min(w, picW);
        r.height = std::min(h, picH);
        return r;
    case StretchMode::Fit:
        r.scaleX = r.scaleY = std::min(fx, fy);
        break;
    case StretchMode::Fill:
        r.scaleX = fx;
        r.scaleY = fy;
        r.width = w;
        r.height = h;
        return r;
    case StretchMode::FitNoEnlarge:
        r.scaleX = r.scaleY = (fx > 1 && fy > 1) ? 1.0f : std::min(fx, fy);
        break;
    case StretchMode::Natural:
        r.width = picW;
        r.height = picH;
        return r;
    }
    r.width = scaled(r.scaleX, picW);
    r.height = scaled(r.scaleY, picH);
    return r;
}

}  // namespace mj::anigif
