// matcher.h: building the messages a scenario sends and checking the ones it
// expects, and the readable form of a message for the log.
#pragma once
#include <string>
#include <vector>

#include "scenario.h"
#include "shared/wire.h"

namespace scripted {

// The message of a send step: the command in bytes 2-3, every other byte 0
// unless a field line sets it.
[[nodiscard]] mj::WireMessage buildMessage(const MessageSpec& spec);

// The differences between a received message and an expect step, one readable
// line each; empty when the message matches.
[[nodiscard]] std::vector<std::string> checkMessage(const MessageSpec& spec, const mj::WireMessage& m);

// The command of a message as the client writes it (bytes 2-3).
[[nodiscard]] int commandOf(const mj::WireMessage& m);

// One log line for a message: command, seat, byte5/7 when set, the four values
// as 16-bit words, and every run of non-zero bytes from 16 on in short hex,
// with its GBK text when the run reads as text.
[[nodiscard]] std::string formatMessage(const mj::WireMessage& m);

// Hex of bytes, two digits each, separated by spaces.
[[nodiscard]] std::string hexBytes(const std::uint8_t* p, std::size_t n);

}  // namespace scripted
