// lzw_decoder.cpp: the variable-width LZW of GIF, up to 12-bit codes.
//
// Speed comes from two things. Codes are read from the gathered data 64 bits at
// a time. And a table entry is not a chain of (prefix, byte) links walked back a
// byte at a time: every string the table holds has already appeared in the
// output, so an entry is just where it first appeared and how long it is, and a
// code expands with a forward copy of several bytes per step.
#include "anigif/lzw_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace mj::anigif {
namespace {

static_assert(std::endian::native == std::endian::little, "the bit reader loads little-endian words");

constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableSize = 1u << kMaxCodeBits;
constexpr std::size_t kPadding = 32;  // the bit reader loads whole words up to 18 bytes past the data

inline uint64_t load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Copies a string that ends at or before `d` (so 8-byte steps never read a byte
// this copy has written) and may write up to 7 bytes past its end.
inline void copy_string(const uint8_t* s, uint8_t* d, std::size_t len) {
    std::size_t i = 0;
    do {
        const uint64_t v = load64(s + i);
        std::memcpy(d + i, &v, 8);
        i += 8;
    } while (i < len);
}

// The work buffer: every byte value once (literal codes are strings there), then
// the frame's indices, then room for the copies' overshoot.
constexpr std::size_t kOrigin = 256;
constexpr std::size_t kSlack = 16;

}  // namespace

std::string_view to_string(LzwEnd end) {
    switch (end) {
    case LzwEnd::Complete:
        return "complete";
    case LzwEnd::EndOfData:
        return "image data cut short";
    case LzwEnd::BadCode:
        return "invalid code in image data";
    case LzwEnd::BadCodeSize:
        return "invalid minimum code size";
    }
    return "unknown decode result";
}

LzwResult LzwDecoder::decode(std::span<const uint8_t> sub_blocks, int min_code_size, std::span<uint8_t> out) {
    if (min_code_size < 2 || min_code_size > 8) return {0, LzwEnd::BadCodeSize};

    // Gather the data of all sub-blocks into one run, so the reader never stops at
    // a block boundary.
    if (packed_.size() < sub_blocks.size() + kPadding) packed_.resize(sub_blocks.size() + kPadding);
    std::size_t data_len = 0;
    for (std::size_t at = 0; at < sub_blocks.size();) {
        const std::size_t len = sub_blocks[at];
        if (len == 0) break;
        const std::size_t take = std::min(len, sub_blocks.size() - at - 1);
        std::memcpy(packed_.data() + data_len, sub_blocks.data() + at + 1, take);
        data_len += take;
        at += len + 1;
    }
    std::memset(packed_.data() + data_len, 0, kPadding);

    if (work_.empty()) {
        work_.resize(kOrigin);
        for (std::size_t k = 0; k < kOrigin; ++k) work_[k] = static_cast<uint8_t>(k);
    }
    if (work_.size() < kOrigin + out.size() + kSlack) work_.resize(kOrigin + out.size() + kSlack);
    uint8_t* const w = work_.data();
    const std::size_t end = kOrigin + out.size();
    std::size_t o = kOrigin;

    const uint32_t clear = 1u << min_code_size;
    const uint32_t end_code = clear + 1;

    // Entry k: the string starts at w[pos] and is len long; len 0 marks the clear
    // and end codes. One spare slot takes the writes made while the table is full.
    struct Entry {
        uint32_t pos;
        uint32_t len;
    };
    Entry table[kTableSize + 1];
    for (uint32_t k = 0; k < clear; ++k) table[k] = {k, 1};
    table[clear] = {0, 0};
    table[end_code] = {0, 0};

    const uint8_t* const base = packed_.data();
    const uint8_t* in = base;
    // Past this point a code may run into the padding; only then is the exact
    // number of bits consumed worked out.
    const uint8_t* const near_end = base + (data_len > 8 ? data_len - 8 : 0);
    const uint64_t total_bits = uint64_t{data_len} * 8;
    uint64_t bits = 0;
    uint32_t nbits = 0;
    uint32_t width = 0, mask = 0, next = 0, widen_at = 0;

    // Reads one code of `width` bits into `code`; false at the end of the data.
    // The refill keeps (in - base) * 8 - nbits equal to the bits consumed.
    auto read = [&](uint32_t& code) {
        if (nbits < width) {
            bits |= load64(in) << nbits;
            in += (63 - nbits) >> 3;
            nbits |= 56;
        }
        if (in >= near_end) [[unlikely]] {
            if (uint64_t(in - base) * 8 - nbits + width > total_bits) return false;
        }
        code = static_cast<uint32_t>(bits) & mask;
        bits >>= width;
        nbits -= width;
        return true;
    };
    auto done = [&](LzwEnd why) {
        std::memcpy(out.data(), w + kOrigin, o - kOrigin);
        return LzwResult{o - kOrigin, why};
    };

    while (o < end) {
        // After a clear (or at the start) the first code must be a literal.
        width = min_code_size + 1;
        mask = (1u << width) - 1;
        widen_at = 1u << width;
        next = clear + 2;
        uint32_t code;
        if (!read(code)) return done(LzwEnd::EndOfData);
        if (code == clear) continue;
        if (code == end_code) return done(LzwEnd::Complete);
        if (code > clear) return done(LzwEnd::BadCode);
        std::size_t prev_pos = o;
        uint32_t prev_len = 1;
        w[o++] = static_cast<uint8_t>(code);

        while (o < end) {
            if (!read(code)) return done(LzwEnd::EndOfData);
            uint32_t length;
            if (code < next) [[likely]] {
                const Entry e = table[code];
                if (e.len == 0) [[unlikely]] {
                    if (code == clear) break;
                    return done(LzwEnd::Complete);
                }
                length = e.len;
                if (length > end - o) [[unlikely]] {
                    length = static_cast<uint32_t>(end - o);
                    for (uint32_t i = 0; i < length; ++i) w[o + i] = w[e.pos + i];
                    o = end;
                    return done(LzwEnd::Complete);
                }
                copy_string(w + e.pos, w + o, length);
            } else {
                // Only the code being defined right now may follow: the previous
                // string plus its own first byte.
                if (code != next || next >= kTableSize) return done(LzwEnd::BadCode);
                length = prev_len + 1;
                if (length > end - o) [[unlikely]] {
                    for (std::size_t i = 0; o < end; ++i) w[o++] = w[prev_pos + i];
                    return done(LzwEnd::Complete);
                }
                copy_string(w + prev_pos, w + o, prev_len);
                w[o + prev_len] = w[prev_pos];
            }
            // The new entry is the previous string plus this string's first byte,
            // which sits right after the previous string. A full table stays in use,
            // unchanged, until the stream clears it.
            table[next] = {static_cast<uint32_t>(prev_pos), prev_len + 1};
            next += next < kTableSize;
            if (next == widen_at) [[unlikely]] {
                ++width;
                mask = (1u << width) - 1;
                widen_at = width < kMaxCodeBits ? 1u << width : kTableSize + 1;
            }
            prev_pos = o;
            prev_len = length;
            o += length;
        }
    }
    return done(LzwEnd::Complete);
}

}  // namespace mj::anigif
