// turn_play.cpp: auto-play and the default action at the countdown's end.
#include "claims/turn_play.h"

#include "claims/claim_logic.h"
#include "claims/hand_evaluator.h"
#include "claims/senders.h"
#include "link/client.h"
#include "table/hand_sort.h"
#include "table/tiles.h"

namespace mj::claims {

namespace {

constexpr double TwipsPerPixel = 15.0;

table::SeatRecord& own(link::Client& c) { return c.table.custom[0]; }

void hide(link::Client& c, const char* name, int index) {
    if (ui::Control* x = c.mainForm.find(name, index)) {
        x->setEnabled(false);
        x->setVisible(false);
    }
}

}  // namespace

void setOwnTileSize(link::Client& c, int w, int h) {
    c.table.tileW[0] = table::roundHalfEven(w * c.link.scaleX);
    c.table.tileH[0] = table::roundHalfEven(h * c.link.scaleY);
}

void hideClaimButtons(link::Client& c) {
    for (int b = 0; b < 5; ++b) {
        if (ui::Control* x = c.mainForm.find("Operation", b)) x->setVisible(false);
    }
}

void resetClaimButtons(link::Client& c) {
    for (int b = 0; b < 5; ++b) {
        if (ui::Control* x = c.mainForm.find("Operation", b)) {
            (void)table::loadPicture(c, c.link.pictures.operationPic[static_cast<std::size_t>(3 * b)], *x);
            x->setEnabled(false);
        }
    }
}

void hideClaimControls(link::Client& c) {
    hideClaimButtons(c);
    resetClaimButtons(c);
    // All six kong pictures, the sixth included.
    for (int i = 0; i < 6; ++i) hide(c, "Gang", i);
    for (int i = 0; i < 6; ++i) hide(c, "Chi", i);
}

void hideZhahu(link::Client& c) {
    // The countdown's expiry clears the flag by itself; the window goes too.
    c.frmZhahu.setVisible(false);
    c.claims.zhahuShown = false;
}

void layDiscardInCentre(link::Client& c, int slot, int tile) {
    const int img = own(c).slots[static_cast<std::size_t>(slot)].img;
    setOwnTileSize(c, 36, 50);
    c.table.curTileImg = img;
    c.table.lastDiscardView = 0;
    table::setTileImage(c, img, table::tilePicture(0, tile));
    if (ui::Control* t = table::tileControl(c, img)) {
        const double w = c.table.tileW[0];
        const double h = c.table.tileH[0];
        t->move((c.pic1->width() / TwipsPerPixel - w) / 2, (c.pic1->height() / TwipsPerPixel - h) / 2, w, h);
        t->sendToBack();
    }
}

void closeHandGap(link::Client& c, int slot) {
    setOwnTileSize(c, 48, 78);
    table::SeatRecord& r = own(c);
    for (int i = std::max(slot, 0); i + 1 < concealedEnd(r); ++i) {
        auto& s = r.slots[static_cast<std::size_t>(i)];
        s = r.slots[static_cast<std::size_t>(i + 1)];
        if (ui::Control* t = table::tileControl(c, s.img)) t->move(r.handX + c.table.tileW[0] * i, r.handY);
    }
}

void autoPlay(link::Client& c) {
    hideClaimControls(c);
    ClaimsState& cl = c.claims;
    table::SeatRecord& r = own(c);
    const SpecialTiles sp = specialTilesOf(c.table);
    const int last = c.table.lastTileCode;
    HandEvaluator eval(r, sp, c.dispatch.seenTile);
    bool acted = false;
    auto open = [&](int b) { return cl.opOffered[static_cast<std::size_t>(b)] == 2 && !cl.offerAnswered && !acted; };
    auto claim = [&] { cl.offerAnswered = acted = true; };
    // A claim whose sender found nothing to send is no answer.
    auto unclaim = [&] { cl.offerAnswered = acted = false; };

    // A win the offer marked as lacking fan would be refused: decline it.
    if (open(3) && c.dispatch.actionCount > HuMinActions && cl.huState < 2) {
        claim();
        playOwnClaimVoice(c, OpHu);
        setOwnTileSize(c, 48, 78);
        if (!discardDue(r) && concealedEnd(r) > r.firstConcealed) {
            const int lastImg = r.slots[static_cast<std::size_t>(concealedEnd(r) - 1)].img;
            ui::Control* lastTile = table::tileControl(c, lastImg);
            if (ui::Control* t = table::tileControl(c, c.table.curTileImg); t && lastTile) {
                t->move(lastTile->left() + c.table.tileW[0], r.handY, c.table.tileW[0], c.table.tileH[0]);
                table::setTileImage(c, c.table.curTileImg, table::tilePicture(0, last));
            }
        }
        sendHu(c);
    }
    if (open(2) && !onlyLoneWildKong(r, cl.opOptions, last, sp) && eval.shouldGang()) {
        if (cl.opOptions & OpAnGang) table::sortAndDrawHand(c, 0, r.concealedCount);
        const auto found = findKongCandidates(r, cl.opOptions, last, sp, false);
        // No candidate: no kong; 碰, 吃, the pass and the discard follow.
        if (!found.empty()) {
            claim();
            if (!performKong(c, found.front())) unclaim();
        }
    }
    if (open(1) && eval.shouldClaim(2, last)) {
        claim();
        playOwnClaimVoice(c, OpPeng);
        if (!sendPeng(c, eval.partner1)) unclaim();
    }
    if (open(0) && eval.shouldClaim(1, last)) {
        claim();
        playOwnClaimVoice(c, OpChi);
        cl.chiChoiceSlots[0] = eval.partner1;
        cl.chiChoiceSlots[1] = eval.partner2;
        if (!sendChi(c, eval.partner1, eval.partner2)) unclaim();
    }
    sendPass(c);
    if (discardDue(r) && !acted) {
        const int t = eval.chooseDiscard();
        int slot = concealedEnd(r) - 1;
        for (int i = r.firstConcealed; i < concealedEnd(r); ++i) {
            if ((r.slots[static_cast<std::size_t>(i)].tile & 0xFF) == t) {
                slot = i;
                break;
            }
        }
        const int tile = r.slots[static_cast<std::size_t>(slot)].tile & 0xFF;
        sendDiscard(c, tile);
        c.table.canDiscard = false;
        layDiscardInCentre(c, slot, tile);
        closeHandGap(c, slot);
        table::sortAndDrawHand(c, 0, r.concealedCount - 1);
        --r.concealedCount;
    }
    cl.opOffered.fill(0);
    hideZhahu(c);
}

void timeoutDefaultAction(link::Client& c) {
    hideClaimControls(c);
    sendPass(c);
    table::SeatRecord& r = own(c);
    if (discardDue(r) && concealedEnd(r) > r.firstConcealed) {
        c.table.canDiscard = false;
        const int slot = concealedEnd(r) - 1;
        const int tile = r.slots[static_cast<std::size_t>(slot)].tile & 0xFF;
        sendDiscard(c, tile);
        layDiscardInCentre(c, slot, tile);
        --r.concealedCount;
    }
    hideZhahu(c);
}

}  // namespace mj::claims
