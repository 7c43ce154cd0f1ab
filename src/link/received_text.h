// received_text.h: what the message decoder does itself with two commands
// before they are dispatched: a seat's login name (command 3) and a chat line
// (command 19) with its quick-phrase bubble and voice and the props plug-in
// relay.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "link/sound_playback.h"
#include "platform/controls.h"
#include "platform/sound.h"
#include "platform/text_codec.h"
#include "shared/wire.h"

namespace mj::link {

// Chat kinds in value(0) of command 19.
inline constexpr int ChatKindText = 0;
inline constexpr int ChatKindPhrase1 = 1;
inline constexpr int ChatKindPhrase2 = 2;

// Bytes of command 19:
//   6        sender's seat bit (low nibble)
//   8-9      value(0): chat kind (low byte)
//   14-15    value(3): phrase number from 1 (low byte)
//   16-215   the line in GBK, 200 bytes
//   236-239  PropRelayMarker, 32-bit big-endian: 272 or 260 = a props plug-in message
inline constexpr std::size_t ChatTextStart = 16;
inline constexpr std::size_t ChatTextEnd = 216;  // one past the last byte read
inline constexpr std::size_t PropRelayMarkerAt = 236;
// Bytes 16-31 of commands 3, 21 and 23: a login name, ended by a 0 byte.
inline constexpr std::size_t SeatNameStart = 16;
inline constexpr std::size_t SeatNameEnd = 32;

struct ReceivedTextState {
    // The seat names, by server seat index; set here, cleared per hand.
    std::array<std::string, 4> seatName;
    // Flashes left for the chat button; 8 after a line from another seat.
    int chatBlink = 0;
};

// What a chat line reaches, borrowed from the client for one call.
struct ChatTargets {
    const platform::TextCodec& codec;
    ui::ListBox& history;                      // the chat history window's list
    std::array<ui::ListBox*, 2> sysmsg;        // the message strip, older line first
    const std::vector<std::string>& phrases1;  // the quick phrases of kind 1
    const std::vector<std::string>& phrases2;  // the quick phrases of kind 2
    std::uint8_t ownSeat = 0;                  // the own seat bit, 0 while unknown
    std::string_view ownNickname;              // the own player's nickname
    std::array<VoiceId, 4> voices;             // each seat's voice, by view
    bool mainWindowNormal = true;              // neither minimised nor maximised
    SoundState& sound;
    platform::SoundDevice& device;
    // The chat word filter; the line passes unchanged when empty.
    std::function<std::string(std::string_view)> filterChatText;
    // Shows the phrase in a speech bubble beside the seat's view.
    std::function<void(int view, const std::string& phrase)> showSpeakBubble;
    // Hands the message to the props plug-in; empty while it is not loaded.
    std::function<void(const WireMessage&)> relayToProps;
    // The diagnostic log: each line as shown and each phrase voice started.
    std::function<void(std::string_view)> log;
};

// The text of bytes [begin, end) up to the first 0 byte, in UTF-8. The server
// writes names in GBK: a Chinese name taken byte by byte would come out as
// question marks.
[[nodiscard]] std::string textField(const platform::TextCodec& codec, const WireMessage& msg, std::size_t begin,
                                    std::size_t end);

// Command 3: the login name of bytes 16-31 becomes seatName of the seat's
// index, replacing what an earlier name message left there. A seat field that
// names no seat is dropped.
void handleSeatName(ReceivedTextState& state, const platform::TextCodec& codec, const WireMessage& msg,
                    std::uint8_t seatBit);

// The relay marker read as an unsigned number, so no server value can
// overflow it.
[[nodiscard]] std::uint32_t propRelayMarker(const WireMessage& msg);
// The chat line of bytes 16-215 in UTF-8, up to its first NUL character.
[[nodiscard]] std::string decodeChatLine(const platform::TextCodec& codec, const WireMessage& msg);

// Command 19. info.seat becomes the sender's view when the own seat is known,
// as the dispatcher expects. Never throws for any message bytes.
void handleChat(ReceivedTextState& state, ChatTargets& targets, const WireMessage& msg, CmdInfo& info);

}  // namespace mj::link
