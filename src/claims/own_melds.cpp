// own_melds.cpp: the own meld layout after a confirmed claim.
#include "claims/own_melds.h"

#include <utility>

#include "claims/claim_logic.h"
#include "claims/turn_play.h"
#include "link/client.h"
#include "table/tiles.h"

namespace mj::claims {

namespace {

constexpr int LastSlot = table::SlotCount - 1;

table::SeatRecord& own(link::Client& c) { return c.table.custom[0]; }
table::TileSlot& slot(link::Client& c, int i) { return own(c).slots[static_cast<std::size_t>(i)]; }

void meldSize(link::Client& c) { setOwnTileSize(c, 45, 60); }
void standingSize(link::Client& c) { setOwnTileSize(c, 48, 78); }

double meldLeft(link::Client& c, int s) { return own(c).handX + (s + 1) * (c.table.tileW[0] - 2 * c.link.scaleX); }
double meldTop(link::Client& c) { return own(c).handY + c.table.tileH[0] / 3.0; }

// Moves slot `from` into slot `to` and its tile `by` standing widths right, on
// the hand's line (a tile raised by the pointer drops back).
void shift(link::Client& c, int to, int from, int by) {
    slot(c, to) = slot(c, from);
    if (ui::Control* t = table::tileControl(c, slot(c, to).img))
        t->move(t->left() + by * c.table.tileW[0], own(c).handY);
}

// The meld slots lie before the row and the row, `grows` slots longer while
// it closes up, within the record.
bool rowFits(link::Client& c, int grows) {
    const table::SeatRecord& r = own(c);
    return r.meldEnd >= 2 && r.meldEnd < r.firstConcealed &&
           r.firstConcealed + r.concealedCount + grows <= LastSlot + 1;
}
bool inRow(link::Client& c, int s) {
    const table::SeatRecord& r = own(c);
    return s >= r.firstConcealed && s < r.firstConcealed + r.concealedCount;
}

// Lays the three meld slots face up with tiles(0..2), left to right.
void layFaces(link::Client& c, const std::array<int, 3>& tiles) {
    meldSize(c);
    for (int k = 2; k >= 0; --k) {
        const int s = own(c).meldEnd - k;
        const int img = slot(c, s).img;
        if (ui::Control* t = table::tileControl(c, img)) {
            t->move(meldLeft(c, s), meldTop(c), c.table.tileW[0], c.table.tileH[0]);
            table::setTileImage(c, img, table::tilePicture(0, tiles[static_cast<std::size_t>(2 - k)]));
            t->bringToFront();
        }
    }
    standingSize(c);
}

// The fourth tile of a kong over the middle meld tile.
void layFourth(link::Client& c, int img, int tile) {
    const ui::Control* middle = table::tileControl(c, slot(c, own(c).meldEnd - 1).img);
    if (ui::Control* t = table::tileControl(c, img); t && middle) {
        t->move(middle->left(), own(c).handY - 18 * c.link.scaleY + c.table.tileH[0] / 3.0, c.table.tileW[0],
                c.table.tileH[0]);
        table::setTileImage(c, img, table::tilePicture(0, tile));
        t->bringToFront();
    }
}

// The last pass that closes the row after a 吃 or 碰: every tile from the
// third concealed slot on one slot right.
void shiftTailRight(link::Client& c) {
    const table::SeatRecord& r = own(c);
    for (int i = r.firstConcealed + r.concealedCount; i >= r.firstConcealed + 3; --i) shift(c, i, i - 1, 1);
}

}  // namespace

bool layOwnChi(link::Client& c, int slotA, int slotB, const std::array<int, 3>& tiles) {
    if (slotA > slotB) std::swap(slotA, slotB);
    if (!rowFits(c, 1) || !inRow(c, slotA) || !inRow(c, slotB) || slotA == slotB) return false;
    layFaces(c, tiles);
    const int fc = own(c).firstConcealed;
    for (int i = slotB; i >= slotA + 2; --i) shift(c, i, i - 1, 1);
    for (int i = slotA + 1; i >= fc + 2; --i) shift(c, i, i - 2, 2);
    shiftTailRight(c);
    return true;
}

bool layOwnPeng(link::Client& c, const std::array<int, 3>& tiles) {
    const auto pair = findPengPair(own(c), tiles[0]);
    if (!pair || !rowFits(c, 1)) return false;
    layFaces(c, tiles);
    for (int i = *pair + 1; i >= own(c).firstConcealed + 2; --i) shift(c, i, i - 2, 2);
    shiftTailRight(c);
    return true;
}

bool layOwnMingGang(link::Client& c, int slotA, const std::array<int, 3>& tiles) {
    if (!rowFits(c, 0) || !inRow(c, slotA) || !inRow(c, slotA + 2)) return false;
    meldSize(c);
    for (int k = 2; k >= 0; --k) {
        const int s = own(c).meldEnd - k;
        if (ui::Control* t = table::tileControl(c, slot(c, s).img)) t->move(meldLeft(c, s), meldTop(c));
        table::setTileImage(c, slot(c, s).img, table::tilePicture(0, tiles[2]));
    }
    layFourth(c, c.table.curTileImg, tiles[2]);
    standingSize(c);
    for (int i = slotA + 2; i >= own(c).firstConcealed + 3; --i) shift(c, i, i - 3, 3);
    return true;
}

bool layOwnAnGang(link::Client& c, int slotA, const std::array<int, 3>& tiles) {
    if (!rowFits(c, 0) || !inRow(c, slotA) || !inRow(c, slotA + 3)) return false;
    meldSize(c);
    for (int k = 2; k >= 0; --k) {
        const int s = own(c).meldEnd - k;
        if (ui::Control* t = table::tileControl(c, slot(c, s).img))
            t->move(meldLeft(c, s), meldTop(c), c.table.tileW[0], c.table.tileH[0]);
        table::setTileImage(c, slot(c, s).img, table::lyingBack(0));
    }
    c.table.curTileImg = slot(c, slotA + 3).img;
    layFourth(c, c.table.curTileImg, tiles[2]);
    standingSize(c);
    const table::SeatRecord& r = own(c);
    for (int i = slotA + 3; i >= r.firstConcealed + 4; --i) slot(c, i) = slot(c, i - 4);
    for (int i = r.firstConcealed + 3; i <= r.firstConcealed + r.concealedCount - 2; ++i) {
        slot(c, i) = slot(c, i + 1);
        if (ui::Control* t = table::tileControl(c, slot(c, i).img))
            t->move(r.handX + i * c.table.tileW[0], r.handY, c.table.tileW[0], c.table.tileH[0]);
    }
    return true;
}

bool layOwnSingleGang(link::Client& c, int slotA) {
    const table::SeatRecord& r = own(c);
    if (r.meldEnd < 2 || !inRow(c, slotA)) return false;
    c.table.curTileImg = slot(c, r.meldEnd - 2).img;
    c.table.lastTileCode = slot(c, slotA).tile;
    standingSize(c);
    for (int i = slotA; i <= r.firstConcealed + r.concealedCount - 2; ++i) {
        slot(c, i) = slot(c, i + 1);
        if (ui::Control* t = table::tileControl(c, slot(c, i).img)) t->setLeft(t->left() - c.table.tileW[0]);
    }
    return true;
}

}  // namespace mj::claims
