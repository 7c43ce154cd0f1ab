// senders.cpp: claim senders, the pass answer, the discard record and the
// countdown steps every answering path shares.
#include "claims/senders.h"

#include "link/client.h"
#include "link/sound_playback.h"

namespace mj::claims {

namespace {

table::SeatRecord& own(link::Client& c) { return c.table.custom[0]; }

void sendClaimRecord(link::Client& c, int op, const std::array<int, 3>& tiles) {
    CmdInfo info = claimRecord(own(c).seat, op, tiles);
    c.sendCommand(info);
}

// Sends a filled meld as a claim and remembers it until the server confirms.
bool sendFilled(link::Client& c, int op, const std::optional<std::array<int, 3>>& tiles, int slotA, int slotB) {
    if (!tiles) {
        c.log("claim " + std::to_string(op) + " not sent: the hand does not hold it");
        return false;
    }
    sendClaimRecord(c, op, *tiles);
    c.claims.offerAnswered = true;
    c.claims.pending = {op, slotA, slotB, *tiles};
    return true;
}

}  // namespace

bool sendChi(link::Client& c, int slotA, int slotB) {
    return sendFilled(c, OpChi, fillChiMeld(own(c), slotA, slotB, c.table.lastTileCode, c.table.curTileImg), slotA,
                      slotB);
}

bool sendPeng(link::Client& c, int tile) {
    const auto pair = findPengPair(own(c), tile);
    return sendFilled(c, OpPeng, fillPengMeld(own(c), tile, c.table.curTileImg), pair.value_or(-1), -1);
}

bool sendMingGang(link::Client& c, int slot) {
    return sendFilled(c, OpMingGang, fillMingGangMeld(own(c), slot), slot, -1);
}

bool sendAnGang(link::Client& c, int slot) { return sendFilled(c, OpAnGang, fillAnGangMeld(own(c), slot), slot, -1); }

bool sendSingleGang(link::Client& c, int slot) {
    return sendFilled(c, OpSingleGang, fillSingleGangMeld(own(c), slot), slot, -1);
}

void sendHu(link::Client& c) {
    sendClaimRecord(c, OpHu, {0, 0, 0});
    c.claims.pending = {OpHu, -1, -1, {}};
}

bool sendPass(link::Client& c) {
    if (c.claims.offerAnswered) return false;
    sendClaimRecord(c, OpPass, {0, 0, 0});
    c.claims.offerAnswered = true;
    return true;
}

void sendDiscard(link::Client& c, int tile) {
    CmdInfo info = discardRecord(own(c).seat, tile);
    c.sendCommand(info);
}

bool performKong(link::Client& c, const KongCandidate& k) {
    c.claims.gangChoiceSlots[0] = k.slot;
    switch (kongOp(k.kind)) {
    case OpSingleGang:
        return sendSingleGang(c, k.slot);
    case OpMingGang:
        return sendMingGang(c, k.slot);
    case OpAnGang:
        return sendAnGang(c, k.slot);
    default:
        return false;
    }
}

void stopCountdown(link::Client& c, bool resetTicks) {
    c.link.countdownSeconds = c.link.countdownStart;
    c.link.turnCountdown.on = false;
    if (resetTicks) c.link.turnCountdown.ticks = 0;
    if (c.number) c.number->setVisible(false);
    if (c.timeImg) c.timeImg->setVisible(false);
}

void restartCountdown(link::Client& c) {
    c.link.turnCountdown.on = true;
    c.link.turnCountdown.ticks = 0;
    if (c.timeImg) {
        c.timeImg->setVisible(true);
        c.timeImg->bringToFront();
    }
    if (c.number) {
        c.number->setCaption(std::to_string(c.link.countdownSeconds));
        c.number->setForeColor({0, 255, 0});
        c.number->setVisible(true);
        c.number->bringToFront();
    }
}

void playOwnClaimVoice(link::Client& c, ClaimOp op) {
    auto& sound = c.link.sound;
    if (!sound.soundOn || !c.playerVoice) return;
    const auto file = link::claimVoiceFile(sound, c.playerVoice(c, 0), op);
    link::playWave(sound, c.p.sound, file.value_or(""), false);
    link::setWaveVolume(sound, c.p.sound, 3000);
}

}  // namespace mj::claims
