// gif_builder.h: writes small GIF streams byte by byte for the control's tests,
// with an LZW coder of its own that can also leave the full table in use
// (deferred clear) the way some encoders do.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace mj::anigif::testing {

using Bytes = std::vector<uint8_t>;

// Plain dictionary LZW, independent of the product's coder. With
// `clearWhenFull` false the table stays full and in use (12-bit codes) until
// `defer` more codes have gone out, then a clear follows.
inline Bytes lzwData(const std::vector<uint8_t>& pixels, int minCodeSize, bool clearWhenFull = true, int defer = 50) {
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::map<std::pair<int, int>, int> table;
    int next = clear + 2, width = minCodeSize + 1;
    std::vector<std::pair<int, int>> out;  // code, width
    auto emit = [&](int code) { out.push_back({code, width}); };
    emit(clear);
    int deferred = 0;
    if (!pixels.empty()) {
        int prefix = pixels[0];
        for (size_t i = 1; i < pixels.size(); ++i) {
            const int c = pixels[i];
            auto it = table.find({prefix, c});
            if (it != table.end()) {
                prefix = it->second;
                continue;
            }
            emit(prefix);
            if (next < 4096) {
                table[{prefix, c}] = next++;
                if (next > (1 << width) && width < 12) ++width;
            } else if (clearWhenFull || ++deferred >= defer) {
                emit(clear);
                table.clear();
                next = clear + 2;
                width = minCodeSize + 1;
                deferred = 0;
            }
            prefix = c;
        }
        emit(prefix);
    }
    emit(end);
    // Pack LSB first, then cut into sub-blocks of up to 255 bytes.
    Bytes packed;
    uint64_t acc = 0;
    int nbits = 0;
    for (auto [code, w] : out) {
        acc |= uint64_t(code) << nbits;
        nbits += w;
        while (nbits >= 8) {
            packed.push_back(uint8_t(acc));
            acc >>= 8;
            nbits -= 8;
        }
    }
    if (nbits) packed.push_back(uint8_t(acc));
    Bytes blocks;
    for (size_t at = 0; at < packed.size(); at += 255) {
        const size_t n = std::min<size_t>(255, packed.size() - at);
        blocks.push_back(uint8_t(n));
        blocks.insert(blocks.end(), packed.begin() + long(at), packed.begin() + long(at + n));
    }
    blocks.push_back(0);
    return blocks;
}

class GifBuilder {
public:
    explicit GifBuilder(std::string signature = "GIF89a", int screenW = 0, int screenH = 0) {
        for (char c : signature) b.push_back(uint8_t(c));
        word(screenW);
        word(screenH);
    }
    // Logical screen packed byte, background, aspect; with a global table of
    // 2^(sizeCode) entries when colors is not empty.
    GifBuilder& screen(const std::vector<uint32_t>& colors = {}, int sizeCode = 0) {
        b.push_back(colors.empty() ? 0 : uint8_t(0x80 | (sizeCode - 1)));
        b.push_back(0);
        b.push_back(0);
        table(colors, sizeCode);
        return *this;
    }
    GifBuilder& gce(int disposal, int delayCs, int transparent = -1, int blockSize = 4) {
        b.insert(b.end(), {0x21, 0xF9, uint8_t(blockSize)});
        Bytes body = {uint8_t((disposal << 2) | (transparent >= 0 ? 1 : 0)), uint8_t(delayCs & 0xFF),
                      uint8_t(delayCs >> 8), uint8_t(transparent >= 0 ? transparent : 0)};
        body.resize(size_t(blockSize), 0);
        b.insert(b.end(), body.begin(), body.end());
        b.push_back(0);
        return *this;
    }
    GifBuilder& netscape(int loops, const std::string& id = "NETSCAPE2.0") {
        b.insert(b.end(), {0x21, 0xFF, uint8_t(id.size())});
        for (char c : id) b.push_back(uint8_t(c));
        b.insert(b.end(), {3, 1, uint8_t(loops & 0xFF), uint8_t(loops >> 8), 0});
        return *this;
    }
    GifBuilder& extension(uint8_t label, const std::string& text) {
        b.insert(b.end(), {0x21, label, uint8_t(text.size())});
        for (char c : text) b.push_back(uint8_t(c));
        b.push_back(0);
        return *this;
    }
    // An image; `pixels` in display order. Interlaced images are stored in pass order.
    GifBuilder& image(int left, int top, int w, int h, const std::vector<uint8_t>& pixels, int minCodeSize = 8,
                      const std::vector<uint32_t>& local = {}, int localCode = 0, bool interlaced = false) {
        b.push_back(0x2C);
        word(left);
        word(top);
        word(w);
        word(h);
        b.push_back(uint8_t((local.empty() ? 0 : 0x80 | (localCode - 1)) | (interlaced ? 0x40 : 0)));
        table(local, localCode);
        b.push_back(uint8_t(minCodeSize));
        std::vector<uint8_t> stored = pixels;
        if (interlaced) {
            stored.clear();
            const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int y = start[p]; y < h; y += step[p])
                    stored.insert(stored.end(), pixels.begin() + long(y) * w, pixels.begin() + long(y + 1) * w);
        }
        raw(lzwData(stored, minCodeSize));
        return *this;
    }
    GifBuilder& raw(const Bytes& bytes) {
        b.insert(b.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Bytes end() {
        b.push_back(0x3B);
        return b;
    }
    Bytes b;

private:
    void word(int v) {
        b.push_back(uint8_t(v & 0xFF));
        b.push_back(uint8_t((v >> 8) & 0xFF));
    }
    void table(const std::vector<uint32_t>& colors, int sizeCode) {
        if (colors.empty()) return;
        for (int k = 0; k < (1 << sizeCode); ++k) {
            const uint32_t c = k < int(colors.size()) ? colors[size_t(k)] : 0;
            b.insert(b.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        }
    }
};

inline std::vector<uint32_t> greyPalette(int n) {
    std::vector<uint32_t> p;
    for (int k = 0; k < n; ++k) {
        const uint32_t v = uint32_t(k * 255 / std::max(1, n - 1));
        p.push_back((v << 16) | (v << 8) | v);
    }
    return p;
}

}  // namespace mj::anigif::testing
