// draw_tiles.cpp: dealing and drawing tiles into the hands.
#include "table/draw_tiles.h"

#include <string>

#include "link/client.h"
#include "link/general.h"
#include "table/discards.h"
#include "table/hand_sort.h"
#include "table/tiles.h"

namespace mj::table {

namespace {

enum class Table { Player, Side };

// Lays the discard still shown in the middle into its row, as the draw that
// follows it does on the player table.
void layPendingDiscard(link::Client& c, SeatBit seatBit, int count) {
    TableState& t = c.table;
    if (t.afterGang || t.curTileImg < 0) return;
    if (count == 1) link::sleepSeconds(c.p.clock, 0.4);
    const int v = t.lastDiscardView;
    if (v < 0 || v > 3) return;
    // The local player's discard waits for the seat to the right, who plays
    // next; a claim takes it before any other seat draws.
    if (v == 0 && seatBit != t.custom[3].seat) return;
    layDiscard(c, v, t.curTileImg);
    t.blinkCount = 3;
}

// The wall position of the next tile, and whether it came from the tail.
struct Taken {
    int img;
    bool fromTail;
};

Taken takeFromWall(TableState& t, int count) {
    if (count == 1 && !t.drawFromHead) {
        const int img = t.wallTail;
        // Lower tile of the same stack, then the upper tile of the stack before.
        t.wallTail = img % 2 == 0 ? img + 1 : (img + 133) % WallSize;
        return {img, true};
    }
    const int img = t.wallHead;
    t.wallHead = (t.wallHead + 1) % WallSize;
    return {img, false};
}

void takeTiles(link::Client& c, Table table, SeatBit seatBit, int count, const std::array<int, 4>& values) {
    TableState& t = c.table;
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    const int v = viewPos(t.custom[0].seat, seatBit);
    SeatRecord& r = t.custom[static_cast<std::size_t>(v)];
    setTileSizes(t, TileSizeSet::Standing, sx, sy);
    int i = r.firstConcealed + r.concealedCount;
    r.concealedCount += count;

    const auto w = static_cast<std::size_t>(v);
    const double width = t.tileW[w];
    const double height = t.tileH[w];
    const bool single = count == 1;
    const bool wildKnown = t.wildTile > 0;
    const bool watchedShown = !c.link.launch.isSpectator || c.dispatch.player[0].showHandFlag != 0;
    const bool showFaces = table == Table::Player || watchedShown;

    if (v == 0 && single && wildKnown) {
        // Every old tile back to its place, lowering one the mouse raised.
        for (int k = r.firstConcealed; k < i; ++k) {
            if (ui::Control* x = tileControl(c, r.slots[static_cast<std::size_t>(k)].img))
                x->move(r.handX + k * width, r.handY);
        }
        if (table == Table::Player && !t.drawFromHead) sortAndDrawHand(c, 0, r.concealedCount - 1);
    }

    for (int j = 0; j < count; ++j, ++i) {
        const Taken taken = takeFromWall(t, count);
        TileSlot& slot = r.slots[static_cast<std::size_t>(i)];
        slot.state = SlotConcealed;
        slot.img = taken.img;
        ui::Control* x = tileControl(c, taken.img);
        if (v == 0) {
            slot.tile = values[static_cast<std::size_t>(single ? 3 : j)] & 0xFF;
            setTileImage(c, taken.img, showFaces ? tilePicture(HandPictureSet, slot.tile) : standingBack(0));
            double left = r.handX + i * width;
            if (taken.fromTail || (single && wildKnown)) left += width / 2;
            if (x) x->move(left, r.handY, width, height);
            continue;
        }
        const bool gap =
            table == Table::Player && (taken.fromTail || (single && (wildKnown || r.concealedCount == 14)));
        double left = 0;
        double top = 0;
        switch (v) {
        case 1:
            left = r.handX - 5 * sx * i;
            top = r.handY + i * width / 2 + (gap ? 10 * sy : 0);
            break;
        case 2:
            left = r.handX - i * width - (gap ? 10 * sx : 0);
            top = r.handY;
            break;
        default:
            left = r.handX - 5 * sx * (i + 1);
            top = r.handY - (i + 1) * width / 2 - (gap ? 10 * sy : 0);
            break;
        }
        setTileImage(c, taken.img, standingBack(v));
        if (!x) continue;
        x->move(left, top, width, height);
        if (v == 1) x->bringToFront();
        if (v == 3) x->sendToBack();
    }

    // A complete hand before the wild tile is known turns over once and is
    // sorted (on the spectator table it stays face down).
    const bool complete = r.concealedCount == 14 || (r.concealedCount == 13 && t.custom[0].isBanker == 0);
    const bool sideMayTurn = table == Table::Player || (watchedShown && (!c.link.launch.isSpectator || t.restoreDone));
    if (v == 0 && single && t.wildTile < 0 && complete && sideMayTurn) {
        for (int k = r.firstConcealed; k < r.firstConcealed + r.concealedCount; ++k)
            setTileImage(c, r.slots[static_cast<std::size_t>(k)].img, standingBack(0));
        if (table == Table::Player) {
            link::sleepSeconds(c.p.clock, 1);
            sortAndDrawHand(c, 0, r.concealedCount);
        } else {
            link::sleepSeconds(c.p.clock, 0.8);
        }
    }

    if (v == 1) {
        // The local seat's wild-tile kongs stay over the left seat's hand.
        const int baoGangs = t.custom[0].baoGangs;
        for (int k = 0; k < baoGangs && 4 + k < static_cast<int>(t.singleGangImg[0].size()); ++k) {
            if (ui::Control* x = tileControl(c, t.singleGangImg[0][static_cast<std::size_t>(4 + k)])) x->bringToFront();
        }
    }
    t.drawFromHead = true;
}

// A draw must fit the slots after the seat's concealed tiles.
bool fits(link::Client& c, SeatBit seatBit, int count) {
    const int v = viewPos(c.table.custom[0].seat, seatBit);
    const SeatRecord& r = c.table.custom[static_cast<std::size_t>(v)];
    const int first = r.firstConcealed + r.concealedCount;
    if ((count == 1 || count == 4) && first >= 0 && first + count <= SlotCount) return true;
    c.log("draw refused: " + std::to_string(count) + " tile(s) for view " + std::to_string(v) + " at slot " +
          std::to_string(first));
    return false;
}

}  // namespace

void drawTilesToHand(link::Client& c, SeatBit seatBit, int count, const std::array<int, 4>& values) {
    if (!fits(c, seatBit, count)) return;
    layPendingDiscard(c, seatBit, count);
    c.table.afterGang = false;
    takeTiles(c, Table::Player, seatBit, count, values);
}

void sideDrawTilesToHand(link::Client& c, SeatBit seatBit, int count, const std::array<int, 4>& values) {
    if (!fits(c, seatBit, count)) return;
    takeTiles(c, Table::Side, seatBit, count, values);
}

}  // namespace mj::table
