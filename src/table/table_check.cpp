// table_check.cpp: the rules behind tableProblems. Each one is a bound the
// table code relies on when it indexes the slot, image and list arrays.
#include "table/table_check.h"

namespace mj::table {

namespace {

class Checker {
public:
    void range(const std::string& what, long value, long lo, long hi) {
        if (value < lo || value > hi) {
            problems.push_back(what + " = " + std::to_string(value) + ", outside " + std::to_string(lo) + ".." +
                               std::to_string(hi));
        }
    }
    std::vector<std::string> problems;
};

}  // namespace

std::vector<std::string> tableProblems(const TableState& t) {
    Checker c;
    for (int v = 0; v < 4; ++v) {
        const SeatRecord& r = t.custom[static_cast<std::size_t>(v)];
        const std::string seat = "view " + std::to_string(v) + " ";
        c.range(seat + "concealedCount", r.concealedCount, 0, SlotCount);
        c.range(seat + "firstConcealed", r.firstConcealed, 0, SlotCount);
        c.range(seat + "meldEnd", r.meldEnd, 0, SlotCount);
        c.range(seat + "last concealed slot", r.firstConcealed + r.concealedCount - 1, -1, SlotCount - 1);
        for (int counter :
             {r.wildCount, r.pizi1Count, r.pizi2Count, r.hongZhongGangs, r.baoGangs, r.pizi1Gangs, r.pizi2Gangs}) {
            c.range(seat + "special tile count", counter, 0, WallSize);
        }
        for (int s = 0; s < SlotCount; ++s) {
            const TileSlot& slot = r.slots[static_cast<std::size_t>(s)];
            const std::string at = seat + "slot " + std::to_string(s) + " ";
            c.range(at + "state", slot.state, SlotEmpty, SlotSingleGang);
            c.range(at + "img", slot.img, -1, WallSize - 1);
            c.range(at + "tile", slot.tile, 0, 0xFF);
        }
    }
    c.range("wallHead", t.wallHead, 0, WallSize - 1);
    c.range("wallTail", t.wallTail, 0, WallSize - 1);
    c.range("wallStart", t.wallStart, 0, WallSize - 1);
    c.range("curTileImg", t.curTileImg, -1, WallSize - 1);
    c.range("indicatorImg", t.indicatorImg, -1, WallSize - 1);
    c.range("lastDiscardView", t.lastDiscardView, 0, 4);
    c.range("winnerView", t.winnerView, -1, 3);
    c.range("discardImg3Count", t.discardImg3Count, 0, static_cast<long>(t.discardImg3.size()));
    c.range("anGangCount", t.anGangCount, 0, static_cast<long>(t.anGangImg.size()));
    c.range("wallPeekCount", t.wallPeekCount, 0, static_cast<long>(t.wallPeekImg.size()));
    c.range("resultCount", t.resultCount, 0, 4);
    return c.problems;
}

}  // namespace mj::table
