// wire_codec.h: encoding command records into wire messages, decoding the
// fixed header, and the two byte rings between the socket and the tick.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "shared/wire.h"

namespace mj::link {

// Both rings hold 128 message slots; equal indexes mean empty, so at most 127
// messages (34544 bytes) can wait.
inline constexpr std::size_t RingSize = 0x8800;
inline constexpr std::size_t RingMessages = RingSize / WireMessageSize;

class ByteRing {
public:
    [[nodiscard]] std::size_t waiting() const { return (write_ + RingSize - read_) % RingSize; }
    [[nodiscard]] std::size_t freeBytes() const { return RingSize - 1 - waiting(); }
    [[nodiscard]] bool hasMessage() const { return waiting() >= WireMessageSize; }
    [[nodiscard]] std::size_t readIndex() const { return read_; }
    [[nodiscard]] std::size_t writeIndex() const { return write_; }
    void reset() { read_ = write_ = 0; }
    // Appends one byte; false when the ring became full (write caught read).
    bool pushByte(std::uint8_t b);
    // Appends a whole message; false (nothing appended) when it does not fit.
    bool pushMessage(const WireMessage& m);
    // Takes the next whole message; nullopt when fewer than 272 bytes wait.
    std::optional<WireMessage> take();
    // Puts the read index back to where it was (a held message stays first).
    void rewindTo(std::size_t readIndex) { read_ = readIndex % RingSize; }
    // Test hook: place both indexes.
    void setIndexes(std::size_t read, std::size_t write) {
        read_ = read % RingSize;
        write_ = write % RingSize;
    }

private:
    std::vector<std::uint8_t> bytes_ = std::vector<std::uint8_t>(RingSize, 0);
    std::size_t read_ = 0;
    std::size_t write_ = 0;
};

// Writes a 16-bit value high byte first; a negative value goes out in two's
// complement and is replaced in the caller's record by value & 0x7FFF.
void encodeValue(std::int16_t& value, std::uint8_t* out);

// The header of a message from the command record (bytes 2-15); bytes 16-271
// stay as the caller prepared them.
void encodeHeader(CmdInfo& info, WireMessage& m);

// The command record of a received message: command byte 3, seat low nibble,
// values as the low byte (signed 16-bit for command 17).
[[nodiscard]] CmdInfo decodeHeader(const WireMessage& m);

// The 16-bit unsigned number of bytes 8-9 (what the send task's holds test).
[[nodiscard]] inline unsigned value0Unsigned(const WireMessage& m) {
    return static_cast<unsigned>(m[wire::Value]) * 256u + m[wire::Value + 1];
}

}  // namespace mj::link
