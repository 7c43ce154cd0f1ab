// claim_choices.h: the claim buttons, the 吃 and kong choice pictures and the
// not-enough-fan notice: what a press or a pick sends.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::claims {

// Finds the 吃 shapes for the discard: one is sent at once, several are shown
// as pictures, none restarts the countdown so that its end still answers.
void showChiChoices(link::Client& c, int tile);
// Finds the kong candidates the offer allows. Timed out: performs the first
// by its kind. One: sends it by its kind. Otherwise shows the pictures on half
// the countdown.
void showGangChoices(link::Client& c);

void operationClick(link::Client& c, int button);
void chiClick(link::Client& c, int index);
void gangClick(link::Client& c, int index);
// Brings up the not-enough-fan notice over the table.
void showZhahu(link::Client& c);

// Creates the notice and the sixth kong picture when the design lacks them
// and hooks the buttons' and pictures' clicks.
void installClaimChoices(link::Client& c);

}  // namespace mj::claims
