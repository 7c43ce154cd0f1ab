// dirty_region.cpp: rectangle arithmetic and the bounded list of dirty parts.
#include "platform/dirty_region.h"

#include <algorithm>

namespace mj::ui {

PixelRect intersect(const PixelRect& a, const PixelRect& b) {
    PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return r.empty() ? PixelRect{} : r;
}

PixelRect unite(const PixelRect& a, const PixelRect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

bool contains(const PixelRect& outer, const PixelRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

void DirtyRegion::add(const PixelRect& r) {
    if (all_ || r.empty()) return;
    PixelRect in = r;
    for (const PixelRect& have : rects_) {
        if (contains(have, in)) return;
    }
    if (rects_.size() >= MaxRects) {
        // Merge into the rectangle whose union with it wastes the least area.
        auto best = rects_.begin();
        long long bestGrowth = -1;
        for (auto it = rects_.begin(); it != rects_.end(); ++it) {
            const long long growth = unite(*it, in).area() - it->area();
            if (bestGrowth < 0 || growth < bestGrowth) {
                bestGrowth = growth;
                best = it;
            }
        }
        in = unite(*best, in);
        rects_.erase(best);
    }
    std::erase_if(rects_, [&](const PixelRect& have) { return contains(in, have); });
    rects_.push_back(in);
}

void DirtyRegion::add(const DirtyRegion& other) {
    if (other.all_) {
        addAll();
        return;
    }
    for (const PixelRect& r : other.rects_) add(r);
}

}  // namespace mj::ui
