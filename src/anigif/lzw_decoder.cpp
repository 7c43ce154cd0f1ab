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

constexpr int MaxCodeBits = 12;
constexpr uint32_t TableSize = 1u << MaxCodeBits;
constexpr std::size_t Padding = 32;  // the bit reader loads whole words up to 18 bytes past the data

inline uint64_t load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Copies a string that ends at or before `d` (so 8-byte steps never read a byte
// this copy has written) and may write up to 7 bytes past its end.
inline void copyString(const uint8_t* s, uint8_t* d, std::size_t len) {
    std::size_t i = 0;
    do {
        const uint64_t v = load64(s + i);
        std::memcpy(d + i, &v, 8);
        i += 8;
    } while (i < len);
}

// The work buffer: every byte value once (literal codes are strings there), then
// the frame's indices, then room for the copies' overshoot.
constexpr std::size_t Origin = 256;
constexpr std::size_t Slack = 16;

}  // namespace

std::string_view toString(LzwEnd end) {
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

LzwResult LzwDecoder::decode(std::span<const uint8_t> subBlocks, int minCodeSize, std::span<uint8_t> out) {
    if (minCodeSize < 2 || minCodeSize > 8) return {0, LzwEnd::BadCodeSize};

    // Gather the data of all sub-blocks into one run, so the reader never stops at
    // a block boundary.
    if (packed_.size() < subBlocks.size() + Padding) packed_.resize(subBlocks.size() + Padding);
    std::size_t dataLen = 0;
    for (std::size_t at = 0; at < subBlocks.size();) {
        const std::size_t len = subBlocks[at];
        if (len == 0) break;
        const std::size_t take = std::min(len, subBlocks.size() - at - 1);
        std::memcpy(packed_.data() + dataLen, subBlocks.data() + at + 1, take);
        dataLen += take;
        at += len + 1;
    }
    std::memset(packed_.data() + dataLen, 0, Padding);

    if (work_.empty()) {
        work_.resize(Origin);
        for (std::size_t k = 0; k < Origin; ++k) work_[k] = static_cast<uint8_t>(k);
    }
    if (work_.size() < Origin + out.size() + Slack) work_.resize(Origin + out.size() + Slack);
    uint8_t* const w = work_.data();
    const std::size_t end = Origin + out.size();
    std::size_t o = Origin;

    const uint32_t clear = 1u << minCodeSize;
    const uint32_t endCode = clear + 1;

    // Entry k: the string starts at w[pos] and is len long; len 0 marks the clear
    // and end codes. One spare slot takes the writes made while the table is full.
    struct Entry {
        uint32_t pos;
        uint32_t len;
    };
    Entry table[TableSize + 1];
    for (uint32_t k = 0; k < clear; ++k) table[k] = {k, 1};
    table[clear] = {0, 0};
    table[endCode] = {0, 0};

    const uint8_t* const base = packed_.data();
    const uint8_t* in = base;
    // Past this point a code may run into the padding; only then is the exact
    // number of bits consumed worked out.
    const uint8_t* const nearEnd = base + (dataLen > 8 ? dataLen - 8 : 0);
    const uint64_t totalBits = uint64_t{dataLen} * 8;
    uint64_t bits = 0;
    uint32_t nbits = 0;
    uint32_t width = 0, mask = 0, next = 0, widenAt = 0;

    // Reads one code of `width` bits into `code`; false at the end of the data.
    // The refill keeps (in - base) * 8 - nbits equal to the bits consumed.
    auto read = [&](uint32_t& code) {
        if (nbits < width) {
            bits |= load64(in) << nbits;
            in += (63 - nbits) >> 3;
            nbits |= 56;
        }
        if (in >= nearEnd) [[unlikely]] {
            if (uint64_t(in - base) * 8 - nbits + width > totalBits) return false;
        }
        code = static_cast<uint32_t>(bits) & mask;
        bits >>= width;
        nbits -= width;
        return true;
    };
    auto done = [&](LzwEnd why) {
        std::memcpy(out.data(), w + Origin, o - Origin);
        return LzwResult{o - Origin, why};
    };

    while (o < end) {
        // After a clear (or at the start) the first code must be a literal.
        width = minCodeSize + 1;
        mask = (1u << width) - 1;
        widenAt = 1u << width;
        next = clear + 2;
        uint32_t code;
        if (!read(code)) return done(LzwEnd::EndOfData);
        if (code == clear) continue;
        if (code == endCode) return done(LzwEnd::Complete);
        if (code > clear) return done(LzwEnd::BadCode);
        std::size_t prevPos = o;
        uint32_t prevLen = 1;
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
                copyString(w + e.pos, w + o, length);
            } else {
                // Only the code being defined right now may follow: the previous
                // string plus its own first byte.
                if (code != next || next >= TableSize) return done(LzwEnd::BadCode);
                length = prevLen + 1;
                if (length > end - o) [[unlikely]] {
                    for (std::size_t i = 0; o < end; ++i) w[o++] = w[prevPos + i];
                    return done(LzwEnd::Complete);
                }
                copyString(w + prevPos, w + o, prevLen);
                w[o + prevLen] = w[prevPos];
            }
            // The new entry is the previous string plus this string's first byte,
            // which sits right after the previous string. A full table stays in use,
            // unchanged, until the stream clears it.
            table[next] = {static_cast<uint32_t>(prevPos), prevLen + 1};
            next += next < TableSize;
            if (next == widenAt) [[unlikely]] {
                ++width;
                mask = (1u << width) - 1;
                widenAt = width < MaxCodeBits ? 1u << width : TableSize + 1;
            }
            prevPos = o;
            prevLen = length;
            o += length;
        }
    }
    return done(LzwEnd::Complete);
}

}  // namespace mj::anigif
