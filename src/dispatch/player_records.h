// player_records.h: the players' profiles as the user-info command carries
// them, the names and faces the result boards show, and what the seating
// cycle keeps between the name and profile messages.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/sound_playback.h"
#include "platform/text_codec.h"
#include "shared/wire.h"

namespace mj::dispatch {

// Bytes of command 20 (user info); texts end at their first 0 byte.
//   6         seat: 15 own profile, 0 a player who just sat down, else a seat bit
//   16-47     nickname, GBK, a lead byte in the last place stands alone
//   48-63     face code ("m1".."m10", "w1".."w10"), single-byte
//   64        sex: 1 man, 0 woman
//   72-79     location, GBK pairs
//   80-111    score, credit, gold, number 1: u64 little-endian each
//   112-127   level name, GBK pairs
//   128-151   numbers 2-4: u64 little-endian each
//   152-167   login, drop, win and loss counts: s32 little-endian each
//   168-183   login name, single-byte
//   184-207   title, GBK pairs
//   208       1: the player is ready
//   210-217   voice code 1, single-byte
//   218-225   voice code 2, single-byte
//   226-233   user id: u64 little-endian
//   234-237   the table's wealth multiple: s32 little-endian, 0 none
//   238       1: hide the note "骰子点数加倍"
//   240       1: hide the note "个人金币数封顶"
//   255       0: the props plug-in may be used at this table
namespace userinfo {
inline constexpr std::size_t NickName = 16;
inline constexpr std::size_t FaceCode = 48;
inline constexpr std::size_t Sex = 64;
inline constexpr std::size_t Location = 72;
inline constexpr std::size_t Score = 80;
inline constexpr std::size_t LevelName = 112;
inline constexpr std::size_t Number2 = 128;
inline constexpr std::size_t Counts = 152;
inline constexpr std::size_t LoginName = 168;
inline constexpr std::size_t Title = 184;
inline constexpr std::size_t Ready = 208;
inline constexpr std::size_t VoiceCode1 = 210;
inline constexpr std::size_t VoiceCode2 = 218;
inline constexpr std::size_t UserId = 226;
inline constexpr std::size_t WealthMultiple = 234;
inline constexpr std::size_t HideDiceNote = 238;
inline constexpr std::size_t HideGoldCapNote = 240;
inline constexpr std::size_t NoProps = 255;
}  // namespace userinfo

struct PlayerInfo {
    std::string nickName;
    std::string faceCode;
    int sex = 0;
    std::string location;
    double score = 0;
    double credit = 0;
    double gold = 0;
    double number1 = 0;
    std::string levelName;
    double number2 = 0;
    double number3 = 0;
    double number4 = 0;
    std::int32_t loginCount = 0;
    std::int32_t dropCount = 0;
    std::int32_t winCount = 0;
    std::int32_t lossCount = 0;
    std::string loginName;
    std::string title;
    std::string voiceCode1;
    std::string voiceCode2;
    int voiceSex = 0;      // 2 woman, 3 man; fixed when the table is seated
    int showHandFlag = 0;  // not in the message; the restore sets it
    double userId = 0;
};

// Per view, what the settlement screen and the hand history show.
struct ResultPlayer {
    std::string name;
    std::string picIndex;  // the face index as decimal text
};

// Fills the record from a command 20 message. The voice sex and the show-hand
// flag keep their values; nothing in the message can make it fail.
void parseUserInfo(PlayerInfo& record, const WireMessage& msg, const platform::TextCodec& codec);

// What leaving the table forgets of a player: the identity shown at the table
// and the amounts. The login name, title, voice fields and user id stay.
void clearShownFields(PlayerInfo& record);

// The face picture 0..19 of a face code: "m1".."m10" give 0..9 and
// "w1".."w10" 10..19; a three-character code above 10 gives the first face
// of its letter. An empty code counts as "m1"; any other form gives face 0.
[[nodiscard]] int faceIndex(std::string_view faceCode);

// The table's wealth multiple of a profile, a signed 32-bit value.
[[nodiscard]] std::int32_t wealthMultiple(const WireMessage& msg);

// The fields of the record that name its voice files.
[[nodiscard]] link::VoiceId voiceId(const PlayerInfo& record);

}  // namespace mj::dispatch
