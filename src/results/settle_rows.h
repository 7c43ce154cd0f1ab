// settle_rows.h: one seat's settlement rows as command 17 carries them, and
// the amounts and texts read from the rows.
#pragma once
#include <string>

#include "platform/text_codec.h"
#include "results/results_state.h"
#include "shared/wire.h"

namespace mj::results {

// Command 17, as stored into the rows:
//   6        seat bit of the seat the message is about
//   10-11    value(1), signed big-endian   -> row 0 (room base)
//   14-15    value(3), signed big-endian   -> row 1 (coin mode)
//   16-66    one byte per row              -> rows 2..52 (byte k to row k - 14)
//   235-255  note text, GBK; a lead byte at 255 pairs with byte 256
// Overwrites rows 0..52 of `rows`; rows 53..60 stay as they are.
void storeSettleRows(SettleRowsOfSeat& rows, const WireMessage& m);
[[nodiscard]] std::string noteText(const WireMessage& m, const platform::TextCodec& codec);

// The first (rows 13..20) and second (rows 42..49) amount, unsigned 64-bit
// little-endian held as a double, negated when the sign row is 2.
[[nodiscard]] double firstAmount(const SettleRowsOfSeat& rows);
[[nodiscard]] double secondAmount(const SettleRowsOfSeat& rows);
// The level text: up to eight GBK double-byte characters from rows 22..37.
[[nodiscard]] std::string levelText(const SettleRowsOfSeat& rows, const platform::TextCodec& codec);

}  // namespace mj::results
