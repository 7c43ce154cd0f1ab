// player_records.cpp: decoding the user-info command into a player record.
#include "dispatch/player_records.h"

#include <vector>

#include "link/received_text.h"

namespace mj::dispatch {

namespace {

// One character per unit of GBK bytes, each decoded alone, so a stray lead
// byte turns into one replacement character and never swallows its neighbour.
std::string decodeUnits(const platform::TextCodec& codec, const std::vector<std::string>& units) {
    std::string out;
    for (const std::string& u : units) out += codec.fromGbk(u);
    return out;
}

// The nickname: a byte of 0x80 or more starts a double-byte character unless
// it is the field's last byte, which then stands alone.
std::string mixedText(const platform::TextCodec& codec, const WireMessage& m, std::size_t at, std::size_t width) {
    std::vector<std::string> units;
    std::size_t j = 0;
    while (j < width) {
        const std::uint8_t b = m[at + j];
        if (b == 0) break;
        if (b >= 0x80 && j + 1 < width) {
            units.emplace_back(std::string{static_cast<char>(b), static_cast<char>(m[at + j + 1])});
            j += 2;
        } else {
            units.emplace_back(1, static_cast<char>(b));
            ++j;
        }
    }
    return decodeUnits(codec, units);
}

// Location, level name and title come as double-byte text read in pairs; a
// pair whose first byte is 0 ends it. A pair that starts with a single-byte
// character is read as two single-byte characters, so plain ASCII in these
// fields stays readable.
std::string pairText(const platform::TextCodec& codec, const WireMessage& m, std::size_t at, std::size_t width) {
    std::vector<std::string> units;
    for (std::size_t j = 0; j + 1 < width; j += 2) {
        const std::uint8_t first = m[at + j];
        const std::uint8_t second = m[at + j + 1];
        if (first == 0) break;
        if (first >= 0x80) {
            units.emplace_back(std::string{static_cast<char>(first), static_cast<char>(second)});
            continue;
        }
        units.emplace_back(1, static_cast<char>(first));
        if (second == 0) break;
        units.emplace_back(1, static_cast<char>(second));
    }
    return decodeUnits(codec, units);
}

// An unsigned 64-bit little-endian amount, held as a double as the record
// keeps it (exact up to 2^53).
double amount(const WireMessage& m, std::size_t at) {
    double v = 0;
    for (std::size_t k = 8; k-- > 0;) v = v * 256 + m[at + k];
    return v;
}

// A signed 32-bit little-endian count. A top byte of 0x80 or more is a
// negative number, not an overflow.
std::int32_t count(const WireMessage& m, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t k = 4; k-- > 0;) v = (v << 8) | m[at + k];
    return static_cast<std::int32_t>(v);
}

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

}  // namespace

void parseUserInfo(PlayerInfo& r, const WireMessage& m, const platform::TextCodec& codec) {
    using namespace userinfo;
    r.loginName = link::textField(codec, m, LoginName, LoginName + 16);
    r.nickName = mixedText(codec, m, NickName, 32);
    r.faceCode = link::textField(codec, m, FaceCode, FaceCode + 16);
    if (r.faceCode.empty()) r.faceCode = "m1";
    r.sex = m[Sex];
    r.location = pairText(codec, m, Location, 8);
    r.score = amount(m, Score);
    r.credit = amount(m, Score + 8);
    r.gold = amount(m, Score + 16);
    r.number1 = amount(m, Score + 24);
    r.levelName = pairText(codec, m, LevelName, 16);
    r.number2 = amount(m, Number2);
    r.number3 = amount(m, Number2 + 8);
    r.number4 = amount(m, Number2 + 16);
    r.loginCount = count(m, Counts);
    r.dropCount = count(m, Counts + 4);
    r.winCount = count(m, Counts + 8);
    r.lossCount = count(m, Counts + 12);
    r.title = pairText(codec, m, Title, 24);
    r.voiceCode1 = link::textField(codec, m, VoiceCode1, VoiceCode1 + 8);
    r.voiceCode2 = link::textField(codec, m, VoiceCode2, VoiceCode2 + 8);
    r.userId = amount(m, UserId);
}

void clearShownFields(PlayerInfo& r) {
    r.nickName.clear();
    r.faceCode.clear();
    r.location.clear();
    r.levelName.clear();
    r.sex = 0;
    r.score = r.credit = r.gold = r.number1 = r.number2 = r.number3 = r.number4 = 0;
    r.loginCount = r.dropCount = r.winCount = r.lossCount = 0;
}

int faceIndex(std::string_view code) {
    if (code.empty()) code = "m1";
    if (code[0] != 'm' && code[0] != 'w') return 0;
    int f = 0;
    if (code.size() == 2 && isDigit(code[1])) {
        f = code[1] - '0' - 1;
    } else if (code.size() == 3 && isDigit(code[1]) && isDigit(code[2])) {
        f = (code[1] - '0') * 10 + (code[2] - '0') - 1;
    } else {
        return 0;
    }
    // A number 0 has no face of its own.
    if (f < 0) return 0;
    if (f >= 10) f = 0;
    return code[0] == 'w' ? f + 10 : f;
}

std::int32_t wealthMultiple(const WireMessage& m) { return count(m, userinfo::WealthMultiple); }

link::VoiceId voiceId(const PlayerInfo& r) { return {r.voiceCode1, r.voiceCode2, r.sex, r.voiceSex}; }

}  // namespace mj::dispatch
