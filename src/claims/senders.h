// senders.h: the local seat's answers: the claim senders, which fill the next
// meld's slots and send command 7, the pass answer, the discard record, and
// the steps that stop and restart the turn countdown.
#pragma once
#include <array>

#include "claims/claim_logic.h"

namespace mj::link {
class Client;
}

namespace mj::claims {

// Each sender returns false and sends nothing when the hand does not hold
// what the claim needs; otherwise the offer counts as answered.
bool sendChi(link::Client& c, int slotA, int slotB);
bool sendPeng(link::Client& c, int tile);
bool sendMingGang(link::Client& c, int slot);
bool sendAnGang(link::Client& c, int slot);
bool sendSingleGang(link::Client& c, int slot);
// The win claim leaves the offer unanswered.
void sendHu(link::Client& c);
// Sends the pass once per offer; true when it went out now.
bool sendPass(link::Client& c);
void sendDiscard(link::Client& c, int tile);
// Performs one kong candidate by its kind (slot kept in gangChoiceSlots(0)).
bool performKong(link::Client& c, const KongCandidate& k);

// Stops the turn countdown and hides the clock; `resetTicks` also restarts the
// tick counter.
void stopCountdown(link::Client& c, bool resetTicks);
// Shows the clock again with the seconds as they stand and runs the countdown.
void restartCountdown(link::Client& c);

// The own claim voice ("01.wav" 吃 … "09.wav" 胡) when sound is on.
void playOwnClaimVoice(link::Client& c, ClaimOp op);

}  // namespace mj::claims
