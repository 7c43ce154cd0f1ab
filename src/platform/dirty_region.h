// dirty_region.h: the parts of a window that need painting again, kept as a
// short list of rectangles in window pixels. The control model adds where a
// control was and where it is after each change; the window host takes the
// list, invalidates just those rectangles and repaints only them.
#pragma once
#include <cstddef>
#include <vector>

namespace mj::ui {

// Half-open: right and bottom are one past the last pixel.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    [[nodiscard]] bool empty() const { return right <= left || bottom <= top; }
    [[nodiscard]] long long area() const { return empty() ? 0 : static_cast<long long>(right - left) * (bottom - top); }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

[[nodiscard]] PixelRect intersect(const PixelRect& a, const PixelRect& b);
// The smallest rectangle holding both; an empty one adds nothing.
[[nodiscard]] PixelRect unite(const PixelRect& a, const PixelRect& b);
[[nodiscard]] bool contains(const PixelRect& outer, const PixelRect& inner);

class DirtyRegion {
public:
    // Beyond this many rectangles a new one is merged into the one it grows
    // least, so that a burst of changes stays cheap to keep and to paint.
    static constexpr std::size_t MaxRects = 16;

    void add(const PixelRect& r);
    // The whole window: a change the rectangles cannot describe (the window's
    // own size, colour or visibility).
    void addAll() {
        all_ = true;
        rects_.clear();
    }
    void add(const DirtyRegion& other);
    [[nodiscard]] bool all() const { return all_; }
    [[nodiscard]] bool empty() const { return !all_ && rects_.empty(); }
    // The rectangles, none inside another; meaningless when all() is set.
    [[nodiscard]] const std::vector<PixelRect>& rects() const { return rects_; }
    void clear() {
        all_ = false;
        rects_.clear();
    }
    // Hands the region over and leaves this one empty.
    DirtyRegion take() {
        DirtyRegion out = std::move(*this);
        clear();
        return out;
    }

private:
    bool all_ = false;
    std::vector<PixelRect> rects_;
};

}  // namespace mj::ui
