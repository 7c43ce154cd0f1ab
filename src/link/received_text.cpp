// received_text.cpp: seat names and chat lines handled by the decoder.
#include "link/received_text.h"

#include "link/general.h"

namespace mj::link {
namespace {

constexpr std::string_view SystemLinePrefix = "系统提示";
constexpr std::string_view You = "你";
constexpr int HistoryWidth = 50;
constexpr std::size_t StripChars = 50;
constexpr int BlinkAfterLine = 8;

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
    // An empty name would match everywhere and never advance.
    if (from.empty()) return text;
    std::size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

std::string firstChars(std::string_view text, std::size_t count) {
    std::string out;
    std::size_t n = 0;
    for (const std::string& c : utf8Chars(text)) {
        if (n++ == count) break;
        out += c;
    }
    return out;
}

void putOnStrip(const std::array<ui::ListBox*, 2>& sysmsg, const std::string& line) {
    ui::ListBox* older = sysmsg[0];
    ui::ListBox* newer = sysmsg[1];
    if (!older || !newer) return;
    if (newer->listCount() > 0) {
        const std::string moved = newer->items().front();
        older->clear();
        older->addItem(moved);
        newer->clear();
        newer->addItem(line);
    } else if (older->listCount() > 0) {
        newer->clear();
        newer->addItem(line);
    } else {
        older->clear();
        older->addItem(line);
    }
}

const std::string* phraseAt(const std::vector<std::string>& list, int number) {
    // The number comes from the server: outside the list there is no phrase.
    if (number < 1 || static_cast<std::size_t>(number) > list.size()) return nullptr;
    return &list[static_cast<std::size_t>(number - 1)];
}

}  // namespace

std::string textField(const platform::TextCodec& codec, const WireMessage& msg, std::size_t begin, std::size_t end) {
    std::string gbk;
    for (std::size_t i = begin; i < end && msg[i] != 0; ++i) gbk += static_cast<char>(msg[i]);
    return codec.fromGbk(gbk);
}

void handleSeatName(ReceivedTextState& state, const platform::TextCodec& codec, const WireMessage& msg,
                    std::uint8_t seatBit) {
    // The seat is the low nibble; a value of more than one bit names no seat.
    seatBit &= 0x0F;
    if (!isValidSeatBit(seatBit)) return;
    // Assigned, not appended: a second round of names before the per-hand
    // reset must not double a name, or the own seat is never found again.
    state.seatName[bitToIndex(seatBit)] = textField(codec, msg, SeatNameStart, SeatNameEnd);
}

std::uint32_t propRelayMarker(const WireMessage& msg) {
    return (std::uint32_t{msg[PropRelayMarkerAt]} << 24) | (std::uint32_t{msg[PropRelayMarkerAt + 1]} << 16) |
           (std::uint32_t{msg[PropRelayMarkerAt + 2]} << 8) | std::uint32_t{msg[PropRelayMarkerAt + 3]};
}

std::string decodeChatLine(const platform::TextCodec& codec, const WireMessage& msg) {
    std::string gbk;
    for (std::size_t i = ChatTextStart; i < ChatTextEnd; ++i) {
        const std::uint8_t b = msg[i];
        if (b < 0x80) {
            if (b == 0) break;  // a list shows the text up to its NUL
            gbk += static_cast<char>(b);
        } else {
            // A lead byte at the last place takes byte 216 as its trail; that is
            // still inside the message.
            gbk += static_cast<char>(b);
            gbk += static_cast<char>(msg[++i]);
        }
    }
    return codec.fromGbk(gbk);
}

void handleChat(ReceivedTextState& state, ChatTargets& t, const WireMessage& msg, CmdInfo& info) {
    const std::uint32_t marker = propRelayMarker(msg);
    if (marker == 272 || marker == 260) {
        if (t.relayToProps) t.relayToProps(msg);
        return;
    }
    std::string line = decodeChatLine(t.codec, msg);

    info.seat &= 0x0F;
    if (t.ownSeat != 0 && info.seat != 0) {
        const int view = (bitToIndex(t.ownSeat) + 4 - bitToIndex(info.seat)) & 3;
        info.seat = static_cast<std::uint8_t>(view);
        const int kind = info.value[0] & 0xFF;
        if (kind == ChatKindPhrase1 || kind == ChatKindPhrase2) {
            const int number = info.value[3] & 0xFF;
            const std::string* phrase = phraseAt(kind == ChatKindPhrase1 ? t.phrases1 : t.phrases2, number);
            if (phrase && !phrase->empty() && t.mainWindowNormal) {
                if (t.showSpeakBubble) t.showSpeakBubble(view, *phrase);
                if (t.sound.soundOn) {
                    if (const auto file =
                            phraseVoiceFile(t.sound, t.voices[static_cast<std::size_t>(view)], kind, number))
                        if (playEffectWave(t.device, *file, view) && t.log)
                            t.log("phrase voice " + *file + " on slot " + std::to_string(view));
                }
            }
        }
    }

    if (line.rfind(SystemLinePrefix, 0) != 0) line = replaceAll(std::move(line), t.ownNickname, You);
    if (t.filterChatText) line = t.filterChatText(line);
    if (t.log) t.log("chat line: " + line);
    addWrappedText(t.codec, t.history, line, HistoryWidth);
    if (t.history.listCount() > 0) t.history.setTopIndex(t.history.listCount() - 1);
    putOnStrip(t.sysmsg, firstChars(line, StripChars));
    if (info.seat > 0) state.chatBlink = BlinkAfterLine;
}

}  // namespace mj::link
