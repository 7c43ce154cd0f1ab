// wire_codec.cpp: the byte layout of wire messages and the rings.
#include "link/wire_codec.h"

#include <algorithm>

namespace mj::link {

bool ByteRing::pushByte(std::uint8_t b) {
    bytes_[write_] = b;
    write_ = (write_ + 1) % RingSize;
    return write_ != read_;
}

bool ByteRing::pushMessage(const WireMessage& m) {
    if (freeBytes() < WireMessageSize) return false;
    for (std::uint8_t b : m) {
        bytes_[write_] = b;
        write_ = (write_ + 1) % RingSize;
    }
    return true;
}

std::optional<WireMessage> ByteRing::take() {
    if (!hasMessage()) return std::nullopt;
    WireMessage m{};
    for (std::size_t i = 0; i < WireMessageSize; ++i) {
        m[i] = bytes_[(read_ + i) % RingSize];
    }
    read_ = (read_ + WireMessageSize) % RingSize;
    return m;
}

void encodeValue(std::int16_t& value, std::uint8_t* out) {
    if (value >= 0) {
        out[0] = static_cast<std::uint8_t>(value / 256);
        out[1] = static_cast<std::uint8_t>(value & 255);
    } else {
        const int v = value;
        out[0] = static_cast<std::uint8_t>(((v & 0x7FFF) / 256) | 0x80);
        out[1] = static_cast<std::uint8_t>(v & 255);
        value = static_cast<std::int16_t>(v & 0x7FFF);
    }
}

void encodeHeader(CmdInfo& info, WireMessage& m) {
    const unsigned cmd = static_cast<std::uint16_t>(info.cmd);
    m[wire::CmdHigh] = static_cast<std::uint8_t>(cmd / 256);
    m[wire::Cmd] = static_cast<std::uint8_t>(cmd & 255);
    m[wire::Byte5] = info.byte5;
    m[wire::Seat] = info.seat;
    m[wire::Byte7] = info.byte7;
    for (std::size_t k = 0; k < 4; ++k) encodeValue(info.value[k], &m[wire::Value + 2 * k]);
}

CmdInfo decodeHeader(const WireMessage& m) {
    CmdInfo info;
    info.cmd = m[wire::Cmd];
    info.byte5 = m[wire::Byte5];
    info.seat = m[wire::Seat] & 15;
    info.byte7 = m[wire::Byte7];
    for (std::size_t k = 0; k < 4; ++k) {
        const std::uint8_t hi = m[wire::Value + 2 * k];
        const std::uint8_t lo = m[wire::Value + 2 * k + 1];
        if (info.cmd == CmdHandDetail) {
            info.value[k] = static_cast<std::int16_t>(static_cast<std::uint16_t>(hi * 256 + lo));
        } else {
            info.value[k] = lo;
        }
    }
    return info;
}

}  // namespace mj::link
