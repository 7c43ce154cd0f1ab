// hand_flow.cpp: the commands that carry a hand's tiles: the hand start with
// its shows, the deal, the single draws and the discards.
#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "dispatch/dispatcher.h"
#include "dispatch/validate.h"
#include "link/client.h"
#include "link/general.h"
#include "table/discards.h"
#include "table/draw_tiles.h"
#include "table/hand_reset.h"
#include "table/hand_start_shows.h"
#include "table/tiles.h"

namespace mj::dispatch {

namespace {

// Bytes of command 4 beyond the header:
//   6      the banker's seat bit
//   9..15  value(0..3): the four dice (low bytes)
//   16     non-zero: the dice double the hand's stake
constexpr std::size_t DiceDoubleAt = wire::Body;

void call(link::Client& c, const std::function<void(link::Client&)>& seam) {
    if (seam) seam(c);
}

void show(link::Client& c, std::string_view name, int index, bool visible) {
    if (ui::Control* x = c.mainForm.find(name, index)) x->setVisible(visible);
}

void playTableSound(link::Client& c, link::SoundEntry entry) {
    auto& sound = c.link.sound;
    if (!sound.soundOn) return;
    link::playWave(sound, c.p.sound, sound.soundFile[entry], false);
    link::setWaveVolume(sound, c.p.sound, 3000);
}

// The plug-in messages the send task kept back after the last hand go out now.
void releaseHeldMessages(link::Client& c) {
    auto release = [&](std::optional<WireMessage>& held, bool stillHeld) {
        if (!held || (*held)[wire::Cmd] == 0 || stillHeld) return;
        (*held)[wire::Seat] = c.table.custom[0].seat;
        c.sendRawMessage(*held);
        held.reset();
    };
    release(c.link.heldCigaretteMsg, c.link.holdCigaretteMsg);
    release(c.link.heldRenderCigaretteMsg, c.link.holdRenderCigaretteMsg);
}

// The view of the banker: the record holding its seat bit, or, while the
// records lag behind the seats the server uses, its place from the own seat.
// -1 while the own seat is unknown.
int bankerView(const link::Client& c, SeatBit banker) {
    const auto& custom = c.table.custom;
    for (int v = 0; v < 4; ++v) {
        if (custom[static_cast<std::size_t>(v)].seat == banker) return v;
    }
    if (!isValidSeatBit(custom[0].seat)) return -1;
    return table::viewPos(custom[0].seat, banker);
}

void showDiceDoubling(link::Client& c, const std::array<int, 4>& dice) {
    if (c.dispatch.diceDouble != 0) {
        for (int i = 0; i < 3; ++i) show(c, "lbfont", i, false);
        if (ui::Control* difen = c.mainForm.find("lblDifen")) {
            difen->setCaption(std::to_string(dice[2] + dice[3]));
            difen->setVisible(true);
        }
        show(c, "imgBeishu", -1, true);
        for (int i = 0; i < 2; ++i) {
            ui::Control* face = c.mainForm.find("imgsezi", i);
            if (!face) continue;
            // The dice are 1..6 here: checked on arrival, 0 made 1.
            const int d = dice[static_cast<std::size_t>(2 + i)];
            (void)table::loadPicture(c, c.link.pictures.seziPic[static_cast<std::size_t>(d - 1)], *face);
            face->setVisible(true);
        }
        return;
    }
    show(c, "lblDifen", -1, false);
    show(c, "imgBeishu", -1, false);
    show(c, "imgsezi", 0, false);
    show(c, "imgsezi", 1, false);
    for (int i = 0; i < 3; ++i) {
        if (ui::Control* x = c.mainForm.find("lbfont", i)) {
            x->setVisible(false);
            x->bringToFront();
        }
    }
}

void showWealthMultiple(link::Client& c) {
    ui::Control* label = c.mainForm.find("lbwealth");
    const bool on = c.table.isWealthMultiple != 0;
    std::string caption = on && label ? label->caption() : std::string(1, '0');
    c.dispatch.wealthCaption = std::move(caption);
    show(c, "Imgwealth", -1, on);
    show(c, "lbwealth", -1, on);
}

// The rest of the hand start, once the banker and the wall are known.
void finishHandStart(link::Client& c, const std::array<int, 4>& dice) {
    showDiceDoubling(c, dice);
    showWealthMultiple(c);
    show(c, "ZhiNan", -1, true);
    show(c, "Host", -1, true);
    if (ui::Control* zhuang = c.mainForm.find("Zhuang")) {
        zhuang->setVisible(true);
        zhuang->bringToFront();
    }
    for (auto& row : c.dispatch.seenTile) row.fill(0);
    c.dispatch.actionCount = 0;
    for (int i = 0; i < 5; ++i) {
        ui::Control* b = c.mainForm.find("Operation", i);
        if (!b) continue;
        b->setVisible(false);
        b->setEnabled(false);
        (void)table::loadPicture(c, c.link.pictures.operationPic[static_cast<std::size_t>(3 * i)], *b);
    }
}

// The hall can end the session while a show pumps events: what the hand start
// would still do belongs to a table that is gone.
bool sessionGone(link::Client& c, int resetsAtStart) {
    if (c.session.resets == resetsAtStart) return false;
    c.link.handRunning = false;
    c.link.inGame = false;
    c.log("hand start abandoned: the session was reset during its show");
    return true;
}

void drawTwin(link::Client& c, SeatBit seat, int count, const std::array<int, 4>& values) {
    if (c.link.launch.isSpectator)
        table::sideDrawTilesToHand(c, seat, count, values);
    else
        table::drawTilesToHand(c, seat, count, values);
}

std::array<int, 4> valuesOf(const CmdInfo& info) {
    return {info.value[0], info.value[1], info.value[2], info.value[3]};
}

}  // namespace

void onHandStart(link::Client& c) {
    // The shows pump events, and what runs meanwhile may decode nothing but
    // may change the client: the handler keeps its own copy of the command.
    const CmdInfo info = c.link.info;
    const WireMessage msg = c.link.msg;
    const int resetsAtStart = c.session.resets;
    auto& l = c.link;

    call(c, c.startOwnCamera);
    call(c, c.loginVideoServer);
    releaseHeldMessages(c);
    l.holdCigaretteMsg = false;
    l.holdQuitMsg = false;
    c.dispatch.gameStarted = 1;
    c.dispatch.seating.randomSeatOn = false;
    c.dispatch.propReinitPending = true;
    // An announcement of box data that came after the last hand was settled
    // belongs to that hand; this hand waits for its own.
    c.props.scoreInfoReady = false;
    call(c, c.unloadExitDialog);
    l.leaveAfterGame = false;

    // The spectator table, and a player table whose hand starts without its
    // own ready (the start button and the ready countdown reset it), start
    // from clean per-hand data; otherwise the last hand's slots are dealt into.
    if (l.launch.isSpectator || !l.readySent) {
        // The ready would have run this reset before the table status named
        // the banker; the banker's wind shown since belongs to this hand.
        ui::Control* zhuang = c.mainForm.find("Zhuang");
        const std::string wind = zhuang ? zhuang->caption() : std::string();
        table::resetHandDisplay(c);
        table::resetTableForHand(c);
        table::resetRoundData(c);
        if (zhuang) zhuang->setCaption(wind);
        l.readySent = true;
    }

    l.blinkTask = link::Task{true, 0};
    l.handRunning = true;
    l.inGame = true;
    for (int v = 0; v < 4; ++v) show(c, "OK", v, false);
    c.claims.viewOpened.fill(false);
    ++l.juNum;

    table::resetTableForHand(c);
    table::showWallBuilding(c);
    if (sessionGone(c, resetsAtStart)) return;

    std::array<int, 4> dice = valuesOf(info);
    for (int& d : dice) d = std::max(d, 1);
    const int v = bankerView(c, static_cast<SeatBit>(info.seat & 15));
    if (v < 0) {
        c.log("hand start: banker seat " + std::to_string(info.seat) + " has no view; the wall stays where it was");
    } else {
        auto& t = c.table;
        t.custom[static_cast<std::size_t>(v)].isBanker = -1;
        table::rollDice(c, v, dice);
        if (sessionGone(c, resetsAtStart)) return;
        const int sum01 = dice[0] + dice[1];
        const int side = ((v + 13 - sum01) % 4 + 4) % 4;
        t.wallHead = (2 * (17 * side + sum01 + dice[2] + dice[3]) + table::WallSize) % table::WallSize;
        t.wallTail = (t.wallHead + 134) % table::WallSize;
        t.wallStart = t.wallHead;
    }
    c.dispatch.diceDouble = msg[DiceDoubleAt];
    finishHandStart(c, dice);
}

void onDealTiles(link::Client& c) {
    const CmdInfo& info = c.link.info;
    const WireMessage& msg = c.link.msg;
    call(c, c.requestTableVideo);
    for (auto* marks : {&c.dispatch.capMark, &c.dispatch.goldCapMark, &c.dispatch.baoHuMark, &c.dispatch.fourBaoMark})
        marks->fill(0);
    if (c.table.custom[0].concealedCount == 0 && c.props.propGameDllState > 0) call(c, c.closePropDisplay);

    const int rounds = dealRounds(info.value[1]);
    std::array<int, 12> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] = msg[wire::Body + 2 * i + 1] * 16 + msg[wire::Body + 2 * i];
    c.table.afterGang = false;

