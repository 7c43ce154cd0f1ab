// player_card.cpp: the player card.
#include "shell/player_card.h"

#include "link/client.h"
#include "shell/shell_windows.h"

namespace mj::shell {

void loadPlayerCard(link::Client& c, ui::Form& f) {
    makePopupTranslucent(c, f);
    f.move(0, 0, 200 * 15.0, 150 * 15.0);
}

}  // namespace mj::shell
