// giflib_reader.h: opens a GIF held in memory with giflib, the reference
// decoder of the cross-checks and the benchmark (test-only, never in the product).
#pragma once

#include <gif_lib.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

namespace mj::anigif::reference {

struct MemoryInput {
    std::span<const uint8_t> data;
    std::size_t pos = 0;
};

inline int readMemory(GifFileType* gif, GifByteType* buf, int len) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(std::size_t(len), in->data.size() - in->pos);
    std::memcpy(buf, in->data.data() + in->pos, n);
    in->pos += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType* g) const {
        int err = 0;
        DGifCloseFile(g, &err);
    }
};
using GifPtr = std::unique_ptr<GifFileType, GifCloser>;

// DGifSlurp over `in`; null when giflib refuses the file. `in` must outlive the call.
inline GifPtr slurp(MemoryInput& in, int* slurpResult = nullptr) {
    int err = 0;
    GifPtr g(DGifOpen(&in, readMemory, &err));
    if (!g) return nullptr;
    const int r = DGifSlurp(g.get());
    if (slurpResult) *slurpResult = r;
    if (r != GIF_OK) return nullptr;
    return g;
}

}  // namespace mj::anigif::reference
