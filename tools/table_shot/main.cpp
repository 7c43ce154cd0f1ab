// table_shot: starts the client's table on the Win32 platform without a
// server, at 1024 x 768 and on an 800 x 600 screen, and paints it with the
// window host into BMP files: the empty table after start-up, and the table
// with the wall laid and the indicator tile turned, and some turns of a hand
// played on it.
#include <array>
#include <string>

#include "shot_support/shot_table.h"
#include "table/discards.h"
#include "table/draw_tiles.h"
#include "table/hand_start_shows.h"
#include "table/tiles.h"

namespace {

// The wall laid as a hand starts, then the deal and some turns: every seat
// but the own draws and discards, each discard laid by the next draw.
void playSomeTurns(mj::link::Client& c) {
    const mj::SeatBit order[4] = {2, 4, 8, 1};  // the own seat first, then in turn
    for (int v = 0; v < 4; ++v) {
        const mj::SeatBit seat = static_cast<mj::SeatBit>(1 << v);
        c.table.custom[static_cast<std::size_t>(mj::table::viewPos(2, seat))].seat = seat;
    }
    c.table.wallHead = 40;
    c.table.wallTail = 38;
    const std::array<int, 4> rounds[3] = {{0x11, 0x23, 0x47, 0x85}, {0x29, 0x41, 0x88, 0x15}, {0x22, 0x24, 0x43, 0x81}};
    for (const auto& codes : rounds) {
        for (mj::SeatBit seat : order) mj::table::drawTilesToHand(c, seat, 4, codes);
    }
    mj::table::drawTilesToHand(c, 2, 1, {0, 0, 0, 0x86});
    const int discards[] = {0x17, 0x21, 0x89, 0x45, 0x12, 0x26, 0x83, 0x14, 0x49, 0x21, 0x16, 0x87};
    int k = 0;
    for (int turn = 0; turn < 4; ++turn) {
        for (mj::SeatBit seat : {4, 8, 1}) {
            mj::table::drawTilesToHand(c, seat, 1, {0, 0, 0, 0});
            mj::table::showDiscard(c, seat, discards[k++ % 12]);
        }
    }
}

bool run(int w, int h, const std::string& prefix) {
    mj::shots::ShotTable shot(w, h);
    bool ok = shot.shoot(prefix + "_empty.bmp");

    // A hand starts: the wall is laid and built, the compass faces the own
    // seat, and the wild tile's command turns the indicator tile.
    shot.layWall();
    auto& client = shot.client;
    client.table.wallStart = 40;
    client.table.indicatorOffset = 5;
    client.table.piziTile1 = 0x45;
    mj::table::turnIndicatorTile(client);
    ok = shot.shoot(prefix + "_wall.bmp") && ok;

    playSomeTurns(client);
    ok = shot.shoot(prefix + "_turns.bmp") && ok;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    bool ok = run(1024, 768, dir + "/table_1024x768");
    ok = run(800, 600, dir + "/table_800x600") && ok;
    return ok ? 0 : 1;
}
