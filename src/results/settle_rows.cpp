// settle_rows.cpp: storing and reading the settlement rows.
#include "results/settle_rows.h"

namespace mj::results {

namespace {

constexpr std::size_t RowByteOffset = 14;  // message byte k holds row k - 14
constexpr std::size_t NoteFirst = 235;
constexpr std::size_t NoteEnd = 256;  // the last pair may reach byte 256
constexpr int LevelTextBytes = 16;

int signedWord(const WireMessage& m, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(m[at] << 8 | m[at + 1]));
}

double amountAt(const SettleRowsOfSeat& rows, int first) {
    double v = rows[static_cast<std::size_t>(first + 7)] & 0xFF;
    for (int r = first + 6; r >= first; --r) v = v * 256 + (rows[static_cast<std::size_t>(r)] & 0xFF);
    return rows[ScoreSign] == 2 ? -v : v;
}

}  // namespace

void storeSettleRows(SettleRowsOfSeat& rows, const WireMessage& m) {
    rows[RoomBase] = signedWord(m, wire::Value + 2);
    rows[CoinMode] = signedWord(m, wire::Value + 6);
    for (std::size_t r = HuPattern; r <= LastStoredRow; ++r) rows[r] = m[r + RowByteOffset];
}

std::string noteText(const WireMessage& m, const platform::TextCodec& codec) {
    std::string gbk;
    for (std::size_t i = NoteFirst; i < NoteEnd && m[i] != 0;) {
        if (m[i] < 0x80) {
            gbk += static_cast<char>(m[i++]);
            continue;
        }
        if (m[i + 1] == 0) break;  // a lead byte without its partner ends the text
        gbk += static_cast<char>(m[i]);
        gbk += static_cast<char>(m[i + 1]);
        i += 2;
    }
    const auto first = gbk.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    gbk = gbk.substr(first, gbk.find_last_not_of(' ') - first + 1);
    return codec.fromGbk(gbk);
}

double firstAmount(const SettleRowsOfSeat& rows) { return amountAt(rows, HandScoreBytes); }
double secondAmount(const SettleRowsOfSeat& rows) { return amountAt(rows, HandScore2Bytes); }

std::string levelText(const SettleRowsOfSeat& rows, const platform::TextCodec& codec) {
    std::string gbk;
    for (int k = 0; k < LevelTextBytes; k += 2) {
        const int lead = rows[static_cast<std::size_t>(LevelText + k)] & 0xFF;
        if (lead == 0) break;
        gbk += static_cast<char>(lead);
        gbk += static_cast<char>(rows[static_cast<std::size_t>(LevelText + k + 1)] & 0xFF);
    }
    return codec.fromGbk(gbk);
}

}  // namespace mj::results
