// validate.h: the check every received message passes before a handler sees
// it: each field a handler uses as an index or a count must be in range.
#pragma once
#include <optional>
#include <string>

#include "shared/game_types.h"
#include "shared/wire.h"

namespace mj::dispatch {

// The rounds of four tiles a deal serves each seat: value(1) / 4 rounded
// half to even (2 gives 0, 6 gives 2, 11 gives 3), at most the three rounds
// the message has codes for.
[[nodiscard]] int dealRounds(int tilesPerSeat);

// Why the message cannot be handled (the field and its value), or nullopt
// when every field its handler indexes with is in range. `ownSeat` is the
// local seat bit, 0 before the server has given one.
[[nodiscard]] std::optional<std::string> findMalformedField(const WireMessage& m, const CmdInfo& info, SeatBit ownSeat);

}  // namespace mj::dispatch
