// wire.h: the fixed 272-byte message exchanged with the game server, and the
// command record senders fill and the decoder fills.
//
//   bytes    field        notes
//   0-1      reserved     0
//   2        cmd high     cmd / 256 (0 for every command in use); never read
//   3        cmd          the only command byte read
//   4        reserved     0
//   5        byte5
//   6        seat         a seat bit; read as its low nibble
//   7        byte7
//   8-15     value[0..3]  16-bit big-endian each; read as the low byte, except
//                         command 17 whose values are signed 16-bit
//   16-259   body         per command
//   260-261  echo         the last received echo bytes, on messages we queue
//   262-267  reserved     0
//   268-271  session key  little-endian; only in the reconnect message
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace mj {

inline constexpr std::size_t WireMessageSize = 272;
using WireMessage = std::array<std::uint8_t, WireMessageSize>;

namespace wire {
inline constexpr std::size_t CmdHigh = 2;
inline constexpr std::size_t Cmd = 3;
inline constexpr std::size_t Byte5 = 5;
inline constexpr std::size_t Seat = 6;
inline constexpr std::size_t Byte7 = 7;
inline constexpr std::size_t Value = 8;
inline constexpr std::size_t Body = 16;
inline constexpr std::size_t BodyEnd = 260;  // one past the last body byte
inline constexpr std::size_t Echo = 260;
inline constexpr std::size_t SessionKey = 268;
}  // namespace wire

struct CmdInfo {
    std::int16_t cmd = 0;
    std::uint8_t byte5 = 0;
    std::uint8_t seat = 0;
    std::uint8_t byte7 = 0;
    std::array<std::int16_t, 4> value{};
};

// Command numbers the link itself makes or reads.
inline constexpr std::int16_t CmdDiscard = 2;
inline constexpr std::int16_t CmdSeatName = 3;
inline constexpr std::int16_t CmdClaim = 7;
inline constexpr std::int16_t CmdReady = 16;
inline constexpr std::int16_t CmdLeave = 16;
inline constexpr std::int16_t CmdHandDetail = 17;
inline constexpr std::int16_t CmdLogin = 18;
inline constexpr std::int16_t CmdChat = 19;
inline constexpr std::int16_t CmdPlayerLeft = 21;
inline constexpr std::int16_t CmdKeepAlive = 24;
inline constexpr std::int16_t CmdReconnect = 28;
inline constexpr std::int16_t CmdReconnectReply = 29;
inline constexpr std::int16_t CmdPropItem = 45;

}  // namespace mj
