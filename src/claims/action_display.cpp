// action_display.cpp: the claim display on the player table.
#include "claims/action_display.h"

#include <algorithm>
#include <optional>
#include <string>
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
// The watching table names a 红中 laid alone by its tile, whatever the room
// kind; the player table only in the 红中 room.
std::optional<Feedback> feedbackOf(link::Client& c, int op, int tile, bool sideTable) {
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
        if ((sideTable || t.specialMode == 2) && tile == HongZhong) return Feedback{4, OpSingleGang};
        if (t.specialMode == 3 && (tile == t.piziTile1 || tile == t.piziTile2)) return Feedback{8, OpSingleGang};
        if (tile == t.wildTile) return Feedback{5, OpSingleGang};
        return Feedback{6, OpSingleGang};
    case OpHu:
        return Feedback{7, OpHu};
    default:
        return std::nullopt;
    }
}

// A caption of -1 leaves `Words` with the picture it had.
void showBubble(link::Client& c, int view, int caption, bool sideTable) {
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
            left = tou->left() + 0.8 * tou->width() - (sideTable ? 0 : 60 * sx);
            top = tou->top() + 0.8 * tou->height() + (sideTable ? 0 : 65 * sy);
        }
    }
    bubble->move(left, top);
    words->move(left + 0.17 * bubble->width(), top + 0.24 * bubble->height());
    if (caption >= 0)
        (void)table::loadPicture(c, c.link.pictures.captionPic[static_cast<std::size_t>(caption)], *words);
    bubble->setVisible(true);
    words->setVisible(true);
    bubble->bringToFront();
    words->bringToFront();
}