    // Every seat gets the round's four codes; only the local seat's are faces.
    const int own = link::bitToIndex(c.table.custom[0].seat);
    for (int r = 0; r < rounds; ++r) {
        const std::array<int, 4> values{codes[4 * r], codes[4 * r + 1], codes[4 * r + 2], codes[4 * r + 3]};
        for (int k = 0; k < 4; ++k) {
            const auto seat = link::indexToBit(static_cast<std::uint8_t>((own + k) % 4));
            playTableSound(c, link::SoundDeal);
            drawTwin(c, seat, 4, values);
        }
    }
}

void onDrawTile(link::Client& c) {
    const CmdInfo& info = c.link.info;
    drawTwin(c, static_cast<SeatBit>(info.seat & 15), 1, valuesOf(info));
}

void onDiscard(link::Client& c) {
    const CmdInfo& info = c.link.info;
    call(c, c.requestTableVideo);
    playTableSound(c, link::SoundDiscard);
    if (c.claims.zhahuShown) {
        c.frmZhahu.setVisible(false);
        c.claims.zhahuShown = false;
    }
    const auto seat = static_cast<SeatBit>(info.seat & 15);
    const int tile = info.value[3];
    if (c.link.launch.isSpectator) {
        (void)table::sideShowDiscard(c, seat, tile);
        return;
    }
    // Spectators keep no counts; the player counts its own discards too.
    if (table::showDiscard(c, seat, tile)) countSeenTile(c, tile, 1);
}

}  // namespace mj::dispatch
