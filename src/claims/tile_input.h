// tile_input.h: the mouse on the own tiles and on the table: the hover raise,
// the discard by click, the right-click pass, and after a won hand the reveal
// of other seats' concealed kongs and of the wall tiles that came next.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::claims {

void tileMouseMove(link::Client& c, int image);
void tileMouseDown(link::Client& c, int image, int button);
// Pic1_MouseUp and Pic2_MouseUp.
void tableMouseUp(link::Client& c, int button);

// Hooks the 136 tile controls and the two table pictures; run once the tile
// controls exist.
void installTileInput(link::Client& c);

}  // namespace mj::claims
