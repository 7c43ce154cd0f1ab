// tile_input.cpp: hover, click discard, right-click passes and the reveal.
#include "claims/tile_input.h"

#include "claims/claim_logic.h"
#include "claims/senders.h"
#include "claims/turn_play.h"
#include "link/client.h"
#include "table/hand_sort.h"
#include "table/tiles.h"

namespace mj::claims {

namespace {

constexpr double RaiseBy = 10;

table::SeatRecord& own(link::Client& c) { return c.table.custom[0]; }

bool passButtonUp(link::Client& c) {
    const ui::Control* pass = c.mainForm.find("Operation", 4);
    return pass && pass->visible();
}

void moveToPlaceOf(link::Client& c, int image, int placeOf) {
    ui::Control* x = table::tileControl(c, image);
    const ui::Control* at = table::tileControl(c, placeOf);
    if (x && at) x->move(at->left(), at->top());
}

void sendBack(link::Client& c, int image) {
    if (ui::Control* x = table::tileControl(c, image)) x->sendToBack();
}

// The wall keeps its look when tile `image`, entry `i` of the peek list, is
// turned up: the neighbours it covered move into place.
void adjustWallAround(link::Client& c, int image, int i) {
    const table::TableState& t = c.table;
    const bool oddTail = t.wallTail % 2 != 0;
    const bool oddImage = image % 2 != 0;
    // An image index 0 is a real wall place; a revealed entry holds -1.
    const bool previousUnrevealed = i >= 1 && t.wallPeekImg[static_cast<std::size_t>(i - 1)] >= 0;
    auto coverNext = [&] {
        const int below = (image + 135) % 136;
        moveToPlaceOf(c, below, image);
        if (image / 34 == 2) sendBack(c, below);
    };
    if (oddTail && oddImage) {
        if (i < 2)
            moveToPlaceOf(c, t.indicatorImg, t.wallTail);
        else if (image != t.wallHead && previousUnrevealed)
            coverNext();
    } else if (!oddTail && oddImage) {
        if (i < 2 && t.wallPeekImg[0] >= 0) {
            moveToPlaceOf(c, t.indicatorImg, t.wallTail);
            moveToPlaceOf(c, t.wallTail, (t.wallTail + 1) % 136);
            if (t.wallTail / 34 == 2) sendBack(c, t.wallTail);
        } else if (i < 2) {
            moveToPlaceOf(c, t.indicatorImg, image);
        } else if (image != t.wallHead && previousUnrevealed) {
            coverNext();
        }
    } else if (!oddTail && !oddImage && i < 2) {
        moveToPlaceOf(c, t.indicatorImg, t.wallTail);
    }
}

void revealAfterWin(link::Client& c, int image) {
    table::TableState& t = c.table;
    if (t.winnerView < 0 || t.winnerView >= 4) return;
    const int kongs = std::min(t.anGangCount, static_cast<int>(t.anGangImg.size()));
    for (int i = 0; i < kongs; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        if (t.anGangImg[k] != image) continue;
        const int view = t.anGangView[k];
        if (view >= 0 && view < 4 && isValidTile(static_cast<TileCode>(t.anGangTile[k] & 0xFF)))
            table::setTileImage(c, image, table::tilePicture(view, t.anGangTile[k] & 0xFF));
        t.anGangImg[k] = -1;
        return;
    }
    const int peeks = std::min(t.wallPeekCount, static_cast<int>(t.wallPeekImg.size()));
    for (int i = 0; i < peeks; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        if (t.wallPeekImg[k] != image) continue;
        adjustWallAround(c, image, i);
        if (isValidTile(static_cast<TileCode>(t.wallPeekTile[k] & 0xFF)))
            table::setTileImage(c, image, table::tilePicture(0, t.wallPeekTile[k] & 0xFF));
        if (ui::Control* x = table::tileControl(c, image)) {
            const double sx = c.link.scaleX;
            const double sy = c.link.scaleY;
            x->move((400 + 45 * i) * sx, 340 * sy, 45 * sx, 60 * sy);
        }
        t.wallPeekImg[k] = -1;
        return;
    }
}

void discardByClick(link::Client& c, int image) {
    table::SeatRecord& r = own(c);
    c.claims.actionState = 2;
    c.link.timeoutCount = 0;
    c.table.canDiscard = false;
    stopCountdown(c, false);
    sendPass(c);
    hideClaimButtons(c);
    resetClaimButtons(c);
    const int slot = table::findSlotOfImage(c.table, image);
    const int tile = r.slots[static_cast<std::size_t>(slot)].tile;
    sendDiscard(c, tile);
    layDiscardInCentre(c, slot, tile);
    closeHandGap(c, slot);
    table::sortAndDrawHand(c, 0, r.concealedCount - 1);
    --r.concealedCount;
}

}  // namespace

void tileMouseMove(link::Client& c, int image) {
    ui::Control* tile = table::tileControl(c, image);
    const table::SeatRecord& r = own(c);
    if (!tile) return;
    // The hand pointer marks a tile a click would play.
    const bool playable = tile->top() >= r.handY - RaiseBy && !c.link.launch.isSpectator && c.table.anNiuState[2] &&
                          table::isImageInHand(c.table, image);
    tile->setMousePointer(playable ? ui::PointerCustom : ui::PointerDefault);
    if (!playable || tile->top() != r.handY) return;
    for (int i = r.firstConcealed; i < concealedEnd(r); ++i) {
        ui::Control* other = table::tileControl(c, r.slots[static_cast<std::size_t>(i)].img);
        if (other && other->top() == r.handY - RaiseBy) other->setTop(r.handY);
    }
    tile->setTop(r.handY - RaiseBy);
}

void tileMouseDown(link::Client& c, int image, int button) {
    if (c.claims.actionState == 3) return;
    hideZhahu(c);
    if (!c.link.loggedIn) return;
    const bool inHand = table::isImageInHand(c.table, image);
    if (inHand && c.table.canDiscard) {
        // A discard flag left over from an earlier turn owes nothing now: the
        // tile stays in the hand, in step with the server.
        if (discardDue(own(c)))
            discardByClick(c, image);
        else
            c.table.canDiscard = false;
    } else if (button == ui::ButtonRight && !inHand && passButtonUp(c)) {
        hideClaimButtons(c);
        if (!discardDue(own(c))) stopCountdown(c, true);
        sendPass(c);
        resetClaimButtons(c);
    }
    revealAfterWin(c, image);
}

void tableMouseUp(link::Client& c, int button) {
    if (!c.link.loggedIn || button != ui::ButtonRight || !passButtonUp(c) || c.claims.actionState > 0) return;
    c.claims.actionState = 2;
    hideClaimButtons(c);
    if (!discardDue(own(c))) stopCountdown(c, true);
    sendPass(c);
    resetClaimButtons(c);
    c.claims.actionState = 1;
}

void installTileInput(link::Client& c) {
    for (int i = 0; i < table::WallSize; ++i) {
        ui::Control* tile = table::tileControl(c, i);
        if (!tile) continue;
        tile->onMouseMove = [&c, i](const ui::MouseEvent&) { tileMouseMove(c, i); };
        tile->onMouseDown = [&c, i](const ui::MouseEvent& e) { tileMouseDown(c, i, e.button); };
    }
    for (ui::PictureBox* pic : {c.pic1, c.pic2}) {
        if (!pic) continue;
        auto before = pic->onMouseUp;
        pic->onMouseUp = [&c, before](const ui::MouseEvent& e) {
            if (before) before(e);
            tableMouseUp(c, e.button);
        };
    }
}

}  // namespace mj::claims
