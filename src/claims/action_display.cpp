// action_display.cpp: the claim display on the player table.
#include "claims/action_display.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "claims/claim_logic.h"
#include "claims/own_melds.h"
#include "link/client.h"
#include "link/picture_resources.h"
#include "link/sound_playback.h"
#include "table/tiles.h"

namespace mj::claims {

namespace {

using table::SeatRecord;
using table::TileSlot;

constexpr int LastSlot = table::SlotCount - 1;
// The bubbles of views 1, 2 and 3.
constexpr double BubbleW[3] = {111, 114, 112};
constexpr double BubbleH[3] = {112, 114, 111};

TileSlot& at(SeatRecord& r, int i) { return r.slots[static_cast<std::size_t>(i)]; }
ui::Control* tileOf(link::Client& c, SeatRecord& r, int i) { return table::tileControl(c, at(r, i).img); }

// The caption and the voice of a claim; nothing for a pass or an unknown op.
struct Feedback {
    int caption;
    ClaimOp voice;
};
std::optional<Feedback> feedbackOf(link::Client& c, int op, int tile) {
    const table::TableState& t = c.table;
    switch (op) {
    case OpChi:
        return Feedback{0, OpChi};
    case OpPeng:
        return Feedback{1, OpPeng};
    case OpMingGang:
        return Feedback{2, OpMingGang};
    case OpAnGang:
        return Feedback{3, OpAnGang};
    case OpSingleGang:
        if (t.specialMode == 2 && tile == HongZhong) return Feedback{4, OpSingleGang};
        if (t.specialMode == 3 && (tile == t.piziTile1 || tile == t.piziTile2)) return Feedback{8, OpSingleGang};
        if (tile == t.wildTile) return Feedback{5, OpSingleGang};
        return Feedback{6, OpSingleGang};
    case OpHu:
        return Feedback{7, OpHu};
    default:
        return std::nullopt;
    }
}

void showBubble(link::Client& c, int view, const Feedback& f) {
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    ui::Control* bubble = c.mainForm.find("Speak", view - 1);
    ui::Control* words = c.mainForm.find("Words");
    if (!bubble || !words) return;
    double left = 936 * sx;
    double top = 280 * sy + 50 * sy;
    if (view == 1) left = 8 * sx;
    if (view == 2) {
        if (const ui::Control* tou = c.mainForm.find("Tou", 2)) {
            left = tou->left() + 0.8 * tou->width() - 60 * sx;
            top = tou->top() + 0.8 * tou->height() + 65 * sy;
        }
    }
    bubble->move(left, top);
    words->move(left + 0.17 * bubble->width(), top + 0.24 * bubble->height());
    (void)table::loadPicture(c, c.link.pictures.captionPic[static_cast<std::size_t>(f.caption)], *words);
    bubble->setVisible(true);
    words->setVisible(true);
    bubble->bringToFront();
    words->bringToFront();
}

// Bubble, caption, knock and voice of another seat's claim. A pass shows and
// plays nothing (a knock cut off by an empty voice is silence either way).
void otherSeatFeedback(link::Client& c, int view, int op, int tile) {
    const auto f = feedbackOf(c, op, tile);
    if (f) {
        showBubble(c, view, *f);
        auto& sound = c.link.sound;
        if (sound.soundOn) {
            link::playWave(sound, c.p.sound, sound.soundFile[2], false);
            const auto voice =
                c.playerVoice ? link::claimVoiceFile(sound, c.playerVoice(c, view), f->voice) : std::nullopt;
            link::playWave(sound, c.p.sound, voice.value_or(""), false);
            link::setWaveVolume(sound, c.p.sound, 3000);
        }
    }
    c.link.bubbleTask.on = true;
    c.link.bubbleTask.ticks = 0;
    c.claims.speakIndex = view - 1;
    for (int i = 1; i <= 3; ++i) {
        if (i == view) continue;
        if (ui::Control* b = c.mainForm.find("Speak", i - 1)) b->setVisible(false);
    }
}

// The slots an own confirmation is laid from: those the sender filled for
// this claim, or, for a confirmation this client did not send, found afresh.
std::optional<std::array<int, 2>> ownMeldSlots(link::Client& c, int op, const std::array<int, 3>& tiles) {
    ClaimsState& cl = c.claims;
    const PendingClaim p = std::exchange(cl.pending, PendingClaim{});
    auto sorted = [](std::array<int, 3> t) {
        std::sort(t.begin(), t.end());
        return t;
    };
    if (p.op == op && sorted(p.tiles) == sorted(tiles)) return std::array{p.slotA, p.slotB};
    c.log("own claim " + std::to_string(op) + " confirmed without a matching claim sent; meld found in the hand");
    return rebuildOwnMeld(c.table.custom[0], op, tiles, c.table.lastTileCode, c.table.curTileImg);
}

void ownMeld(link::Client& c, int op, const std::array<int, 3>& tiles) {
    SeatRecord& r = c.table.custom[0];
    const auto slots = ownMeldSlots(c, op, tiles);
    if (!slots) {
        c.log("own claim " + std::to_string(op) + " not in the hand; not laid");
        return;
    }
    if (op == OpChi || op == OpPeng) {
        c.claims.chiChoiceSlots[0] = (*slots)[0];
        c.claims.chiChoiceSlots[1] = (*slots)[1];
        const bool laid = op == OpChi ? layOwnChi(c, (*slots)[0], (*slots)[1], tiles) : layOwnPeng(c, tiles);
        if (!laid) return;
        r.concealedCount -= 2;
        r.firstConcealed += 3;
        r.meldEnd += 3;
        return;
    }
    c.claims.gangChoiceSlots[0] = (*slots)[0];
    const int j = r.meldEnd;
    for (int s = j - 2; s <= j; ++s) {
        if (ui::Control* t = tileOf(c, r, s)) {
            t->setHeight(c.table.tileH[0]);
            t->setWidth(c.table.tileW[0]);
        }
    }
    const bool laid = op == OpMingGang ? layOwnMingGang(c, (*slots)[0], tiles) : layOwnAnGang(c, (*slots)[0], tiles);
    if (!laid) return;
    r.concealedCount -= op == OpAnGang ? 4 : 3;
    r.firstConcealed += 3;
    r.meldEnd += 3;
}

// Where another seat's meld tile in slot s stands.
void placeMeldTile(link::Client& c, int view, ui::Control& t, int s) {
    const SeatRecord& r = c.table.custom[static_cast<std::size_t>(view)];
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    const double tw = c.table.tileW[static_cast<std::size_t>(view)];
    const double th = c.table.tileH[static_cast<std::size_t>(view)];
    if (view == 1) {
        t.move(r.handX - 5 * sx * s, r.handY + s * (th - 17 * sy), tw, th);
        t.bringToFront();
    } else if (view == 2) {
        t.move(r.handX - s * tw, r.handY, tw, th);
    } else {
        t.move(r.handX - 5 * sx * s - 10 * sx, r.handY - s * (th - 17 * sy), tw, th);
        t.sendToBack();
    }
}

// Another seat's 吃 or 碰: the first two images of its row and the claimed
// discard become the meld; the row's third image goes to the row's end.
void otherChiPeng(link::Client& c, int view, int op, const std::array<int, 3>& tiles) {
    SeatRecord& r = c.table.custom[static_cast<std::size_t>(view)];
    const int me = r.meldEnd;
    const int fc = r.firstConcealed;
    const int cc = r.concealedCount;
    if (cc < 3 || me < 2 || me > fc || fc + cc > LastSlot) {
        c.log("claim of view " + std::to_string(view) + " does not fit its row; not shown");
        return;
    }
    at(r, me - 2) = at(r, fc);
    at(r, me - 1) = at(r, fc + 1);
    at(r, me).img = c.table.curTileImg;
    // Both melds keep their kind and tiles, so later searches see them.
    for (int k = 0; k < 3; ++k) {
        at(r, me - 2 + k).state = op == OpPeng ? table::SlotPeng : table::SlotChi;
        at(r, me - 2 + k).tile = tiles[static_cast<std::size_t>(k)];
    }
    at(r, fc + cc) = at(r, fc + 2);
    r.concealedCount -= 2;
    r.firstConcealed += 3;
    for (int k = 0; k < 3; ++k) {
        const int s = me - 2 + k;
        table::setTileImage(c, at(r, s).img, table::tilePicture(view, tiles[static_cast<std::size_t>(k)]));
        if (ui::Control* t = tileOf(c, r, s)) placeMeldTile(c, view, *t, s);
    }
    r.meldEnd += 3;
    const int j = r.firstConcealed + r.concealedCount - 1;
    ui::Control* moved = tileOf(c, r, j);
    const ui::Control* before = tileOf(c, r, j - 1);
    if (!moved) return;
    const double sx = c.link.scaleX;
    const double tw = c.table.tileW[static_cast<std::size_t>(view)];
    if (view == 2) {
        moved->setLeft(r.handX - (j + 1.2) * tw);
    } else if (before) {
        const double dy = tw * 1.3 * 0.5;
        moved->move(before->left() - 5 * sx, before->top() + (view == 1 ? dy : -dy));
    }
}

// Another seat's 明杠 or 暗杠.
void otherKong(link::Client& c, int view, int op, const std::array<int, 3>& tiles) {
    table::TableState& t = c.table;
    SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    const int me = r.meldEnd;
    const int fc = r.firstConcealed;
    const int cc = r.concealedCount;
    if (cc < (op == OpAnGang ? 4 : 3) || me < 2 || me > fc || fc + cc > table::SlotCount) {
        c.log("kong of view " + std::to_string(view) + " does not fit its row; not shown");
        return;
    }
    at(r, me) = at(r, fc);
    at(r, me - 1) = at(r, fc + 1);
    at(r, me - 2) = at(r, fc + 2);
    if (op == OpAnGang) {
        t.curTileImg = at(r, fc + cc - 1).img;
        if (t.anGangCount < static_cast<int>(t.anGangImg.size())) {
            const std::size_t n = static_cast<std::size_t>(t.anGangCount++);
            t.anGangImg[n] = t.curTileImg;
            t.anGangTile[n] = tiles[2];
            t.anGangView[n] = view;
        }
    }
    ui::Control* fourth = table::tileControl(c, t.curTileImg);
    if (fourth) fourth->bringToFront();
    r.concealedCount -= 3;
    r.firstConcealed += 3;
    const double tw = t.tileW[static_cast<std::size_t>(view)];
    const double th = t.tileH[static_cast<std::size_t>(view)];
    for (int s = me - 2; s <= me; ++s) {
        if (ui::Control* x = tileOf(c, r, s)) {
            x->setHeight(th);
            x->setWidth(tw);
        }
    }
    if (fourth) {
        fourth->setHeight(th);
        fourth->setWidth(tw);
    }
    const int back = table::lyingBack(view);
    for (int k = 0; k < 3; ++k) {
        const int s = me - 2 + k;
        if (ui::Control* x = tileOf(c, r, s)) placeMeldTile(c, view, *x, s);
        table::setTileImage(c, at(r, s).img,
                            op == OpMingGang ? table::tilePicture(view, tiles[static_cast<std::size_t>(k)]) : back);
    }
    const double sy = c.link.scaleY;
    if (fourth) {
        if (view == 2) {
            fourth->move(r.handX - (me - 1) * static_cast<int>(tw), r.handY - 18 * sy);
        } else if (const ui::Control* middle = tileOf(c, r, me - 1)) {
            fourth->move(middle->left(), middle->top() - 18 * sy);
            fourth->bringToFront();
        }
        table::setTileImage(c, t.curTileImg, op == OpMingGang ? table::tilePicture(view, tiles[2]) : back);
    }
    if (op == OpAnGang) r.concealedCount -= 1;
    r.meldEnd += 3;
}

// Keeps the side seats' rows in their drawing order after any action.
void restackSideRow(link::Client& c, int view) {
    if (view != 1 && view != 3) return;
    SeatRecord& r = c.table.custom[static_cast<std::size_t>(view)];
    for (int i = std::max(r.firstConcealed, 0); i < concealedEnd(r); ++i) {
        if (ui::Control* t = tileOf(c, r, i)) {
            if (view == 1)
                t->bringToFront();
            else
                t->sendToBack();
        }
    }
    ui::Control* bubble = c.mainForm.find("Speak", view - 1);
    if (bubble && bubble->visible()) {
        bubble->bringToFront();
        if (ui::Control* words = c.mainForm.find("Words")) words->bringToFront();
    }
}

// The single kong's and the win's bookkeeping that the row needs; their
// stacks and marks are shown elsewhere.
void singleKong(link::Client& c, int view, const std::array<int, 3>& tiles) {
    table::TableState& t = c.table;
    t.drawFromHead = false;
    t.afterGang = true;
    SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    if (view == 0) {
        const auto slots = ownMeldSlots(c, OpSingleGang, tiles);
        if (!slots || !layOwnSingleGang(c, (*slots)[0])) {
            c.log("own single kong not in the hand; not laid");
            return;
        }
        c.claims.gangChoiceSlots[0] = (*slots)[0];
        r.concealedCount -= 1;
        return;
    }
    if (r.concealedCount < 1 || r.meldEnd < 2 || concealedEnd(r) < 1) return;
    at(r, r.meldEnd - 2) = at(r, concealedEnd(r) - 1);
    if (ui::Control* x = tileOf(c, r, r.meldEnd - 2)) x->setVisible(false);
    t.curTileImg = at(r, r.meldEnd - 2).img;
    t.lastTileCode = tiles[2];
    r.concealedCount -= 1;
}

}  // namespace

void showAction(link::Client& c, int op, int seatBit, const std::array<int, 3>& tiles) {
    table::setTileSizes(c.table, table::TileSizeSet::Action, c.link.scaleX, c.link.scaleY);
    if (!isValidSeatBit(seatBit)) {
        c.log("action with seat " + std::to_string(seatBit) + " dropped");
        return;
    }
    const int view = table::viewPos(c.table.custom[0].seat, static_cast<SeatBit>(seatBit));
    ++c.dispatch.actionCount;
    if (view != 0) otherSeatFeedback(c, view, op, tiles[2]);
    switch (op) {
    case OpChi:
    case OpPeng:
        c.claims.viewOpened[static_cast<std::size_t>(view)] = true;
        if (view == 0)
            ownMeld(c, op, tiles);
        else
            otherChiPeng(c, view, op, tiles);
        break;
    case OpMingGang:
    case OpAnGang:
        c.table.drawFromHead = false;
        c.table.afterGang = true;
        if (op == OpMingGang) c.claims.viewOpened[static_cast<std::size_t>(view)] = true;
        if (view == 0)
            ownMeld(c, op, tiles);
        else
            otherKong(c, view, op, tiles);
        break;
    case OpSingleGang:
        singleKong(c, view, tiles);
        break;
    case OpHu:
        // Only the first winner counts: the reveal lays the winning discard
        // after that seat's hand.
        if (c.table.winnerView < 0) c.table.winnerView = view;
        break;
    default:
        break;
    }
    restackSideRow(c, view);
}

void installActionDisplay(link::Client& c) {
    ui::PictureBox& pic = *c.pic1;
    for (int i = 0; i < 3; ++i) {
        if (pic.find("Speak", i)) continue;
        auto& bubble = pic.add<ui::Image>("Speak", i);
        bubble.setStretch(true);
        bubble.move(0, 0, BubbleW[i], BubbleH[i]);
        bubble.setVisible(false);
        (void)table::loadPicture(c, static_cast<int>(link::DesignPicture::SpeakBubble), bubble);
    }
    if (!pic.find("Words")) {
        auto& words = pic.add<ui::Image>("Words", -1);
        words.setVisible(false);
    }
}

}  // namespace mj::claims
