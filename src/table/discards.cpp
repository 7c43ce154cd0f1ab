// discards.cpp: showing discards and laying them into rows.
#include "table/discards.h"

#include <algorithm>
#include <string>
#include <utility>

#include "dispatch/player_records.h"
#include "link/client.h"
#include "link/general.h"
#include "table/hand_sort.h"
#include "table/tiles.h"

namespace mj::table {

namespace {

constexpr int TilesPerRow = 8;
constexpr double FlashScale = 1.2;

SeatRecord& seatOf(TableState& t, int view) { return t.custom[static_cast<std::size_t>(view)]; }

// The slot of the seat's last concealed tile, -1 when the seat has none or
// the slot holds no tile control.
int lastConcealedSlot(const SeatRecord& r) {
    const int i = r.firstConcealed + r.concealedCount - 1;
    if (r.concealedCount < 1 || i < 0 || i >= SlotCount) return -1;
    const int img = r.slots[static_cast<std::size_t>(i)].img;
    return img >= 0 && img < WallSize ? i : -1;
}

// The view of the discarding seat, or -1 (logged) when the discard cannot be
// shown: no tile, or no concealed tile behind it (the player table shows the
// local seat's own discard without one).
int discardView(link::Client& c, SeatBit seatBit, int tile, bool playerTable) {
    const int view = viewPos(c.table.custom[0].seat, seatBit);
    const bool needsConcealed = !playerTable || view != 0;
    if (!isValidTile(static_cast<TileCode>(tile)) || tile > 0xFF) {
        c.log("discard refused: tile " + std::to_string(tile));
        return -1;
    }
    if (needsConcealed && lastConcealedSlot(seatOf(c.table, view)) < 0) {
        c.log("discard refused: view " + std::to_string(view) + " holds no concealed tile");
        return -1;
    }
    return view;
}

void playDiscardVoice(link::Client& c, int view, int tile) {
    auto& sound = c.link.sound;
    if (!sound.soundOn) return;
    const auto& player = c.dispatch.player[static_cast<std::size_t>(view)];
    const auto file = link::discardVoiceFile(sound, dispatch::voiceId(player), static_cast<TileCode>(tile));
    if (!file) return;
    link::playWave(sound, c.p.sound, *file, false);
    link::setWaveVolume(sound, c.p.sound, 3000);
}

// Common start of both tables: the claimable tile and its discarder.
void noteDiscard(link::Client& c, int view, int tile) {
    c.table.lastTileCode = tile;
    c.table.lastDiscardView = view;
    playDiscardVoice(c, view, tile);
}

// Views 1 and 2 lie over the tiles before them, views 0 and 3 under them.
void stackAsLaid(ui::Control& x, int view) {
    if (view == 1 || view == 2)
        x.bringToFront();
    else
        x.sendToBack();
}

// Within a column of view 3 the older tile lies over the newer one above it,
// and each later column over the earlier; the first column is left alone
// once the second has begun.
void restackView3(link::Client& c) {
    const TableState& t = c.table;
    const int n = t.discardImg3Count;
    auto front = [&](int i) {
        if (ui::Control* x = tileControl(c, t.discardImg3[static_cast<std::size_t>(i)])) x->bringToFront();
    };
    if (n <= TilesPerRow) {
        for (int i = n - 1; i >= 0; --i) front(i);
        return;
    }
    for (int start = TilesPerRow; start < n; start += TilesPerRow) {
        for (int i = std::min(start + TilesPerRow, n) - 1; i >= start; --i) front(i);
    }
}

// The discard's face in the seat's lying set, on the seat's last concealed
// tile control, which becomes the current tile.
int turnUpDiscard(link::Client& c, int view, int slot, int tile) {
    TableState& t = c.table;
    setTileSize(t, view, TileSizeSet::Lying, c.link.scaleX, c.link.scaleY);
    const int img = seatOf(t, view).slots[static_cast<std::size_t>(slot)].img;
    t.curTileImg = img;
    setTileImage(c, img, tilePicture(view, tile));
    return img;
}

}  // namespace

bool showDiscard(link::Client& c, SeatBit seatBit, int tile) {
    TableState& t = c.table;
    const int view = discardView(c, seatBit, tile, true);
    if (view < 0) return false;
    link::sleepSeconds(c.p.clock, 0.05);
    noteDiscard(c, view, tile);
    // The local player's discards are shown by the tile click and auto-play.
    if (view == 0) return true;

    SeatRecord& r = seatOf(t, view);
    const int img = turnUpDiscard(c, view, lastConcealedSlot(r), tile);
    if (ui::Control* x = tileControl(c, img)) {
        const double areaW = c.pic1->width() / 15;
        const double areaH = c.pic1->height() / 15;
        const auto w = static_cast<std::size_t>(view);
        x->move((areaW - x->width()) / 2, (areaH - x->height()) / 2, t.tileW[w], t.tileH[w]);
        if (view == 3)
            x->sendToBack();
        else
            x->bringToFront();
    }
    --r.concealedCount;
    return true;
}

bool sideShowDiscard(link::Client& c, SeatBit seatBit, int tile) {
    TableState& t = c.table;
    const int view = discardView(c, seatBit, tile, false);
    if (view < 0) return false;
    noteDiscard(c, view, tile);

    SeatRecord& r = seatOf(t, view);
    int slot = lastConcealedSlot(r);
    const bool shownHand = view == 0 && c.dispatch.player[0].showHandFlag != 0;
    if (shownHand) {
        // The watched hand shows its faces: the discarded tile leaves, not
        // whichever tile stood last.
        // The codes change places; the controls stay where they stand and
        // the sort below gives them their faces again.
        for (int i = r.firstConcealed; i < slot; ++i) {
            if (r.slots[static_cast<std::size_t>(i)].tile == tile) {
                std::swap(r.slots[static_cast<std::size_t>(i)].tile, r.slots[static_cast<std::size_t>(slot)].tile);
                break;
            }
        }
    }
    const int img = turnUpDiscard(c, view, slot, tile);
    const auto w = static_cast<std::size_t>(view);
    if (ui::Control* x = tileControl(c, img); x && t.restoreDone) {
        const double fw = t.tileW[w] * FlashScale;
        const double fh = t.tileH[w] * FlashScale;
        x->move((c.pic1->width() / 15 - fw) / 2, (c.pic1->height() / 15 - fh) / 2, fw, fh);
        stackAsLaid(*x, view);
        link::sleepSeconds(c.p.clock, 1);
    }
    layDiscard(c, view, img);
    setTileSize(t, view, TileSizeSet::Standing, c.link.scaleX, c.link.scaleY);
    --r.concealedCount;
    if (shownHand) sortAndDrawHand(c, 0, r.concealedCount);
    return true;
}

void layDiscard(link::Client& c, int view, int image) {
    if (view < 0 || view > 3) return;
    TableState& t = c.table;
    SeatRecord& r = seatOf(t, view);
    setTileSize(t, view, TileSizeSet::Lying, c.link.scaleX, c.link.scaleY);
    if (ui::Control* x = tileControl(c, image)) {
        const auto w = static_cast<std::size_t>(view);
        x->move(r.discardX, r.discardY, t.tileW[w], t.tileH[w]);
        stackAsLaid(*x, view);
    }
    if (view == 3) {
        auto& list = t.discardImg3;
        if (t.discardImg3Count >= static_cast<int>(list.size()))
            list.resize(static_cast<std::size_t>(t.discardImg3Count) + 1);
        list[static_cast<std::size_t>(t.discardImg3Count++)] = image;
        restackView3(c);
    }
    t.lastDiscardX = r.discardX;
    t.lastDiscardY = r.discardY;
    discardRowAdvance(t, view, c.link.scaleX, c.link.scaleY);
}

void discardRowAdvance(TableState& t, int view, double sx, double sy) {
    if (view < 0 || view > 3) return;
    SeatRecord& r = seatOf(t, view);
    const int w = t.tileW[static_cast<std::size_t>(view)];
    const int h = t.tileH[static_cast<std::size_t>(view)];
    int& x = r.discardX;
    int& y = r.discardY;
    // The side seats' tiles overlap; a zero step (a size not set) never
    // divides.
    const int sideStep = roundHalfEven(h - 17 * sy);
    auto full = [](int run, int step) { return step != 0 && run / step == TilesPerRow; };
    switch (view) {
    case 0:
        x += w;
        if (full(x - r.discardRowX, w)) {
            x = r.discardRowX;
            y = roundHalfEven(y - h + 18 * sy);
        }
        break;
    case 1:
        y = roundHalfEven(y + h - 17 * sy);
        x -= 5;
        if (full(y - r.discardRowY, sideStep)) {
            y = r.discardRowY;
            x = roundHalfEven(x + 40 + w - 5 * sx);
        }
        break;
    case 2:
        x -= w;
        if (full(r.discardRowX - x, w)) {
            x = r.discardRowX;
            y = roundHalfEven(y + h - 14 * sy);
        }
        break;
    default:
        y = roundHalfEven(y - h + 17 * sy);
        x -= 5;
        if (full(r.discardRowY - y, sideStep)) {
            y = r.discardRowY;
            x = roundHalfEven(x + 40 - w + 5 * sx);
        }
        break;
    }
}

}  // namespace mj::table
