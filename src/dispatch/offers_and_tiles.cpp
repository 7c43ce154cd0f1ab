// offers_and_tiles.cpp: the offer to the local seat, every seat's actions,
// the hand's special tiles and the reveal at the hand's end. The dispatcher
// has checked every tile and seat these handlers index with.
#include "dispatch/offers_and_tiles.h"

#include <algorithm>
#include <string>

#include "dispatch/dispatcher.h"
#include "link/client.h"
#include "link/general.h"
#include "table/hand_reveal.h"
#include "table/hand_sort.h"
#include "table/hand_start_shows.h"
#include "table/tiles.h"

namespace mj::dispatch {

namespace {

using link::Client;

constexpr int CountdownByte = 100;
constexpr std::size_t ModeByte = 16;
constexpr std::size_t Pizi2Byte = 22;
constexpr std::size_t IndicatorByte = 24;
constexpr ui::Color Green{0, 255, 0};

int lowByte(std::int16_t v) { return v & 0xFF; }

// ---------------------------------------------------------------- offer

struct OfferBit {
    int mask;
    int button;  // -1: no button
    int armedPicture;
};
// Examined from bit 0 up, so the win bit comes last and sees the other
// buttons armed.
constexpr OfferBit OfferBits[8] = {
    {OpPass, 4, 13},    {2, -1, 0},       {OpChi, 0, 1},        {OpPeng, 1, 4},
    {OpMingGang, 2, 7}, {OpAnGang, 2, 7}, {OpSingleGang, 2, 7}, {OpHu, 3, 10},
};
constexpr int KongBits = OpMingGang | OpAnGang | OpSingleGang;

void armButton(Client& c, const OfferBit& b) {
    if (ui::Control* button = c.mainForm.find("Operation", b.button)) {
        button->setEnabled(true);
        (void)table::loadPicture(c, c.link.pictures.operationPic[static_cast<std::size_t>(b.armedPicture)], *button);
    }
    c.claims.opOffered[static_cast<std::size_t>(b.button)] = 2;
}

void applyWinRule(Client& c, bool lacksFan) {
    auto& cl = c.claims;
    cl.huState = 0;
    cl.zhahuShown = false;
    c.frmZhahu.setVisible(false);
    if (!lacksFan) {
        cl.huState = 1;
        return;
    }
    cl.zhahuShown = true;
    const bool otherClaim = std::any_of(cl.opOffered.begin(), cl.opOffered.begin() + 3, [](int o) { return o == 2; });
    cl.huState = otherClaim ? 3 : 2;
}

void showTurnCountdown(Client& c) {
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    ui::Control& time = *c.timeImg;
    ui::Control& number = *c.number;
    if (const ui::Control* wealth = c.mainForm.find("Imgwealth")) {
        time.move(wealth->left(), wealth->top() + 200 * sy);
    }
    number.move(time.left() + 48 * sx, time.top() + 5 * sy);
    number.setCaption(std::to_string(c.link.countdownSeconds));
    number.setForeColor(Green);
    number.setVisible(true);
    time.setVisible(true);
    time.bringToFront();
    number.bringToFront();
}

// ---------------------------------------------------------------- special tiles

void setVisible(Client& c, std::string_view name, bool visible) {
    if (ui::Control* x = c.mainForm.find(name)) x->setVisible(visible);
}

// Plays the consecutive-wild animation once and waits for its end, pumping
// events. The wait ends when the control stops, at the time limit, or when
// the table is left meanwhile. False when the table was left.
bool playLianLai(Client& c) {
    const int resetsBefore = c.session.resets;
    const auto bytes = c.p.resources.bytes(link::BombAnimationId, "GIF");
    auto* view = c.mainForm.findAs<ui::Component>("bombPlayer");
    if (!bytes || !view || !c.bombPlayer ||
        !c.bombPlayer->loadAnimatedGifArray(
            std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()))) {
        c.log("consecutive-wild animation not played: no picture");
        return true;
    }
    c.bombPlayer->setLoops(1);
    view->bringToFront();
    setVisible(c, "Img_bg", true);
    view->setVisible(true);
    if (c.link.sound.soundOn) {
        link::playWave(c.link.sound, c.p.sound, c.link.sound.soundFile[link::SoundLianLai], false);
        link::setWaveVolume(c.link.sound, c.p.sound, 3000);
    }

