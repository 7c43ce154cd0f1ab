// claim_choices.cpp: claim buttons, choice pictures and the notice.
#include "claims/claim_choices.h"

#include "claims/claim_logic.h"
#include "claims/senders.h"
#include "claims/turn_play.h"
#include "link/client.h"
#include "table/hand_sort.h"
#include "table/tiles.h"

namespace mj::claims {

namespace {

constexpr int GangPictures = 6;
constexpr int ChiPictures = 6;
constexpr double ChoiceScale = 0.8;

table::SeatRecord& own(link::Client& c) { return c.table.custom[0]; }
ui::Control* find(link::Client& c, const char* name, int index = -1) { return c.mainForm.find(name, index); }

void setVisibleEnabled(ui::Control* x, bool on) {
    if (!x) return;
    x->setVisible(on);
    x->setEnabled(on);
}

void hideButton(link::Client& c, int b) {
    if (ui::Control* x = find(c, "Operation", b)) x->setVisible(false);
}

// Places a choice picture of the own hand's upright set above the buttons.
void placeChoice(link::Client& c, ui::Control& pic, int tile, double left, double top) {
    (void)table::loadPicture(c, c.link.pictures.tilePic[static_cast<std::size_t>(table::tilePicture(4, tile))], pic);
    pic.setStretch(true);
    pic.setHeight(c.table.tileH[0] * ChoiceScale);
    pic.setWidth(c.table.tileW[0] * ChoiceScale);
    pic.move(left, top);
    pic.setVisible(true);
    pic.bringToFront();
    pic.setEnabled(true);
}

void playKongVoice(link::Client& c) { playOwnClaimVoice(c, OpMingGang); }

}  // namespace

void showChiChoices(link::Client& c, int tile) {
    table::setTileSizes(c.table, table::TileSizeSet::Standing, c.link.scaleX, c.link.scaleY);
    table::SeatRecord& r = own(c);
    table::sortAndDrawHand(c, 0, r.concealedCount);
    const ChiSearch found = findChiChoices(r, tile, specialTilesOf(c.table));
    r.wildCount = found.wildCount;
    if (c.table.specialMode == 3) {
        r.pizi1Count = found.pizi1Count;
        r.pizi2Count = found.pizi2Count;
    }
    auto& slots = c.claims.chiChoiceSlots;
    for (std::size_t k = 0; k < found.pairs.size(); ++k) {
        slots[2 * k] = found.pairs[k][0];
        slots[2 * k + 1] = found.pairs[k][1];
    }
    if (found.pairs.size() == 1) {
        hideButton(c, 0);
        if (sendChi(c, slots[0], slots[1])) return;
    }
    // Several shapes, or none: the countdown runs again, and with no shape
    // its end passes for the seat.
    for (int b = 1; b <= 4; ++b) setVisibleEnabled(find(c, "Operation", b), false);
    ui::Control* op0 = find(c, "Operation", 0);
    ui::Control* op1 = find(c, "Operation", 1);
    if (found.pairs.size() > 1 && op0 && op1) {
        const double h = c.table.tileH[0] * ChoiceScale;
        const double w = c.table.tileW[0] * ChoiceScale;
        for (int i = 0; i < 2 * static_cast<int>(found.pairs.size()) && i < ChiPictures; ++i) {
            ui::Control* pic = find(c, "Chi", i);
            if (!pic) continue;
            const int t = r.slots[static_cast<std::size_t>(slots[static_cast<std::size_t>(i)])].tile;
            placeChoice(c, *pic, t, op1->left() + (i % 2) * w, op0->top() - (i / 2) * h * ChoiceScale);
        }
    }
    restartCountdown(c);
}

void showGangChoices(link::Client& c) {
    ClaimsState& cl = c.claims;
    const auto found = findKongCandidates(own(c), cl.opOptions, c.table.lastTileCode, specialTilesOf(c.table), false);
    cl.gangChoiceCount = static_cast<int>(found.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        cl.gangChoiceSlots[i] = found[i].slot;
        cl.gangChoiceKinds[i] = static_cast<int>(found[i].kind);
    }
    if (cl.actionState == 3) {
        if (!found.empty()) (void)performKong(c, found.front());
        return;
    }
    if (found.size() == 1) {
        hideButton(c, 2);
        // One claim, of the candidate's own kind, whatever bits were offered.
        if (performKong(c, found.front())) {
            playKongVoice(c);
            return;
        }
    }
    for (int b : {0, 1, 3, 4}) hideButton(c, b);
    ui::Control* op0 = find(c, "Operation", 0);
    ui::Control* op3 = find(c, "Operation", 3);
    if (found.size() > 1 && op0 && op3) {
        const double h = c.table.tileH[0] * ChoiceScale;
        for (int i = 0; i < static_cast<int>(found.size()) && i < GangPictures; ++i) {
            ui::Control* pic = find(c, "Gang", i);
            if (!pic) continue;
            const int t = own(c).slots[static_cast<std::size_t>(found[static_cast<std::size_t>(i)].slot)].tile;
            placeChoice(c, *pic, t, op3->left(), op0->top() - i * h * ChoiceScale);
        }
    }
    c.link.countdownSeconds = c.link.countdownStart / 2;
    restartCountdown(c);
}

void showZhahu(link::Client& c) {
    ui::Form& z = c.frmZhahu;
    const ui::Form& main = c.mainForm;
    z.move(main.left() + (main.width() - z.width()) / 2, main.top() + (main.height() - z.height()) / 2);
    z.setTopmost(true);
    z.setVisible(true);
    c.claims.zhahuShown = true;
}

void operationClick(link::Client& c, int b) {
    ClaimsState& cl = c.claims;
    if (b < 0 || b > 4) return;
    if (!c.link.loggedIn || cl.opOffered[static_cast<std::size_t>(b)] <= 1 || cl.actionState > 0) return;
    // A win that lacks fan would be refused: say so and leave the offer open,
    // with the other buttons and the countdown.
    if (b == 3 && cl.huState >= 2) {
        showZhahu(c);
        return;
    }
    cl.actionState = 2;
    if (ui::Control* x = find(c, "Operation", b)) {
        (void)table::loadPicture(c, c.link.pictures.operationPic[static_cast<std::size_t>(3 * b)], *x);
        x->setEnabled(false);
    }
    if (b <= 3) stopCountdown(c, false);
    setOwnTileSize(c, 48, 78);
    c.link.timeoutCount = 0;
    switch (b) {
    case 0:
        cl.opOffered.fill(0);
        hideZhahu(c);
        c.table.canDiscard = false;
        for (int i = 1; i <= 4; ++i) hideButton(c, i);
        playOwnClaimVoice(c, OpChi);
        showChiChoices(c, c.table.lastTileCode);
        break;
    case 1:
        cl.opOffered.fill(0);
        hideZhahu(c);
        c.table.canDiscard = false;
        hideClaimButtons(c);
        playOwnClaimVoice(c, OpPeng);
        // Without the pair there is nothing to claim: the offer is passed.
        if (!sendPeng(c, c.table.lastTileCode)) sendPass(c);
        break;
    case 2:
        cl.opOffered.fill(0);
        hideZhahu(c);
        c.table.canDiscard = false;
        for (int i : {0, 1, 3, 4}) hideButton(c, i);
        if (cl.opOptions & OpAnGang) table::sortAndDrawHand(c, 0, own(c).concealedCount);
        showGangChoices(c);
        break;
    case 3:
        c.table.canDiscard = false;
        cl.huState = 1;
        cl.opOffered.fill(0);
        sendHu(c);
        playOwnClaimVoice(c, OpHu);
        hideClaimButtons(c);
        resetClaimButtons(c);
        cl.huState = 0;
        return;
    case 4:
        hideClaimButtons(c);
        hideZhahu(c);
        if (!discardDue(own(c))) stopCountdown(c, true);
        sendPass(c);
        break;
    }
    resetClaimButtons(c);
    cl.actionState = 1;
}

void chiClick(link::Client& c, int index) {
    if (!c.link.loggedIn || c.claims.actionState == 3 || index < 0 || index >= ChiPictures) return;
    stopCountdown(c, true);
    auto& slots = c.claims.chiChoiceSlots;
    const std::size_t k = static_cast<std::size_t>(index / 2);
    slots[0] = slots[2 * k];
    slots[1] = slots[2 * k + 1];
    for (int i = 0; i < ChiPictures; ++i) setVisibleEnabled(find(c, "Chi", i), false);
    hideButton(c, 0);
    // A pair that no longer fits the hand sends nothing; the countdown's end answers.
    if (!sendChi(c, slots[0], slots[1])) restartCountdown(c);
}

void gangClick(link::Client& c, int index) {
    ClaimsState& cl = c.claims;
    if (cl.actionState == 3 || !c.link.loggedIn || index < 0 || index >= cl.gangChoiceCount) return;
    stopCountdown(c, true);
    for (int i = 0; i < GangPictures; ++i) setVisibleEnabled(find(c, "Gang", i), false);
    hideClaimButtons(c);
    const std::size_t i = static_cast<std::size_t>(index);
    // The candidate is performed by the kind the search found it as.
    if (performKong(c, {cl.gangChoiceSlots[i], static_cast<KongKind>(cl.gangChoiceKinds[i])})) {
        playKongVoice(c);
    } else {
        restartCountdown(c);
    }
}

void installClaimChoices(link::Client& c) {
    ui::PictureBox& pic = *c.pic1;
    if (!pic.find("Gang", 5) && pic.find("Gang", 0)) pic.loadElement("Gang", 5);
    ui::Form& z = c.frmZhahu;
    if (!z.find("Label1")) {
        constexpr double Twips = 15;
        z.move(0, 0, 348 * Twips, 63 * Twips);
        z.setBackColor({0xf8, 0xf0, 0xd8});
        auto& text = z.add<ui::Label>("Label1", -1);
        text.setCaption("当前番数不够！不能胡牌！");
        text.setFont({"楷体_GB2312", 9.0, false});
        text.setTransparentBack(true);
        text.move(76 * Twips, 24 * Twips, 204 * Twips, 16 * Twips);
        auto& close = z.add<ui::Image>("Image1", -1);
        close.move(332 * Twips, 0, 16 * Twips, 16 * Twips);
        auto hideNotice = [&c] {
            c.frmZhahu.setVisible(false);
            c.claims.zhahuShown = false;
        };
        z.onClick = hideNotice;
        close.onClick = hideNotice;
    }
    for (int i = 0; i < 5; ++i) {
        if (ui::Control* b = pic.find("Operation", i)) b->onClick = [&c, i] { operationClick(c, i); };
    }
    for (int i = 0; i < ChiPictures; ++i) {
        if (ui::Control* x = pic.find("Chi", i)) x->onClick = [&c, i] { chiClick(c, i); };
    }
    for (int i = 0; i < GangPictures; ++i) {
        if (ui::Control* x = pic.find("Gang", i)) x->onClick = [&c, i] { gangClick(c, i); };
    }
}

}  // namespace mj::claims
