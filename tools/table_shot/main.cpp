// table_shot: starts the client's table on the Win32 platform without a
// server, at 1024 x 768 and on an 800 x 600 screen, and paints it with the
// window host into BMP files: the empty table after start-up, and the table
// with the wall laid and the indicator tile turned.
#include <string>

#include "shot_support/shot_table.h"
#include "table/hand_start_shows.h"

namespace {

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
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    bool ok = run(1024, 768, dir + "/table_1024x768");
    ok = run(800, 600, dir + "/table_800x600") && ok;
    return ok ? 0 : 1;
}