    const platform::Millis deadline = c.p.clock.monotonic() + platform::Millis(LianLaiWaitLimitMs);
    while (c.bombPlayer->action() != 0 && c.session.resets == resetsBefore) {
        const platform::Millis now = c.p.clock.monotonic();
        if (now >= deadline) break;
        c.p.clock.pumpEvents(std::min(deadline - now, platform::Millis(10)));
    }
    const bool left = c.session.resets != resetsBefore;
    if (c.bombPlayer->action() != 0) {
        c.log(left ? "consecutive-wild animation stopped: the table was left"
                   : "consecutive-wild animation stopped at its time limit");
        c.bombPlayer->erase();
    }
    setVisible(c, "Img_bg", false);
    return !left;
}

}  // namespace

// Gives the image the large upright face of the tile; an image for a code
// that is no tile is hidden instead of showing a wrong face.
void showLargeFace(link::Client& c, std::string_view name, int index, int tile) {
    ui::Control* image = c.mainForm.find(name, index);
    if (!image) return;
    if (!isValidTile(static_cast<TileCode>(tile)) || tile > 0xFF) {
        c.log("special tile " + std::to_string(tile) + " not shown on " + std::string(name));
        image->setVisible(false);
        return;
    }
    const int picture = table::tilePicture(table::HandPictureSet, tile);
    (void)table::loadPicture(c, c.link.pictures.tilePic[static_cast<std::size_t>(picture)], *image);
    image->setVisible(true);
}

// Adds `n` to the seen count of the tile's kind; a code that is no tile has
// no count and is refused.
void countSeenTile(Client& c, int tile, int n) {
    if (!isValidTile(static_cast<TileCode>(tile)) || tile > 0xFF) {
        c.log("seen tile " + std::to_string(tile) + " refused");
        return;
    }
    const int suit = link::bitToIndex(static_cast<std::uint8_t>((tile / 16) % 16));
    c.dispatch.seenTile[static_cast<std::size_t>(suit)][static_cast<std::size_t>(tile % 16)] += n;
}

RoomRule readRoomRule(const WireMessage& m, const CmdInfo& info) {
    RoomRule r;
    r.indicatorOffset = m[IndicatorByte];
    r.pizi1 = lowByte(info.value[3]);
    r.wild = lowByte(info.value[2]);
    r.mode = m[ModeByte] == SpecialModePizi ? SpecialModePizi : SpecialModeHongZhong;
    if (r.mode == SpecialModePizi) r.pizi2 = m[Pizi2Byte];
    r.lianLai = lowByte(info.value[1]);
    return r;
}

void onOfferClaims(Client& c) {
    const CmdInfo& info = c.link.info;
    auto& cl = c.claims;
    if (((c.table.custom[0].seat ^ info.seat) & 15) != 0) return;

    const int mask = lowByte(info.value[0]);
    cl.offerAnswered = false;
    cl.actionState = 0;
    cl.opOffered.fill(0);
    for (const OfferBit& b : OfferBits) {
        if ((mask & b.mask) == 0 || b.button < 0) continue;
        armButton(c, b);
        if ((b.mask & KongBits) != 0) cl.opOptions = mask;
        if (b.mask == OpHu) applyWinRule(c, (lowByte(info.value[1]) & 1) == 1);
    }
    // Buttons this offer does not arm keep their state and picture.
    for (int i = 0; i < 5; ++i) {
        if (ui::Control* button = c.mainForm.find("Operation", i)) {
            button->setVisible(true);
            button->bringToFront();
        }
    }
    // A tile to discard is in the hand: allowed until the claim code clears it.
    if ((c.table.custom[0].concealedCount - 2) % 3 == 0) c.table.canDiscard = true;
    c.link.countdownSeconds = c.shell.bossKeyOn ? 1 : c.link.msg[CountdownByte];
    cl.offerReceived = true;
    showTurnCountdown(c);
    c.link.turnCountdown = link::Task{true, 0};
}

