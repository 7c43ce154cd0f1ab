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

// Copies `len` bytes from an earlier position of `out` to `dst`. The source
// string ends at or before `dst` (KwKwK is split by the caller), so 8-byte steps
// never read a byte this copy has written. `room` bytes are writable at `dst`.
inline void copy_earlier(uint8_t* out, std::size_t src, std::size_t dst, std::size_t len, std::size_t room) {
  if (len + 7 <= room) {
    const uint8_t* s = out + src;
    uint8_t* d = out + dst;
    for (std::size_t i = 0; i < len; i += 8) {
      const uint64_t v = load64(s + i);
      std::memcpy(d + i, &v, 8);
    }
  } else {
    for (std::size_t i = 0; i < len; ++i) out[dst + i] = out[src + i];
  }
}

}  // namespace

std::string_view to_string(LzwEnd end) {
  switch (end) {
    case LzwEnd::Complete: return "complete";
    case LzwEnd::EndOfData: return "image data cut short";
    case LzwEnd::BadCode: return "invalid code in image data";
    case LzwEnd::BadCodeSize: return "invalid minimum code size";
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

  const uint32_t clear = 1u << min_code_size;
  const uint32_t end_code = clear + 1;
  uint32_t width = min_code_size + 1;
  uint32_t mask = (1u << width) - 1;
  uint32_t next = clear + 2;

  // Entry k (k >= clear + 2): the string starts at out[pos[k]] and is len[k] long.
  uint32_t pos[kTableSize];
  uint16_t len[kTableSize];

  uint8_t* const dst = out.data();
  const std::size_t size = out.size();
  std::size_t o = 0;

  const uint8_t* in = packed_.data();
  const uint64_t total_bits = uint64_t{data_len} * 8;
  uint64_t used_bits = 0;
  uint64_t bits = 0;
  uint32_t nbits = 0;

  bool have_prev = false;
  std::size_t prev_pos = 0;
  uint32_t prev_len = 0;

  while (o < size) {
    if (nbits < width) {
      bits |= load64(in) << nbits;
      in += (63 - nbits) >> 3;
      nbits |= 56;
    }
    used_bits += width;
    if (used_bits > total_bits) return {o, LzwEnd::EndOfData};
    const uint32_t code = static_cast<uint32_t>(bits) & mask;
    bits >>= width;
    nbits -= width;

    if (code == clear) {
      width = min_code_size + 1;
      mask = (1u << width) - 1;
      next = clear + 2;
      have_prev = false;
      continue;
    }
    if (code == end_code) return {o, LzwEnd::Complete};

    const std::size_t start = o;
    uint32_t length;
    if (code < clear) {
      dst[o++] = static_cast<uint8_t>(code);
      length = 1;
    } else if (!have_prev) {
      return {o, LzwEnd::BadCode};  // a table code before any string exists
    } else if (code < next) {
      length = len[code];
      const std::size_t room = size - o;
      if (length > room) {
        copy_earlier(dst, pos[code], o, room, room);
        return {size, LzwEnd::Complete};
      }
      copy_earlier(dst, pos[code], o, length, room);
      o += length;
    } else if (code == next && next < kTableSize) {
      // The code being defined right now: the previous string plus its own first byte.
      length = prev_len + 1;
      const std::size_t room = size - o;
      const std::size_t take = std::min<std::size_t>(prev_len, room);
      copy_earlier(dst, prev_pos, o, take, room);
      if (take < prev_len || prev_len == room) return {size, LzwEnd::Complete};
      dst[o + prev_len] = dst[prev_pos];
      o += length;
    } else {
      return {o, LzwEnd::BadCode};
    }

    // The new entry is the previous string plus this string's first byte, which
    // sits right after the previous string in the output.
    if (have_prev && next < kTableSize) {
      pos[next] = static_cast<uint32_t>(prev_pos);
      len[next] = static_cast<uint16_t>(prev_len + 1);
      ++next;
      if (next == (1u << width) && width < kMaxCodeBits) {
        ++width;
        mask = (1u << width) - 1;
      }
    }
    have_prev = true;
    prev_pos = start;
    prev_len = length;
  }
  return {o, LzwEnd::Complete};
}

}  // namespace mj::anigif