// Bubble, caption, knock and voice of another seat's claim. A pass shows and
// plays nothing (a knock cut off by an empty voice is silence either way).
// The watching table has no knock; both hide the bubble by the tick's bubble
// task, so no claim holds the one thread still.
void otherSeatFeedback(link::Client& c, int view, int op, int tile, bool sideTable = false) {
    const auto f = feedbackOf(c, op, tile, sideTable);
    if (!f && sideTable && op > OpPass) {
        // The watching table answers an action it does not know with the
        // bubble alone: no caption of its own, no voice.
        showBubble(c, view, -1, sideTable);
    } else if (f) {
        showBubble(c, view, f->caption, sideTable);
        auto& sound = c.link.sound;
        if (sound.soundOn) {
            if (!sideTable) link::playWave(sound, c.p.sound, sound.soundFile[2], false);
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

// The slots of a 吃 or 碰 laid from a row: the first two images of the row
// and the claimed discard become the meld, keeping its kind and tiles so
// later searches see them; the row's third image goes to the row's end.
// False, with a log line, when the row cannot hold it.
bool chiPengSlots(link::Client& c, int view, int op, const std::array<int, 3>& tiles) {
    SeatRecord& r = c.table.custom[static_cast<std::size_t>(view)];
    const int me = r.meldEnd;
    const int fc = r.firstConcealed;
    const int cc = r.concealedCount;
    if (cc < 3 || me < 2 || me > fc || fc + cc > LastSlot) {
        c.log("claim of view " + std::to_string(view) + " does not fit its row; not shown");
        return false;
    }
    at(r, me - 2) = at(r, fc);
    at(r, me - 1) = at(r, fc + 1);
    at(r, me).img = c.table.curTileImg;
    for (int k = 0; k < 3; ++k) {
        at(r, me - 2 + k).state = op == OpPeng ? table::SlotPeng : table::SlotChi;
        at(r, me - 2 + k).tile = tiles[static_cast<std::size_t>(k)];
    }
    at(r, fc + cc) = at(r, fc + 2);
    r.concealedCount -= 2;
    r.firstConcealed += 3;
    return true;
}

// Another seat's 吃 or 碰 on the player table.
void otherChiPeng(link::Client& c, int view, int op, const std::array<int, 3>& tiles) {
    SeatRecord& r = c.table.custom[static_cast<std::size_t>(view)];
    const int me = r.meldEnd;
    if (!chiPengSlots(c, view, op, tiles)) return;
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
// The three slots of a kong laid from a row, keeping its kind and tile like
// the other melds; a concealed kong's fourth image becomes the tile in play.
// False, with a log line, when the row cannot hold it.
bool kongSlots(link::Client& c, int view, int op, const std::array<int, 3>& tiles) {
    table::TableState& t = c.table;
    SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    const int me = r.meldEnd;
    const int fc = r.firstConcealed;
    const int cc = r.concealedCount;
    if (cc < (op == OpAnGang ? 4 : 3) || me < 2 || me > fc || fc + cc > table::SlotCount) {
        c.log("kong of view " + std::to_string(view) + " does not fit its row; not shown");
        return false;
    }
    at(r, me) = at(r, fc);
    at(r, me - 1) = at(r, fc + 1);
    at(r, me - 2) = at(r, fc + 2);
    for (int s = me - 2; s <= me; ++s) {
        at(r, s).state = op == OpMingGang ? table::SlotMingGang : table::SlotAnGang;
        at(r, s).tile = tiles[2];
    }
    if (op == OpAnGang) t.curTileImg = at(r, fc + cc - 1).img;
    return true;
}

void otherKong(link::Client& c, int view, int op, const std::array<int, 3>& tiles, bool noteReveal = true) {
    table::TableState& t = c.table;
    SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    const int me = r.meldEnd;
    if (!kongSlots(c, view, op, tiles)) return;
    if (op == OpAnGang) {
        if (noteReveal && t.anGangCount < static_cast<int>(t.anGangImg.size())) {
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

// The kinds of single kong, in the order the classification tests them.
enum class SingleKind { HongZhong, Pizi2, Pizi1, Bao, Kai };

SingleKind classify(const table::TableState& t, int tile) {
    if (t.specialMode == 2 && tile == HongZhong) return SingleKind::HongZhong;
    if (t.specialMode == 3 && tile == t.piziTile2) return SingleKind::Pizi2;
    if (t.specialMode == 3 && tile == t.piziTile1) return SingleKind::Pizi1;
    if (tile == t.wildTile) return SingleKind::Bao;
    return SingleKind::Kai;
}

// The watching table stacks a 红中 laid alone in any room kind, as its
// restore does.
SingleKind classifySide(const table::TableState& t, int tile) {
    return tile == HongZhong ? SingleKind::HongZhong : classify(t, tile);
}

// The seat's counter of that kind and the first column of its group.
std::pair<int*, int> stackOf(const table::TableState& t, SeatRecord& r, SingleKind kind) {
    switch (kind) {
    case SingleKind::HongZhong:
        return {&r.hongZhongGangs, 0};
    case SingleKind::Pizi1:
        return {&r.pizi1Gangs, 0};
    case SingleKind::Bao:
        return {&r.baoGangs, 4};
    case SingleKind::Pizi2:
        return {&r.pizi2Gangs, 8};
    case SingleKind::Kai:
        break;
    }
    (void)t;
    return {nullptr, 0};
}

// Where the n-th tile of a stack stands, beside the seat's hand.
std::pair<double, double> stackPlace(link::Client& c, int view, SingleKind kind, int n) {
    const table::TableState& t = c.table;
    const SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    const double tw = t.tileW[static_cast<std::size_t>(view)];
    const double th = t.tileH[static_cast<std::size_t>(view)];
    const double up = 18.0 * n * sy;
    const bool bao = kind == SingleKind::Bao;
    const bool second = kind == SingleKind::Pizi2;
    switch (view) {
    case 0: {
        const double left = bao ? r.handX + (tw - 5 * sx) : second ? r.handX - (tw - 5 * sx) : r.handX;
        return {left, r.handY - up + th / 4};
    }
    case 1: {
        const double left = bao ? r.handX - 5 * sx : second ? r.handX + 0.84 * tw : r.handX;
        return {left, bao ? r.handY + (th - 17 * sy) - up : r.handY - up};
    }
    case 2: {
        const int w = static_cast<int>(tw);
        const double left = bao ? r.handX - w : second ? r.handX + w : r.handX;
        return {left, r.handY - up};
    }
    default: {
        const double left = bao      ? r.handX - 5 * sx - 10 * sx
                            : second ? r.handX - 10 * sx - 0.84 * tw
                                     : r.handX - 10 * sx;
        return {left, bao ? r.handY - (th - 17 * sy) - up : r.handY - up};
    }
    }
}

// The middle slot of the seat's 碰 of `tile`, or nothing.
std::optional<int> pengMiddle(SeatRecord& r, int view, int tile) {
    for (int i = view == 0 ? 1 : 2; i <= r.meldEnd - 5 && i + 1 <= LastSlot; i += 3) {
        if ((at(r, i).tile & 0xFF) == tile && at(r, i).state == table::SlotPeng) return i + 1;
    }
    return std::nullopt;
}

// Where the fourth tile of a 开杠 lies, on the 碰's middle tile j.
std::pair<double, double> kaiPlace(link::Client& c, int view, SeatRecord& r, int j, const ui::Control* middle) {
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    const double tw = c.table.tileW[static_cast<std::size_t>(view)];
    const double th = c.table.tileH[static_cast<std::size_t>(view)];
    const double middleLeft = middle ? middle->left() : r.handX;
    switch (view) {
    case 0:
        return {middleLeft, r.handY - 18 * sy + th / 4};
    case 1:
        return {r.handX - 5 * sx * j, r.handY + j * (th - 17 * sy) - 17 * sy};
    case 2:
        return {r.handX - j * tw, r.handY - 18 * sy};
    default:
        return {middleLeft, r.handY - j * (th - 17 * sy) - 17 * sy};
    }
}

// One seat's single-kong stack pictures, raised or lowered by stack index.
struct KongStacks {
    link::Client& c;
    int view;
    [[nodiscard]] ui::Control* picture(int k) const {
        const auto& col = c.table.singleGangImg[static_cast<std::size_t>(view)];
        return table::tileControl(c, col[static_cast<std::size_t>(k)]);
    }
    void raise(int k) const {
        if (ui::Control* x = picture(k)) x->bringToFront();
    }
    void lower(int k) const {
        if (ui::Control* x = picture(k)) x->sendToBack();
    }
};

// Keeps the side seats' kong stacks drawn in the order they overlap.
void restackSingleKongs(link::Client& c, int view) {
    const table::TableState& t = c.table;
    const SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    const KongStacks stacks{c, view};
    if (view == 1) {
        if (t.specialMode == 2) {
            if (r.slots[1].img > -1) {
                if (ui::Control* x = table::tileControl(c, r.slots[1].img)) x->sendToBack();
            }
            for (int k = 1; k < r.baoGangs; ++k) stacks.raise(k + 4);
            if (r.slots[0].img > -1) {
                for (int k = 0; k < r.hongZhongGangs; ++k) stacks.lower(k);
                for (int k = r.baoGangs; k < r.hongZhongGangs; ++k) stacks.raise(k);
            }
        } else if (t.specialMode == 3) {
            if (r.pizi1Gangs > 0) {
                stacks.lower(0);
                for (int k = 1; k < r.pizi1Gangs; ++k) stacks.raise(k);
            }
            for (int k = 0; k < r.pizi2Gangs; ++k) stacks.raise(k + 8);
            if (r.baoGangs > 0) {
                for (int k = 0; k < r.baoGangs; ++k) stacks.raise(k + 4);
                if (r.meldEnd >= 6) {
                    stacks.lower(4);
                    if (r.pizi1Gangs > 0) stacks.lower(0);
                }
            }
        }
    } else if (view == 3) {
        for (int k = 0; k < r.baoGangs; ++k) stacks.raise(k + 4);
        if (t.specialMode == 2) {
            for (int k = 0; k < r.hongZhongGangs; ++k) stacks.raise(k);
        } else if (t.specialMode == 3) {
            for (int k = 0; k < r.pizi1Gangs; ++k) stacks.raise(k);
            for (int k = 0; k < r.pizi2Gangs; ++k) stacks.raise(k + 8);
        }
    }
}

// The own seat's kong tile leaves the hand even when the table cannot show
// where it went: the row closes over it and the tile is hidden, so the count
// still makes the next draw's discard due.
void dropOwnKongTile(link::Client& c, int slot) {
    SeatRecord& r = c.table.custom[0];
    const int work = r.meldEnd - 2;
    if (slot < r.firstConcealed || slot >= concealedEnd(r) || slot > LastSlot) return;
    at(r, work) = at(r, slot);
    if (!layOwnSingleGang(c, slot)) return;
    if (ui::Control* x = tileOf(c, r, work)) x->setVisible(false);
    r.concealedCount -= 1;
}

// The watching table's side stacks overlap the same way whatever the room
// kind, since its 红中 stacks exist in every kind; the 痞子 stacks of the 痞子
// room come on top.
void sideRestackSingleKongs(link::Client& c, int view) {
    const table::TableState& t = c.table;
    const SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    const KongStacks stacks{c, view};
    if (view == 1) {
        if (r.slots[1].img > -1) {
            if (ui::Control* x = table::tileControl(c, r.slots[1].img)) x->sendToBack();
        }
        for (int k = 1; k < r.baoGangs; ++k) stacks.raise(k + 4);
        if (r.slots[0].img > -1) {
            for (int k = 0; k < r.hongZhongGangs; ++k) stacks.lower(k);
            for (int k = r.baoGangs; k < r.hongZhongGangs; ++k) stacks.raise(k);
        }
    } else if (view == 3) {
        for (int k = 0; k < r.baoGangs; ++k) stacks.raise(k + 4);
        for (int k = 0; k < r.hongZhongGangs; ++k) stacks.raise(k);
    } else {
        return;
    }
    if (t.specialMode != 3) return;
    for (int k = 0; k < r.pizi1Gangs; ++k) stacks.raise(k);
    for (int k = 0; k < r.pizi2Gangs; ++k) stacks.raise(k + 8);
}

// A single-tile kong: the tile goes onto its kind's stack beside the hand, or
// for a 开杠 onto the seat's own 碰. Everything is checked before anything
// moves, so a kong the table cannot hold leaves the row as it was.
void singleKong(link::Client& c, int view, const std::array<int, 3>& tiles) {
    table::TableState& t = c.table;
    // The replacement tile comes from the back whatever the table makes of
    // the kong: the wall must stay in step with the server's.
    t.drawFromHead = false;
    t.afterGang = true;
    SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    const int tile = tiles[2] & 0xFF;
    const int work = r.meldEnd - 2;
    const SingleKind kind = classify(t, tile);
    const auto [counter, firstColumn] = stackOf(t, r, kind);
    const int middle = kind == SingleKind::Kai ? pengMiddle(r, view, tile).value_or(-1) : -1;
    const std::string who = "single kong of view " + std::to_string(view);
    if (work < 0 || work > LastSlot) {
        c.log(who + ": no meld slot to work in; not shown");
        return;
    }
    std::optional<std::array<int, 2>> own;
    if (view == 0) {
        own = ownMeldSlots(c, OpSingleGang, tiles);
        if (!own || (*own)[0] < r.firstConcealed || (*own)[0] >= concealedEnd(r) || (*own)[0] > LastSlot) {
            c.log("own single kong not in the hand; the last tile leaves it");
            dropOwnKongTile(c, concealedEnd(r) - 1);
            return;
        }
    } else if (r.concealedCount < 1 || concealedEnd(r) - 1 <= work) {
        c.log(who + ": no concealed tile to lay; not shown");
        return;
    }
    const bool fifth = counter && *counter >= 4;
    if (fifth || (kind == SingleKind::Kai && middle < 0)) {
        c.log(who + (fifth ? ": a fifth of its kind; not shown" : ": no 碰 of that tile; not shown"));
        if (view == 0) dropOwnKongTile(c, (*own)[0]);
        return;
    }
    if (view == 0) {
        // The tile laid is the one found in the hand, whatever the working
        // slot held before.
        at(r, work) = at(r, (*own)[0]);
    } else {
        at(r, work) = at(r, concealedEnd(r) - 1);
        if (ui::Control* x = tileOf(c, r, work)) x->setVisible(false);
        t.curTileImg = at(r, work).img;
        t.lastTileCode = tile;
        r.concealedCount -= 1;
    }
    if (ui::Control* x = tileOf(c, r, work)) {
        x->bringToFront();
        x->setHeight(t.tileH[static_cast<std::size_t>(view)]);
        x->setWidth(t.tileW[static_cast<std::size_t>(view)]);
    }
    if (t.specialMode == 2 && tile == HongZhong && r.hongZhongGangs == 0) at(r, 0) = at(r, work);
    if (view == 0) {
        if (!layOwnSingleGang(c, (*own)[0])) {
            c.log("own single kong not in the hand; not laid");
            return;
        }
        c.claims.gangChoiceSlots[0] = (*own)[0];
        r.concealedCount -= 1;
    }

    const int img = at(r, work).img;
    ui::Control* x = table::tileControl(c, img);
    if (kind == SingleKind::Kai) {
        const auto [left, top] = kaiPlace(c, view, r, middle, tileOf(c, r, middle));
        if (x) x->move(left, top);
        table::setTileImage(c, img, table::tilePicture(view, tile));
    } else {
        const int n = *counter;
        const auto [left, top] = stackPlace(c, view, kind, n);
        if (x) x->move(left, top);
        t.singleGangImg[static_cast<std::size_t>(view)][static_cast<std::size_t>(firstColumn + n)] = img;
        *counter += 1;
        table::setTileImage(c, img, table::tilePicture(view, tile));
        if (x && view == 1) x->sendToBack();
        if (x && view == 3) x->bringToFront();
    }
    if (x && view != 0) x->setVisible(true);
    restackSingleKongs(c, view);
}

// The hand's first 胡: the winner's name turns red on the settlement board,
// and an own win on a discard lays that discard at the end of the hand.
void firstWin(link::Client& c, int view, bool layOwnDiscard = true) {
    table::TableState& t = c.table;
    if (t.winnerView >= 0) return;
    if (c.results.score) {
        for (int i = 0; i < 4; ++i) {
            if (ui::Control* id = c.results.score->find("ID", i)) id->setForeColor({0, 255, 0});
        }
    }
    t.winnerView = view;
    if (c.results.score) {
        if (ui::Control* id = c.results.score->find("ID", view)) id->setForeColor({255, 0, 0});
    }
    if (view != 0 || !layOwnDiscard) return;
    table::setTileSize(t, 0, table::TileSizeSet::Standing, c.link.scaleX, c.link.scaleY);
    SeatRecord& r = t.custom[0];
    if ((r.concealedCount - 2) % 3 == 0) return;
    ui::Control* tile = table::tileControl(c, t.curTileImg);
    const int last = r.firstConcealed + r.concealedCount - 1;
    const ui::Control* lastTile = last >= 0 && last <= LastSlot ? tileOf(c, r, last) : nullptr;
    if (!tile || !lastTile) {
        c.log("own win: no discard or no hand to lay it by");
        return;
    }
    tile->move(lastTile->left() + t.tileW[0], r.handY, t.tileW[0], t.tileH[0]);
    table::setTileImage(c, t.curTileImg, table::tilePicture(0, t.lastTileCode));
}

// ---------------------------------------------------------------- watching table

// The watching table lays every discard into its row at once; a claimed one
// leaves the row again, once, and only when it is known which one it was
// (after a restore nothing lies in the middle).
void takeBackDiscard(link::Client& c) {
    table::TableState& t = c.table;
    const int v = t.lastDiscardView;
    if (v < 0 || v > 3 || t.curTileImg < 0) return;
    SeatRecord& r = t.custom[static_cast<std::size_t>(v)];
    r.discardX = t.lastDiscardX;
    r.discardY = t.lastDiscardY;
    if (v == 3 && t.discardImg3Count > 0) --t.discardImg3Count;
    t.lastDiscardView = 4;
}

// Where the watched seat's meld tile in slot s lies: after the two places
// of the 红中 and wild-tile stacks, which it would otherwise cover.
double watchedMeldLeft(link::Client& c, int s) {
    return c.table.custom[0].handX + (s + 1) * (c.table.tileW[0] - 2 * c.link.scaleX);
}
void placeWatchedMeldTile(link::Client& c, ui::Control& x, int s) {
    x.move(watchedMeldLeft(c, s), c.table.custom[0].handY, c.table.tileW[0], c.table.tileH[0]);
}

// A 吃 or 碰 of any seat, the watched one included: the first two images of
// the row and the claimed discard become the meld.
void sideChiPeng(link::Client& c, int view, int op, const std::array<int, 3>& tiles) {
    SeatRecord& r = c.table.custom[static_cast<std::size_t>(view)];
    const int me = r.meldEnd;
    if (!chiPengSlots(c, view, op, tiles)) return;
    takeBackDiscard(c);
    for (int k = 0; k < 3; ++k) {
        const int s = me - 2 + k;
        table::setTileImage(c, at(r, s).img, table::tilePicture(view, tiles[static_cast<std::size_t>(k)]));
        ui::Control* x = tileOf(c, r, s);
        if (!x) continue;
        if (view == 0) {
            placeWatchedMeldTile(c, *x, s);
            x->bringToFront();
        } else {
            placeMeldTile(c, view, *x, s);
        }
    }
    r.meldEnd += 3;
    // The third row tile went to the row's end; the watched seat's stays put.
    const int j = r.firstConcealed + r.concealedCount - 1;
    ui::Control* moved = view == 0 ? nullptr : tileOf(c, r, j);
    if (!moved) return;
    const double tw = c.table.tileW[static_cast<std::size_t>(view)];
    if (view == 1) moved->setTop(r.handY + j * tw);
    if (view == 2) moved->setLeft(r.handX - j * tw);
    if (view == 3) moved->setTop(r.handY - j * tw);
}

// A 明杠 or 暗杠 of any seat; the other seats' as on the player table.
void sideKong(link::Client& c, int view, int op, const std::array<int, 3>& tiles) {
    table::TableState& t = c.table;
    t.drawFromHead = false;
    if (op == OpMingGang) takeBackDiscard(c);
    if (view != 0) {
        otherKong(c, view, op, tiles, false);
        return;
    }
    SeatRecord& r = t.custom[0];
    const int me = r.meldEnd;
    if (!kongSlots(c, 0, op, tiles)) return;
    ui::Control* fourth = table::tileControl(c, t.curTileImg);
    r.concealedCount -= 3;
    r.firstConcealed += 3;
    for (int s = me - 2; s <= me; ++s) {
        if (ui::Control* x = tileOf(c, r, s)) placeWatchedMeldTile(c, *x, s);
        table::setTileImage(c, at(r, s).img, op == OpMingGang ? table::tilePicture(0, tiles[2]) : table::lyingBack(0));
    }
    if (fourth) {
        const ui::Control* middle = tileOf(c, r, me - 1);
        fourth->move(middle ? middle->left() : r.handX, r.handY - 18 * c.link.scaleY, t.tileW[0], t.tileH[0]);
        // The watched seat's concealed kong shows its fourth tile face up.
        table::setTileImage(c, t.curTileImg, table::tilePicture(0, tiles[2]));
        fourth->bringToFront();
    }
    if (op == OpAnGang) r.concealedCount -= 1;
    r.meldEnd += 3;
}

// A single-tile kong on the watching table: the seat's last row image goes
// onto its kind's stack or onto the seat's 碰; it is never hidden.
void sideSingleKong(link::Client& c, int view, const std::array<int, 3>& tiles) {
    table::TableState& t = c.table;
    SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    const int tile = tiles[2] & 0xFF;
    const int work = r.meldEnd - 2;
    const SingleKind kind = classifySide(t, tile);
    const auto [counter, firstColumn] = stackOf(t, r, kind);
    const std::string who = "watched single kong of view " + std::to_string(view);
    // The replacement tile comes from the back whatever the table shows.
    t.drawFromHead = false;
    if (work < 0 || work > LastSlot || r.concealedCount < 1 || concealedEnd(r) - 1 <= work) {
        c.log(who + ": no tile to lay; not shown");
        return;
    }
    if (counter && *counter >= 4) {
        c.log(who + ": a fifth of its kind; not shown");
        return;
    }
    at(r, work) = at(r, concealedEnd(r) - 1);
    const int img = at(r, work).img;
    ui::Control* x = table::tileControl(c, img);
    if (x) {
        x->bringToFront();
        x->setHeight(t.tileH[static_cast<std::size_t>(view)]);
        x->setWidth(t.tileW[static_cast<std::size_t>(view)]);
    }
    r.concealedCount -= 1;
    if (tile == HongZhong && r.hongZhongGangs == 0) at(r, 0) = at(r, work);
    const double sy = c.link.scaleY;
    if (kind == SingleKind::Kai) {
        const auto middle = pengMiddle(r, view, tile);
        if (!middle) {
            c.log(who + ": no 碰 of that tile");
            return;
        }
        const auto [left, top] = view == 0 ? std::pair{watchedMeldLeft(c, *middle), r.handY - 18 * sy}
                                           : kaiPlace(c, view, r, *middle, tileOf(c, r, *middle));
        if (x) x->move(left, top);
        table::setTileImage(c, img, table::tilePicture(view, tile));
        return;
    }
    const int n = *counter;
    auto [left, top] = stackPlace(c, view, kind, n);
    if (view == 0) {
        const int tw = t.tileW[0];
        left = kind == SingleKind::Bao ? r.handX + tw - 2 : kind == SingleKind::Pizi2 ? r.handX - (tw - 2) : r.handX;
        top = r.handY - 18.0 * n * sy;
    }
    if (x) x->move(left, top);
    if (view != 2) t.singleGangImg[static_cast<std::size_t>(view)][static_cast<std::size_t>(firstColumn + n)] = img;
    *counter += 1;
    table::setTileImage(c, img, table::tilePicture(view, tile));
    if (x && view == 1) x->sendToBack();
    if (x && view == 3) x->bringToFront();
}

// Every action of a side seat ends with its row shown again in order, each
// tile over (left) or under (right) the one before.
void sideRestackRow(link::Client& c, int view) {
    if (view != 1 && view != 3) return;
    SeatRecord& r = c.table.custom[static_cast<std::size_t>(view)];
    const int end = std::min(concealedEnd(r), table::SlotCount);
    for (int i = std::max(r.firstConcealed, 0); i < end; ++i) {
        if (ui::Control* x = tileOf(c, r, i)) x->setVisible(false);
    }
    for (int i = std::max(r.firstConcealed, 0); i < end; ++i) {
        ui::Control* x = tileOf(c, r, i);
        if (!x) continue;
        x->setVisible(true);
        if (view == 1)
            x->bringToFront();
        else
            x->sendToBack();
    }
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
        firstWin(c, view);
        break;
    default:
        break;
    }
    restackSideRow(c, view);
}

void sideShowAction(link::Client& c, int op, int seatBit, const std::array<int, 3>& tiles) {
    table::TableState& t = c.table;
    table::setTileSizes(t, table::TileSizeSet::Action, c.link.scaleX, c.link.scaleY);
    // The watched seat's melds lie a little flatter than the player's own.
    t.tileH[0] = table::roundHalfEven(56 * c.link.scaleY);
    if (!isValidSeatBit(seatBit)) {
        c.log("watched action with seat " + std::to_string(seatBit) + " dropped");
        return;
    }
    const int view = table::viewPos(t.custom[0].seat, static_cast<SeatBit>(seatBit));
    if (view != 0 && (!c.link.launch.isSpectator || t.restoreDone)) otherSeatFeedback(c, view, op, tiles[2], true);
    switch (op) {
    case OpChi:
    case OpPeng:
        sideChiPeng(c, view, op, tiles);
        break;
    case OpMingGang:
    case OpAnGang:
        sideKong(c, view, op, tiles);
        break;
    case OpSingleGang:
        sideSingleKong(c, view, tiles);
        break;
    case OpHu:
        firstWin(c, view, false);
        break;
    default:
        break;
    }
    sideRestackRow(c, view);
    if (op == OpSingleGang) sideRestackSingleKongs(c, view);
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