void onPlayerAction(Client& c) {
    const CmdInfo& info = c.link.info;
    const int op = lowByte(info.value[0]);
    const std::array<int, 3> tiles{lowByte(info.value[1]), lowByte(info.value[2]), lowByte(info.value[3])};
    const int seat = info.seat & 15;
    if (c.link.launch.isSpectator) {
        if (c.sideShowAction) c.sideShowAction(c, op, seat, tiles);
        return;
    }
    // Only faces that become visible count: the claimer's two hand tiles of
    // a 吃 or 碰 (the claimed discard counted when it was laid), the three
    // hand tiles of an exposed kong and the tile added to a 碰; a concealed
    // kong shows none.
    switch (op) {
    case OpChi:
    case OpPeng:
        countSeenTile(c, tiles[0], 1);
        countSeenTile(c, tiles[1], 1);
        break;
    case OpMingGang:
        countSeenTile(c, tiles[2], 3);
        break;
    case OpSingleGang:
        countSeenTile(c, tiles[2], 1);
        break;
    default:
        break;
    }
    if (c.showAction) c.showAction(c, op, seat, tiles);
}

void onSpecialTiles(Client& c) {
    table::TableState& t = c.table;
    // Read before the animation pumps events.
    const RoomRule rule = readRoomRule(c.link.msg, c.link.info);
    t.indicatorOffset = rule.indicatorOffset;
    t.piziTile1 = rule.pizi1;
    t.wildTile = rule.wild;
    t.specialMode = rule.mode;
    if (rule.mode == SpecialModePizi) t.piziTile2 = rule.pizi2;

    t.lianLaiCount = rule.lianLai;
    ui::Control* quVei = c.mainForm.find("QuVei");
    const auto frame = rule.lianLai > 0 ? link::DesignPicture::LianlaiImg : link::DesignPicture::QuveiImg;
    if (quVei) (void)table::loadPicture(c, static_cast<int>(frame), *quVei);
    if (rule.lianLai > 0 && !playLianLai(c)) {
        c.log("special tiles: the table was left during the animation");
        return;
    }

    showLargeFace(c, "QV_Image", -1, t.wildTile);
    showLargeFace(c, "imgPiZi", 0, t.piziTile1);
    // Only a 痞子 room has a second 痞子 tile; elsewhere its place stays empty
    // rather than show a tile of an earlier hand.
    if (t.specialMode == SpecialModePizi) {
        showLargeFace(c, "imgPiZi", 1, t.piziTile2);
    } else if (ui::Control* second = c.mainForm.find("imgPiZi", 1)) {
        second->setVisible(false);
    }
    table::turnIndicatorTile(c);
    if (!c.link.launch.isSpectator) table::sortAndDrawHand(c, 0, t.custom[0].concealedCount);
    countSeenTile(c, t.piziTile1, 1);
}

void onHandReveal(Client& c) {
    const CmdInfo& info = c.link.info;
    c.link.info.seat = static_cast<std::uint8_t>(info.seat & 15);
    const std::array<int, 4> tiles{lowByte(info.value[0]), lowByte(info.value[1]), lowByte(info.value[2]),
                                   lowByte(info.value[3])};
    table::revealOtherHand(c, info.seat, tiles);
    std::array<std::uint8_t, 5> listed{};
    for (std::size_t i = 0; i < listed.size(); ++i) listed[i] = c.link.msg[wire::Body + i];
    (void)table::fillWallPeek(c.table, listed);
}

}  // namespace mj::dispatch
