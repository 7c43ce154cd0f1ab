// frame_bitmap.cpp: BMP frames, written and read.
#include "video/frame_bitmap.h"

#include <cstddef>

namespace mj::video {
namespace {

constexpr std::size_t FileHeader = 14;
constexpr std::size_t InfoHeader = 40;

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}
std::uint32_t get16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}
std::uint32_t get32(std::span<const std::uint8_t> b, std::size_t at) { return get16(b, at) | get16(b, at + 2) << 16; }

std::size_t rowBytes(int width, int bits) { return (static_cast<std::size_t>(width) * bits / 8 + 3) & ~std::size_t{3}; }

}  // namespace

std::vector<std::uint8_t> encodeBmp(int width, int height, std::span<const std::uint32_t> pixels) {
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<std::size_t>(width) * height) return {};
    const std::size_t row = rowBytes(width, 24);
    const std::size_t data = row * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> b(FileHeader + InfoHeader + data, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, FileHeader + InfoHeader);
    put32(b, 14, InfoHeader);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(height));
    put16(b, 26, 1);
    put16(b, 28, 24);
    put32(b, 34, static_cast<std::uint32_t>(data));
    put32(b, 38, 2835);  // 72 dpi
    put32(b, 42, 2835);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = &b[FileHeader + InfoHeader + row * static_cast<std::size_t>(height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            *out++ = static_cast<std::uint8_t>(p);
            *out++ = static_cast<std::uint8_t>(p >> 8);
            *out++ = static_cast<std::uint8_t>(p >> 16);
        }
    }
    return b;
}

std::optional<ui::Picture> decodeBmp(std::span<const std::uint8_t> b) {
    if (b.size() < FileHeader + InfoHeader || b[0] != 'B' || b[1] != 'M') return std::nullopt;
    const std::uint32_t offset = get32(b, 10);
    const std::uint32_t info = get32(b, 14);
    if (info < InfoHeader) return std::nullopt;
    const auto width = static_cast<std::int32_t>(get32(b, 18));
    const auto rawHeight = static_cast<std::int32_t>(get32(b, 22));
    const std::uint32_t planes = get16(b, 26);
    const std::uint32_t bits = get16(b, 28);
    const std::uint32_t compression = get32(b, 30);
    if (planes != 1 || (bits != 24 && bits != 32) || compression != 0) return std::nullopt;
    if (rawHeight == INT32_MIN) return std::nullopt;
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    if (width <= 0 || height <= 0 || width > MaxFrameSide || height > MaxFrameSide) return std::nullopt;
    const std::size_t row = rowBytes(width, static_cast<int>(bits));
    if (offset < FileHeader + info || offset > b.size() || b.size() - offset < row * static_cast<std::size_t>(height))
        return std::nullopt;

    ui::Picture pic;
    pic.width = width;
    pic.height = height;
    pic.pixels.resize(static_cast<std::size_t>(width) * height);
    const std::size_t step = bits / 8;
    for (int y = 0; y < height; ++y) {
        const std::size_t srcRow = topDown ? static_cast<std::size_t>(y) : static_cast<std::size_t>(height - 1 - y);
        const std::uint8_t* in = &b[offset + row * srcRow];
        for (int x = 0; x < width; ++x, in += step) {
            pic.pixels[static_cast<std::size_t>(y) * width + x] =
                0xFF000000u | static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[1]) << 8 | in[0];
        }
    }
    return pic;
}

}  // namespace mj::video
