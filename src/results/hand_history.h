// hand_history.h: the hand-history file. Every shown settlement board is
// saved as one INI section named after its hand number and can be loaded back
// onto the board.
//
// Section "juNum:<n>", keys in write order:
//   name( i ), PicIndex( i )      i = 0..3, the seat's name and face index
//   count( j ), count( j )( k )   j = 0..7, the list's item count and items
//   count( j ) ForeColor          j = 0..3, the detail list's text colour
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"

namespace mj::results {

inline constexpr char HandHistoryFile[] = "info.qv";
inline constexpr int FaceCount = 20;

// The settlement board as the file keeps it.
struct BoardSnapshot {
    std::array<std::string, 4> names{};
    std::array<std::string, 4> picIndex{};  // decimal text, "" leaves the face as it is
    std::array<std::vector<std::string>, 8> lists{};
    std::array<std::uint32_t, 4> listColors{};  // &HBBGGRR of lists 0..3
    std::array<std::uint32_t, 4> nameColors{};
};

[[nodiscard]] std::string handSection(int n);

// Writes the board as section n. Line breaks and NULs in names and lines
// become blanks, so text from the server cannot start a line or a section.
void saveHandHistory(platform::IniStore& ini, const std::string& path, int n, const BoardSnapshot& board);

// Loads section n onto the board; n = 0 does nothing. Faces read back are
// clamped to 0..19; a count or colour that does not read as a number leaves
// that list or colour as it was.
void loadHandHistory(const platform::IniStore& ini, const std::string& path, int n, BoardSnapshot& board);

}  // namespace mj::results
