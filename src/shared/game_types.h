// game_types.h: tiles, seats, screen places and claim bits as every subsystem
// uses them.
#pragma once
#include <cstdint>
#include <optional>

namespace mj {

// One byte: the one-hot suit bit in the high nibble (1 honours 東南西北中發白 as
// ranks 1-7, 2 条, 4 萬, 8 筒) and the rank 1-9 in the low nibble.
using TileCode = std::uint8_t;
inline constexpr TileCode HongZhong = 0x15;
inline constexpr int DiscardFlag = 0x4000;
inline constexpr int ClaimedFlag = 0x2000;

[[nodiscard]] constexpr int tileSuitBit(TileCode t) { return t >> 4; }
[[nodiscard]] constexpr int tileRank(TileCode t) { return t & 0x0F; }
// A real tile: a one-hot suit and a rank its suit has.
[[nodiscard]] constexpr bool isValidTile(TileCode t) {
    const int suit = tileSuitBit(t);
    const int rank = tileRank(t);
    if (suit == 1) return rank >= 1 && rank <= 7;
    if (suit == 2 || suit == 4 || suit == 8) return rank >= 1 && rank <= 9;
    return false;
}

// A seat as a one-hot bit 1, 2, 4 or 8.
using SeatBit = std::uint8_t;
[[nodiscard]] constexpr bool isValidSeatBit(int b) { return b == 1 || b == 2 || b == 4 || b == 8; }

// A seat's place on screen relative to the local player.
enum class ViewPos : int { Bottom = 0, Left = 1, Top = 2, Right = 3 };

// Claim operation bits; the same bits form the server's offer mask.
enum ClaimOp : int {
    OpPass = 1,
    OpChi = 4,
    OpPeng = 8,
    OpMingGang = 16,
    OpAnGang = 32,
    OpSingleGang = 64,
    OpHu = 128,
};

}  // namespace mj
