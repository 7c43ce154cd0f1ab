// watcher_table.cpp: the restore header of a running hand and the watching
// client's table, built from the four buffered profiles around the watched
// player.
#include "dispatch/dispatcher.h"
#include "dispatch/player_records.h"
#include "dispatch/seating.h"
#include "link/client.h"
#include "link/general.h"
#include "table/hand_reset.h"
#include "table/hand_start_shows.h"
#include "table/tiles.h"

namespace mj::dispatch {

namespace {

std::size_t at(int view) { return static_cast<std::size_t>(view); }

// The view a seat takes around the watched seat; -1 for the watched seat itself.
int viewAround(int watched, int seat) {
    if (seat == watched * 2 || (seat == 1 && watched == 8)) return 3;
    if (seat == watched * 4 || watched == seat * 4) return 2;
    if (watched == seat * 2 || (seat == 8 && watched == 1)) return 1;
    return -1;
}

// The wall starts where the banker's dice put it. Sums that two dice cannot
// make would place it outside the wall; the wall is then left as it is.
void placeWallStart(link::Client& c, int bankerView) {
    table::TableState& t = c.table;
    const auto start = table::wallStartFor(bankerView, t.restoreDice[0], t.restoreDice[1]);
    if (!start) {
        c.log("spectator table: dice sums " + std::to_string(t.restoreDice[0]) + ", " +
              std::to_string(t.restoreDice[1]) + " ignored");
        return;
    }
    t.wallHead = *start;
    t.wallTail = (*start + table::WallSize - 2) % table::WallSize;
}

}  // namespace

void onRestoreHand(link::Client& c) {
    table::TableState& t = c.table;
    link::LinkState& l = c.link;
    for (int i = 0; i < 3; ++i) t.anNiuState[at(i)] = true;
    if (c.resetHandDisplay) c.resetHandDisplay(c);
    if (c.resetTableForHand) c.resetTableForHand(c);
    if (c.resetRoundData) c.resetRoundData(c);
    l.readySent = true;
    // The round reset leaves the client idle, but a restored hand is running:
    // the receive watchdog and the hall's in-game state follow it.
    l.inGame = true;
    const int banker = l.info.seat & 15;
    for (int i = 0; i < 3; ++i) {
        if (ui::Control* b = c.mainForm.find("AnNiu", i)) {
            b->setEnabled(false);
            (void)table::loadPicture(c, l.pictures.anNiuPic[at(2 * i + 1)], *b);
        }
    }
    if (ui::Control* z = c.mainForm.find("Zhuang")) {
        z->setCaption(seatWind(banker));
        z->setVisible(true);
        z->bringToFront();
    }
    if (ui::Control* host = c.mainForm.find("Host")) host->setVisible(true);
    t.restoreBanker = banker;
    t.wildTile = l.info.value[2] & 0xFF;
    t.piziTile1 = l.info.value[3] & 0xFF;
    t.restoreDice = {l.info.value[0] & 0xFF, l.info.value[1] & 0xFF};
    // The seat messages that follow lay the table; until the fourth, a seat
    // is laid once.
    t.restoreOpen = true;
    t.restoreSeats = 0;
}

void setupSpectatorTable(link::Client& c) {
    table::TableState& t = c.table;
    SeatingState& s = c.dispatch.seating;
    std::array<PlayerInfo, 4> p{};
    for (std::size_t k = 0; k < 4; ++k) {
        s.spectatorInfoMsgs[k][wire::Seat] &= 15;
        parseUserInfo(p[k], s.spectatorInfoMsgs[k], c.p.codec);
    }
    int watched = -1;
    for (int k = 0; k < 4 && watched < 0; ++k) {
        if (p[at(k)].userId == c.link.launch.watchedUserId) watched = k;
    }
    if (watched < 0) {
        c.log("spectator table: the watched player is not among the four profiles");
    } else {
        t.custom[0].seat = s.spectatorInfoMsgs[at(watched)][wire::Seat];
        t.custom[0].name = p[at(watched)].loginName;
        table::showCompass(c);
        c.dispatch.player[0] = p[at(watched)];
        for (std::size_t m = 0; m < 4; ++m) {
            const int seat = s.spectatorInfoMsgs[m][wire::Seat];
            const int v = viewAround(t.custom[0].seat, seat);
            if (v < 0) continue;
            t.custom[at(v)].seat = static_cast<SeatBit>(seat);
            t.custom[at(v)].name = p[m].loginName;
            c.dispatch.player[at(v)] = p[m];
        }
    }
    for (int k = 0; k < 4; ++k) {
        if (t.custom[at(k)].seat != t.restoreBanker) continue;
        t.custom[at(k)].isBanker = -1;
        placeWallStart(c, k);
        break;
    }
    for (int v = 0; v < 4; ++v) showPlayerLabels(c, v);
}

}  // namespace mj::dispatch
