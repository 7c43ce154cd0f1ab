// hand_reveal.cpp: the other hands revealed at the end of a hand, and the
// wall-peek list.
#include "table/hand_reveal.h"

#include <string>

#include "link/client.h"
#include "table/hand_sort.h"
#include "table/tiles.h"

namespace mj::table {

namespace {

int wrapWall(int position) { return ((position % WallSize) + WallSize) % WallSize; }

// Gives the slot's control its width and height for the view, in place.
void resizeSlots(link::Client& c, const SeatRecord& r, int from, int to, int view) {
    const auto v = static_cast<std::size_t>(view);
    for (int i = from; i <= to; ++i) {
        if (ui::Control* x = tileControl(c, r.slots[static_cast<std::size_t>(i)].img)) {
            x->setWidth(c.table.tileW[v]);
            x->setHeight(c.table.tileH[v]);
        }
    }
}

void revealLocalHand(link::Client& c) {
    TableState& t = c.table;
    SeatRecord& r = t.custom[0];
    const int first = r.firstConcealed;
    const int count = r.concealedCount;
    if (first < 0 || count < 0 || first + count > SlotCount) {
        c.log("reveal: own hand slots " + std::to_string(first) + " + " + std::to_string(count) + " refused");
        return;
    }
    if (c.link.launch.isSpectator) {
        sortAndDrawHand(c, 0, count);
        resizeSlots(c, r, first, first + count - 1, 0);
        return;
    }
    // The player's standing tiles keep their size and place and show the
    // faces of tiles lying in front of the seat.
    for (int i = first; i < first + count; ++i) {
        const TileSlot& s = r.slots[static_cast<std::size_t>(i)];
        setTileImage(c, s.img, tilePicture(0, s.tile));
    }
}

// The winning discard laid after the winner's hand, when the hand was won on it.
void addWinningDiscard(link::Client& c, int view, int n) {
    TableState& t = c.table;
    const SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    if (view != t.winnerView || (n - 2) % 3 == 0) return;
    ui::Control* discard = tileControl(c, t.curTileImg);
    const ui::Control* last = tileControl(c, r.slots[static_cast<std::size_t>(r.firstConcealed + n - 1)].img);
    if (!discard || !last) {
        c.log("reveal: no winning discard to lay for view " + std::to_string(view));
        return;
    }
    const auto v = static_cast<std::size_t>(view);
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    setTileImage(c, t.curTileImg, tilePicture(view, t.lastTileCode));
    discard->setWidth(t.tileW[v]);
    discard->setHeight(t.tileH[v]);
    switch (view) {
    case 1:
        discard->move(last->left() - 5 * sx, last->top() + t.tileH[v] - 13 * sy);
        discard->bringToFront();
        break;
    case 2:
        discard->move(r.handX - t.tileW[v] * (r.firstConcealed + n) - 5 * sx, r.handY);
        break;
    default:
        discard->move(last->left() - 5 * sx, last->top() - t.tileH[v] + 13 * sy);
        discard->sendToBack();
        break;
    }
}

void revealTable(link::Client& c) {
    TableState& t = c.table;
    revealLocalHand(c);
    for (int view = 1; view <= 3; ++view) {
        const int n = revealedCount(t, view);
        // A seat that showed no tile has no last slot to lay.
        if (n == 0) continue;
        const SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
        const int last = r.firstConcealed + n - 1;
        const TileSlot& l = r.slots[static_cast<std::size_t>(last)];
        setTileImage(c, l.img, tilePicture(view, l.tile));
        // The tile revealed last stays after the sorted others.
        sortAndDrawHand(c, view, n - 1);
        resizeSlots(c, r, r.firstConcealed, last, view);
        addWinningDiscard(c, view, n);
    }
}

}  // namespace

int revealedCount(const TableState& t, int view) {
    if (view < 1 || view > 3) return 0;
    const auto& row = t.revealedTiles[static_cast<std::size_t>(view)];
    // Only tiles are stored, from position 0 on, so the first empty position
    // is the count.
    int n = 0;
    while (n < MaxRevealedTiles && row[static_cast<std::size_t>(n)] != 0) ++n;
    return n;
}

void revealOtherHand(link::Client& c, int seatBit, const std::array<int, 4>& tiles) {
    TableState& t = c.table;
    setTileSizes(t, TileSizeSet::Reveal, c.link.scaleX, c.link.scaleY);
    const int view = viewPos(t.custom[0].seat, static_cast<SeatBit>(seatBit & 15));
    if (view == 0) return;

    SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    int k = revealedCount(t, view);
    for (int j = 0; j < 4 && r.concealedCount > 0; ++j) {
        const int tile = tiles[static_cast<std::size_t>(3 - j)] & 0xFF;
        if (tile == 0) continue;
        const int slot = r.firstConcealed + k;
        if (k >= MaxRevealedTiles || slot < 0 || slot >= SlotCount) {
            c.log("reveal: no place for a tile of view " + std::to_string(view) + " at slot " + std::to_string(slot));
            break;
        }
        t.revealedTiles[static_cast<std::size_t>(view)][static_cast<std::size_t>(k)] = tile;
        r.slots[static_cast<std::size_t>(slot)].tile = tile;
        --r.concealedCount;
        ++k;
    }

    for (int v = 1; v <= 3; ++v) {
        if (t.custom[static_cast<std::size_t>(v)].concealedCount > 0) return;
    }
    revealTable(c);
}

bool fillWallPeek(TableState& t, const std::array<std::uint8_t, 5>& listed) {
    if (t.wallPeekCount != 0) return false;
    // Zero bytes among the listed tiles are no tiles: the tiles close up so
    // that each keeps the wall position of its place in the list.
    int n = 0;
    t.wallPeekTile.fill(0);
    for (std::uint8_t tile : listed) {
        if (tile != 0) t.wallPeekTile[static_cast<std::size_t>(n++)] = tile;
    }
    t.wallPeekCount = n;
    const int tail = wrapWall(t.wallTail);
    t.wallPeekImg[0] = tail;
    // The next tile from the back, as a kong's supplement is taken.
    t.wallPeekImg[1] = tail % 2 == 0 ? wrapWall(tail + 1) : wrapWall(tail - 3);
    for (int i = 2; i < n; ++i) t.wallPeekImg[static_cast<std::size_t>(i)] = wrapWall(t.wallHead + i - 2);
    return n > 0;
}

}  // namespace mj::table
