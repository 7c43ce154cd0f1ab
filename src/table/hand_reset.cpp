// hand_reset.cpp: the per-hand reset and the wall.
#include "table/hand_reset.h"

#include <stdexcept>
#include <string>

#include "link/client.h"
#include "table/tiles.h"

namespace mj::table {

namespace {

void hide(link::Client& c, std::string_view name, int index = -1) {
    if (ui::Control* x = c.mainForm.find(name, index)) x->setVisible(false);
}

ui::Control& tile(link::Client& c, int i) {
    ui::Control* x = tileControl(c, i);
    if (!x) throw std::runtime_error("no tile control " + std::to_string(i));
    return *x;
}

struct Origin {
    int handX, handY, discardX, discardY;
};
constexpr Origin Origins[4] = {
    {50, 574, 358, 438},
    {150, 170, 287, 238},
    {820, 120, 635, 238},
    {945, 530, 758, 438},
};

}  // namespace

std::optional<int> wallStartFor(int bankerView, int firstSum, int secondSum) {
    constexpr int Smallest = 2;
    constexpr int Largest = 12;
    if (firstSum < Smallest || firstSum > Largest || secondSum < Smallest || secondSum > Largest) return std::nullopt;
    const int side = ((bankerView + 13 - firstSum) % 4 + 4) % 4;
    return 2 * (17 * side + firstSum + secondSum) % WallSize;
}

void resetHandDisplay(link::Client& c) {
    TableState& t = c.table;
    t.curTileImg = -1;
    t.prevBlinkImg = -1;
    setTileSizes(t, TileSizeSet::Lying, c.link.scaleX, c.link.scaleY);
    for (int i = 0; i < WallSize; ++i) hide(c, "MJ_Image", i);
    for (int i = 0; i < 5; ++i) {
        if (ui::Control* b = c.mainForm.find("Operation", i)) {
            b->setEnabled(false);
            b->setVisible(false);
        }
    }
    for (auto& name : c.link.receivedText.seatName) name.clear();
    hide(c, "QV_Image");
    hide(c, "imgPiZi", 0);
    hide(c, "imgPiZi", 1);
    if (!c.link.launch.isSpectator) {
        if (ui::Control* z = c.mainForm.find("Zhuang")) z->setCaption("");
    }
}

void resetTableForHand(link::Client& c) {
    TableState& t = c.table;
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;

    // 1.
    for (int i = 0; i < WallSize; ++i) hide(c, "MJ_Image", i);
    hide(c, "Time_Img");
    hide(c, "Number");
    for (int i = 0; i < 5; ++i) hide(c, "Operation", i);
    hide(c, "ZhiNan");
    hide(c, "Host");
    hide(c, "Zhuang");
    for (int i = 0; i < 6; ++i) hide(c, "Chi", i);
    for (int i = 0; i < 5; ++i) hide(c, "Gang", i);

    // 2, 3.
    setTileSizes(t, TileSizeSet::Lying, sx, sy);
    for (int s = 0; s < 4; ++s) {
        for (int i = 0; i < 34; ++i) {
            auto& x = tile(c, 34 * s + i);
            x.setWidth(t.tileW[static_cast<std::size_t>(s)]);
            x.setHeight(t.tileH[static_cast<std::size_t>(s)]);
        }
    }

    auto placeLower = [&](int s, int k) {
        auto& upper = tile(c, 34 * s + 2 * k);
        tile(c, 34 * s + 2 * k + 1).move(upper.left(), upper.top() + WallSides[s].drop * sy);
    };
    // 4. Stack 0 of every side.
    for (int s = 0; s < 4; ++s) {
        tile(c, 34 * s).move(WallSides[s].left * sx, WallSides[s].top * sy);
        placeLower(s, 0);
        if (s == 3) tile(c, 102).bringToFront();
    }
    // 5. Stacks 1-16, each from the one before, with its drawing order.
    for (int k = 1; k <= 16; ++k) {
        for (int s = 0; s < 4; ++s) {
            const WallSide& w = WallSides[s];
            auto& prev = tile(c, 34 * s + 2 * (k - 1));
            auto& upper = tile(c, 34 * s + 2 * k);
            auto& lower = tile(c, 34 * s + 2 * k + 1);
            upper.move(prev.left() + w.widthStep * prev.width() + w.stepX * sx, prev.top() + w.stepY * sy);
            placeLower(s, k);
            switch (s) {
            case 0:
            case 2:
                upper.bringToFront();
                lower.sendToBack();
                break;
            case 3:
                lower.bringToFront();
                upper.bringToFront();
                break;
            default:
                break;
            }
        }
    }
    // 6. The left row overlaps itself downward: nearer the bottom in front.
    tile(c, 0).bringToFront();
    tile(c, 2).bringToFront();
    for (int k = 16; k >= 0; --k) {
        tile(c, 35 + 2 * k).bringToFront();
        tile(c, 34 + 2 * k).bringToFront();
    }
    tile(c, 69).sendToBack();
    tile(c, 71).sendToBack();

    // 7. Seat origins, stored as whole pixels.
    for (int v = 0; v < 4; ++v) {
        SeatRecord& r = t.custom[static_cast<std::size_t>(v)];
        r.handX = roundHalfEven(Origins[v].handX * sx);
        r.handY = roundHalfEven(Origins[v].handY * sy);
        r.discardX = roundHalfEven(Origins[v].discardX * sx);
        r.discardY = roundHalfEven(Origins[v].discardY * sy);
        r.discardRowX = r.discardX;
        r.discardRowY = r.discardY;
    }

    // 8. The consecutive-wild animation is cleared and put back in place.
    for (const char* name : {"bombPlayer", "Img_bg"}) {
        if (ui::Control* x = c.mainForm.find(name)) {
            if (name != std::string_view("bombPlayer"))
                x->setVisible(false);
            else if (c.bombPlayer)
                c.bombPlayer->erase();
            x->move(420 * sx, 270 * sy, 150 * sx, 150 * sy);
        }
    }

    // 9.
    c.props.exitPluginAfterDraw = 0;
    c.props.propResultMode = 0;
    c.props.drawWithBoxes = 0;
    c.props.propDisplayClosed = 0;

    // 10.
    if (ui::Control* bank = c.mainForm.find("Bank")) {
        bank->setVisible(true);
        bank->bringToFront();
    }

    // 11.
    if (ui::Control* difen = c.mainForm.find("lblDifen")) {
        difen->setCaption("1");
        difen->setVisible(false);
    }
    hide(c, "imgBeishu");
    hide(c, "imgsezi", 0);
    hide(c, "imgsezi", 1);
    for (int i = 0; i < 3; ++i) hide(c, "lbfont", i);

    // 12. A wealth multiple in force stays shown.
    if (t.isWealthMultiple == 0) {
        if (ui::Control* w = c.mainForm.find("lbwealth")) {
            w->setCaption("1");
            w->setVisible(false);
        }
        hide(c, "Imgwealth");
    }
}

void resetRoundData(link::Client& c) {
    TableState& t = c.table;
    for (int v = 0; v < 4; ++v) {
        SeatRecord& r = t.custom[static_cast<std::size_t>(v)];
        r.handGold = 0;
        r.isBanker = 0;
        // Tile codes stay: readers keep to the concealed range and meld slots.
        for (TileSlot& s : r.slots) {
            s.state = SlotEmpty;
            s.img = -1;
        }
        r.firstConcealed = 4;
        r.concealedCount = 0;
        r.wildCount = 0;
        r.hongZhongGangs = 0;
        r.baoGangs = 0;
        r.pizi1Gangs = 0;
        r.pizi2Gangs = 0;
        r.meldEnd = v == 0 ? 3 : 4;
    }
    for (auto& name : c.link.receivedText.seatName) name.clear();
    t.wildTile = -1;
    t.drawFromHead = true;
    t.canDiscard = false;
    t.seatMsgCount = 0;
    for (auto& row : t.revealedTiles) row.fill(0);
    t.discardImg3.assign(24, 0);
    t.discardImg3Count = 0;
    for (auto& row : t.singleGangImg) row.fill(0);
    t.winnerView = -1;
    t.resultCount = 0;
    c.link.inGame = false;
}

}  // namespace mj::table
