// video_relay_protocol.h: the small protocol our video socket speaks over TCP
// with the video relay (tools/video_relay). Every packet is a 4-byte
// big-endian length of what follows, one kind byte, then the kind's fields.
//
// Client to relay:
//   Login     name
//   Logout
//   Link      slot, name      the slot wants frames to and from that user
//   Unlink    slot
//   Data      slot, what, bytes (what: format, mode or a frame)
// Relay to client:
//   LoggedIn
//   SlotState slot, state     see the slot states in components.h
//   Data      slot, what, bytes, from the user the slot is linked to
//
// A link is up when both users are logged in: state 12 while only one side
// links the other, 15 when both do; 5 while the other user is not logged in.
// Frames pass only over links that are up on both sides.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mj::platform::relay {

enum Kind : std::uint8_t {
    Login = 1,
    Logout = 2,
    Link = 3,
    Unlink = 4,
    Data = 5,
    LoggedIn = 0x81,
    SlotState = 0x82,
};
enum What : std::uint8_t { Format = 0, Mode = 1, Frame = 2 };

inline constexpr int StateWaiting = 5;
inline constexpr int StateOneWay = 12;
inline constexpr int StateBothWays = 15;

// Packets larger than this end the connection: a frame of the largest side
// in 32 bits with room to spare.
inline constexpr std::uint32_t MaxPacket = 4u * 1024 * 1024 + 64;
inline constexpr std::size_t MaxName = 64;

struct Packet {
    std::uint8_t kind = 0;
    std::vector<std::uint8_t> body;  // the fields after the kind byte
};

[[nodiscard]] inline std::vector<std::uint8_t> encode(std::uint8_t kind, std::span<const std::uint8_t> body = {}) {
    const auto n = static_cast<std::uint32_t>(body.size() + 1);
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
                                  static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n), kind};
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

[[nodiscard]] inline std::vector<std::uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

// Collects bytes as they arrive and hands out whole packets.
class PacketReader {
public:
    void feed(std::span<const std::uint8_t> bytes) { buf_.insert(buf_.end(), bytes.begin(), bytes.end()); }
    // The next whole packet; nothing while one is incomplete. A length of 0
    // or above MaxPacket marks the stream broken.
    std::optional<Packet> next() {
        if (broken_ || buf_.size() - pos_ < 4) return std::nullopt;
        const std::uint32_t n =
            static_cast<std::uint32_t>(buf_[pos_]) << 24 | buf_[pos_ + 1] << 16 | buf_[pos_ + 2] << 8 | buf_[pos_ + 3];
        if (n == 0 || n > MaxPacket) {
            broken_ = true;
            return std::nullopt;
        }
        if (buf_.size() - pos_ - 4 < n) return std::nullopt;
        Packet p;
        p.kind = buf_[pos_ + 4];
        p.body.assign(buf_.begin() + static_cast<std::ptrdiff_t>(pos_ + 5),
                      buf_.begin() + static_cast<std::ptrdiff_t>(pos_ + 4 + n));
        pos_ += 4 + n;
        if (pos_ == buf_.size()) {
            buf_.clear();
            pos_ = 0;
        } else if (pos_ > 1 << 20) {
            buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(pos_));
            pos_ = 0;
        }
        return p;
    }
    [[nodiscard]] bool broken() const { return broken_; }
    void reset() {
        buf_.clear();
        pos_ = 0;
        broken_ = false;
    }

private:
    std::vector<std::uint8_t> buf_;
    std::size_t pos_ = 0;
    bool broken_ = false;
};

}  // namespace mj::platform::relay
