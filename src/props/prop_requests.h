// prop_requests.h: what the props plug-in asks of the client on each tick
// (texts, a timed label, a chat target, a key, a player card), each checked
// before use, and the timed label with its timer.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/components.h"
#include "platform/controls.h"
#include "platform/text_codec.h"

namespace mj::link {
class Client;
}

namespace mj::props {

// Request kinds.
inline constexpr int PropKindText = 0;
inline constexpr int PropKindLabel = 1;
inline constexpr int PropKindPacket = 2;
inline constexpr int PropKindChatTarget = 3;
inline constexpr int PropKindKey = 4;
inline constexpr int PropKindPlayerCard = 5;

// Display width in half-width units: 2 for a character GBK writes in two
// bytes, 1 for any other (one GBK cannot hold counts 1).
[[nodiscard]] int textWidthUnits(const platform::TextCodec& codec, std::string_view text);

// The number a request's text stands for, taken to the nearest whole number
// (halves to even); nothing for a text that is not a number or lies outside
// -32768..32767.
[[nodiscard]] std::optional<int> requestNumber(std::string_view text);

// Why a request cannot be carried out as it stands (a label without its
// rectangle or style, a style out of range, a number out of range); nothing
// when it can, or when it asks for nothing.
[[nodiscard]] std::optional<std::string> requestProblem(const platform::PropRequest& r);

// Carries out a request other than a packet: a bad one is logged and left
// alone, never fatal.
void carryOutRequest(link::Client& c, platform::PropRequest& r);

// A plug-in text: the whole of it in the chat history, its first 45
// characters on the two-line message strip. The text is cut like that too.
void addSystemMessage(link::Client& c, std::string& text);
// Puts a line on the two-line message strip, pushing the second line up.
void addToMessageStrip(link::Client& c, const std::string& text);
// The timed label: rect (width, height, left, top) in table pixels, style
// (interval in ms, ticks, font size, colour 0xBBGGRR, alignment).
void showPropMessage(link::Client& c, const std::string& text, const std::vector<long>& rect,
                     const std::vector<long>& style);

// Creates `LbProp` on the table picture, hidden, unless it exists.
void createPropLabel(link::Client& c);
// `LbProp`, made when missing.
[[nodiscard]] ui::Label& propLabel(link::Client& c);
// One tick of `TimerProp`: the timed label or the reward display.
void timerPropTick(link::Client& c);

}  // namespace mj::props
