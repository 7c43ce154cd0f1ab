// table_check.cpp: the rules behind tableProblems. Each one is a bound the
// table code relies on when it indexes the slot, image and list arrays.
#include "table/table_check.h"

namespace mj::table {

namespace {

class Checker {
public:
    // The name is only made for a broken rule: the fuzz target checks the
    // whole table after every message.
    template <class Name>
    void range(const Name& what, long value, long lo, long hi) {
        if (value >= lo && value <= hi) return;
        problems.push_back(std::string(what()) + " = " + std::to_string(value) + ", outside " + std::to_string(lo) +
                           ".." + std::to_string(hi));
    }
    std::vector<std::string> problems;
};

}  // namespace

std::vector<std::string> tableProblems(const TableState& t) {
    Checker c;
    for (int v = 0; v < 4; ++v) {
        const SeatRecord& r = t.custom[static_cast<std::size_t>(v)];
        const auto seat = [v] { return "view " + std::to_string(v) + " "; };
        c.range([&] { return seat() + "concealedCount"; }, r.concealedCount, 0, SlotCount);
        c.range([&] { return seat() + "firstConcealed"; }, r.firstConcealed, 0, SlotCount);
        c.range([&] { return seat() + "meldEnd"; }, r.meldEnd, 0, SlotCount);
        c.range([&] { return seat() + "last concealed slot"; }, r.firstConcealed + r.concealedCount - 1, -1,
                SlotCount - 1);
        for (int counter :
             {r.wildCount, r.pizi1Count, r.pizi2Count, r.hongZhongGangs, r.baoGangs, r.pizi1Gangs, r.pizi2Gangs}) {
            c.range([&] { return seat() + "special tile count"; }, counter, 0, WallSize);
        }
        for (int s = 0; s < SlotCount; ++s) {
            const TileSlot& slot = r.slots[static_cast<std::size_t>(s)];
            const auto at = [&] { return seat() + "slot " + std::to_string(s) + " "; };
            c.range([&] { return at() + "state"; }, slot.state, SlotEmpty, SlotSingleGang);
            c.range([&] { return at() + "img"; }, slot.img, -1, WallSize - 1);
            c.range([&] { return at() + "tile"; }, slot.tile, 0, 0xFF);
        }
    }
    c.range([] { return "wallHead"; }, t.wallHead, 0, WallSize - 1);
    c.range([] { return "wallTail"; }, t.wallTail, 0, WallSize - 1);
    c.range([] { return "wallStart"; }, t.wallStart, 0, WallSize - 1);
    c.range([] { return "curTileImg"; }, t.curTileImg, -1, WallSize - 1);
    c.range([] { return "indicatorImg"; }, t.indicatorImg, -1, WallSize - 1);
    c.range([] { return "lastDiscardView"; }, t.lastDiscardView, 0, 4);
    c.range([] { return "winnerView"; }, t.winnerView, -1, 3);
    c.range([] { return "discardImg3Count"; }, t.discardImg3Count, 0, static_cast<long>(t.discardImg3.size()));
    c.range([] { return "anGangCount"; }, t.anGangCount, 0, static_cast<long>(t.anGangImg.size()));
    c.range([] { return "wallPeekCount"; }, t.wallPeekCount, 0, static_cast<long>(t.wallPeekImg.size()));
    c.range([] { return "resultCount"; }, t.resultCount, 0, 4);
    return c.problems;
}

}  // namespace mj::table
