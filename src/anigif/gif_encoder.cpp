// gif_encoder.cpp: LZW with 8-bit indices, a 5003-slot hashed dictionary, codes
// packed least significant bit first into 254-byte sub-blocks.
#include "anigif/gif_encoder.h"

#include <array>

namespace mj::anigif {
namespace {

constexpr int Clear = 256;
constexpr int End = 257;
constexpr int FirstFree = 258;
constexpr int TableLimit = 4096;  // codes are at most 12 bits
constexpr int HashSlots = 5003;   // prime, a little over 4096 / 0.8
constexpr int HashShift = 4;
constexpr std::size_t SubBlock = 254;

class CodeWriter {
public:
    explicit CodeWriter(std::vector<uint8_t>& out) : out_(out) {}
    int width = 9;

    void put(int code) {
        acc_ |= static_cast<uint64_t>(code) << nbits_;
        nbits_ += width;
        while (nbits_ >= 8) {
            block_[fill_++] = static_cast<uint8_t>(acc_);
            acc_ >>= 8;
            nbits_ -= 8;
            if (fill_ == SubBlock) emitBlock();
        }
    }
    void flush() {
        if (nbits_ > 0) {
            block_[fill_++] = static_cast<uint8_t>(acc_);
            acc_ = 0;
            nbits_ = 0;
        }
        if (fill_ > 0) emitBlock();
    }

private:
    void emitBlock() {
        out_.push_back(static_cast<uint8_t>(fill_));
        out_.insert(out_.end(), block_.begin(), block_.begin() + static_cast<std::ptrdiff_t>(fill_));
        fill_ = 0;
    }
    std::vector<uint8_t>& out_;
    std::array<uint8_t, SubBlock> block_{};
    std::size_t fill_ = 0;
    uint64_t acc_ = 0;
    int nbits_ = 0;
};

void put16(std::vector<uint8_t>& out, int32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

}  // namespace

/*
 * Layout:
 *     0   6  "GIF89a"
 *     6   2  width LE, 8 2 height LE
 *    10   1  0x87: global table of 256 entries; 11 1 background 0; 12 1 aspect 0
 *    13 768  the palette's colours, unused entries 0,0,0
 *   781   8  only with transparency: 21 F9 04 01 00 00 <index> 00
 *        10  2C, left 0, top 0, width, height, packed 0
 *         1  minimum code size 8
 *            sub-blocks of at most 254 data bytes, 00, 3B
 */
std::vector<uint8_t> encodeFrameAsGif(const FrameRecord& frame, const Palette& palette,
                                      std::span<const uint8_t> indices) {
    const int32_t w = frame.width, h = frame.height;
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    if (w <= 0 || h <= 0 || w > 0xFFFF || h > 0xFFFF || indices.size() < count) return {};

    std::vector<uint8_t> out;
    out.reserve(count + 801);
    for (char c : {'G', 'I', 'F', '8', '9', 'a'}) out.push_back(static_cast<uint8_t>(c));
    put16(out, w);
    put16(out, h);
    out.insert(out.end(), {0x87, 0x00, 0x00});
    for (int k = 0; k < 256; ++k) {
        const uint32_t c = k < palette.count ? palette.colors[k] : 0;
        out.insert(out.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    }
    if (frame.hasTransparency)
        out.insert(out.end(), {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, frame.transparentIndex, 0x00});
    out.push_back(0x2C);
    put16(out, 0);
    put16(out, 0);
    put16(out, w);
    put16(out, h);
    out.push_back(0x00);
    out.push_back(8);

    std::array<int32_t, HashSlots> keys;
    std::array<int16_t, HashSlots> codes{};
    keys.fill(-1);
    CodeWriter writer(out);
    int maxCode = 511;
    int nextCode = FirstFree;

    writer.put(Clear);
    int prefix = indices[0];
    for (std::size_t p = 1; p < count; ++p) {
        const int c = indices[p];
        const int32_t key = (c << 12) + prefix;
        int i = (c << HashShift) ^ prefix;
        if (keys[i] == key) {
            prefix = codes[i];
            continue;
        }
        if (keys[i] != -1) {
            const int step = i == 0 ? 1 : HashSlots - i;
            bool found = false;
            do {
                i -= step;
                if (i < 0) i += HashSlots;
                if (keys[i] == key) {
                    found = true;
                    break;
                }
            } while (keys[i] != -1);
            if (found) {
                prefix = codes[i];
                continue;
            }
        }
        writer.put(prefix);
        prefix = c;
        codes[i] = static_cast<int16_t>(nextCode);
        keys[i] = key;
        if (nextCode > maxCode) {
            if (nextCode == TableLimit) {
                // The table is full: clear it (still at 12 bits) and start over.
                writer.put(Clear);
                keys.fill(-1);
                writer.width = 9;
                nextCode = Clear + 1;
            } else {
                ++writer.width;
            }
            maxCode = (1 << writer.width) - 1;
        }
        ++nextCode;
    }
    writer.put(prefix);
    writer.put(End);
    writer.flush();
    out.push_back(0x00);
    out.push_back(0x3B);
    return out;
}

}  // namespace mj::anigif
